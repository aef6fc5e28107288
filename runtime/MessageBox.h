// The modal message box: a prompt (lines joined by a lone CR), a style code, a title;
// returns the code of the button pressed.
#pragma once

#include <string>

namespace rt {

enum MsgStyle : int {
    kCriticalOk = 16,
    kCriticalOkCancel = 17,
    kInfoOk = 64,
    kInfoOkCancel = 65,
    kQuestionYesNoDefaultNo = 292,
};

enum MsgResult : int {
    kResultOk = 1,
    kResultCancel = 2,
    kResultYes = 6,
    kResultNo = 7,
};

class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    virtual int show(const std::string& prompt, int style, const std::string& title) = 0;
};

} // namespace rt
