// Yielding to pending window events: handlers (a click on Abbrechen, say) run nested in it.
#pragma once

namespace rt {

class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void doEvents() = 0;
};

// For programs without a window.
class NoEvents final : public EventPump {
public:
    void doEvents() override {}
};

} // namespace rt
