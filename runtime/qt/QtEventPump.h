// Yield on the Qt desktop: processes every pending event, clicks included.
#pragma once

#include "../EventPump.h"

namespace rt {

class QtEventPump final : public EventPump {
public:
    void doEvents() override;
};

} // namespace rt
