#pragma once

#include "IMonotonicClock.h"

// The system's monotonic clock.
class SteadyClock final : public IMonotonicClock {
public:
    qint64 milliseconds() const override;
};
