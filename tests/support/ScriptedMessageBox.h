// A message box for tests: every box the program shows must have been expected, with its
// prompt, style and title; an unexpected one fails the test loudly.
#pragma once

#include "runtime/MessageBox.h"

#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace testing_support {

struct ExpectedBox {
    std::string prompt;
    int style = 0;
    int answer = 0;
    std::function<void()> whileShown; // e.g. swap the disk before answering OK
    std::string title = "Splitwerk 99";
};

struct ShownBox {
    std::string prompt;
    int style = 0;
    std::string title;
};

// Thrown when the program shows a box nobody expected, so the run stops right there.
struct UnexpectedBox : std::logic_error {
    using std::logic_error::logic_error;
};

class ScriptedMessageBox final : public rt::MessageBoxService {
public:
    ScriptedMessageBox& expect(std::string prompt, int style, int answer, std::function<void()> whileShown = {});
    ScriptedMessageBox& expect(ExpectedBox box);
    int show(const std::string& prompt, int style, const std::string& title) override;

    bool allShown() const { return expected_.empty(); }
    std::size_t pending() const { return expected_.size(); }
    const std::vector<ShownBox>& shown() const { return shown_; }

private:
    std::deque<ExpectedBox> expected_;
    std::vector<ShownBox> shown_;
};

// Makes a prompt readable in a failure message (CR shown as "\r").
std::string visible(const std::string& text);

} // namespace testing_support
