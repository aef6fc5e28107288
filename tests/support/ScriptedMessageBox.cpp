#include "ScriptedMessageBox.h"

#include <gtest/gtest.h>

namespace testing_support {

ScriptedMessageBox& ScriptedMessageBox::expect(std::string prompt, int style, int answer,
                                               std::function<void()> whileShown) {
    return expect(ExpectedBox{std::move(prompt), style, answer, std::move(whileShown)});
}

ScriptedMessageBox& ScriptedMessageBox::expect(ExpectedBox box) {
    expected_.push_back(std::move(box));
    return *this;
}

int ScriptedMessageBox::show(const std::string& prompt, int style, const std::string& title) {
    shown_.push_back({prompt, style, title});
    if (expected_.empty()) {
        ADD_FAILURE() << "unexpected message box: \"" << visible(prompt) << "\" style " << style;
        throw UnexpectedBox("unexpected message box: " + visible(prompt));
    }
    ExpectedBox box = std::move(expected_.front());
    expected_.pop_front();
    if (box.prompt != prompt || box.style != style || box.title != title) {
        ADD_FAILURE() << "message box differs\n  expected: \"" << visible(box.prompt) << "\" style " << box.style
                      << " title \"" << box.title << "\"\n  shown:    \"" << visible(prompt) << "\" style " << style
                      << " title \"" << title << "\"";
        throw UnexpectedBox("message box differs: " + visible(prompt));
    }
    if (box.whileShown) {
        box.whileShown();
    }
    return box.answer;
}

std::string visible(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace testing_support
