// Rule-based answers for the copy run's dialogs.
#include "DialogAnswerer.h"

#include <algorithm>
#include <ostream>

namespace copy_driver {

namespace {

std::string oneLine(const std::string& text) {
    std::string out = text;
    std::replace(out.begin(), out.end(), '\r', '|');
    return out;
}

} // namespace

int DialogAnswerer::show(const std::string& prompt, int style, const std::string& title) {
    ++shown_;
    prompts_.push_back(prompt);
    int answer = 0;
    if (!scripted_.empty()) {
        answer = scripted_.front();
        scripted_.pop_front();
    } else {
        answer = byRule(prompt, style);
    }
    if (echo_ != nullptr) {
        *echo_ << "Dialog [" << title << ", " << style << "] " << oneLine(prompt) << " -> " << answer << '\n';
    }
    return answer;
}

int DialogAnswerer::byRule(const std::string& prompt, int style) {
    switch (style) {
    case rt::kQuestionYesNoDefaultNo:
        // Only ever asked after a Cancel, which was meant.
        return rt::kResultYes;
    case rt::kInfoOkCancel:
        // Another disk is wanted.
        return nextDisk_ && nextDisk_() ? rt::kResultOk : rt::kResultCancel;
    case rt::kCriticalOkCancel:
        // A retry that keeps failing would never end by itself.
        retriesInARow_ = prompt == lastRetryPrompt_ ? retriesInARow_ + 1 : 1;
        lastRetryPrompt_ = prompt;
        return retriesInARow_ > retryLimit_ ? rt::kResultCancel : rt::kResultOk;
    default:
        return rt::kResultOk;
    }
}

bool DialogAnswerer::sawPrompt(const std::string& prompt) const {
    return std::find(prompts_.begin(), prompts_.end(), prompt) != prompts_.end();
}

} // namespace copy_driver
