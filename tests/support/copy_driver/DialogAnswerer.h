// Answers the copy run's dialogs without a window: first from a script of answers, then by
// rule (OK, Yes), asking a hook whether another disk can be put in, and giving up a retry
// dialog that keeps coming back. Every box can be echoed to a stream.
#pragma once

#include "runtime/MessageBox.h"

#include <cstddef>
#include <deque>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace copy_driver {

class DialogAnswerer final : public rt::MessageBoxService {
public:
    // echo: where each box and its answer is printed; null for silence.
    explicit DialogAnswerer(std::ostream* echo = nullptr) : echo_(echo) {}

    // Answers used first, in order (1 OK, 2 Cancel, 6 Yes, 7 No).
    void script(std::vector<int> answers) { scripted_.assign(answers.begin(), answers.end()); }
    // Asked when the run wants another disk (disk full, or parts of this run already on the
    // disk); returns false when none is left, and the run is then given up.
    void onNextDisk(std::function<bool()> hook) { nextDisk_ = std::move(hook); }

    int show(const std::string& prompt, int style, const std::string& title) override;

    std::size_t boxesShown() const { return shown_; }
    bool sawPrompt(const std::string& prompt) const;
    const std::vector<std::string>& prompts() const { return prompts_; }

private:
    int byRule(const std::string& prompt, int style);

    std::ostream* echo_;
    std::deque<int> scripted_;
    std::function<bool()> nextDisk_;
    int retryLimit_ = 3; // retry dialogs answered OK in a row before the run is given up
    std::string lastRetryPrompt_;
    int retriesInARow_ = 0;
    std::size_t shown_ = 0;
    std::vector<std::string> prompts_;
};

} // namespace copy_driver
