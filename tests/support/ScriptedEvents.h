// An event pump for tests: counts the yields and runs a scripted action at each one
// (a click on Abbrechen at the third chunk, say).
#pragma once

#include "runtime/EventPump.h"

#include <functional>

namespace testing_support {

class ScriptedEvents final : public rt::EventPump {
public:
    // The action gets the 1-based number of the yield.
    void onYield(std::function<void(int)> action) { action_ = std::move(action); }
    void doEvents() override {
        ++count_;
        if (action_) {
            action_(count_);
        }
    }
    int count() const { return count_; }

private:
    std::function<void(int)> action_;
    int count_ = 0;
};

} // namespace testing_support
