#pragma once

#include "IMonotonicClock.h"

// A monotonic clock the test moves by hand.
class FakeClock final : public IMonotonicClock {
public:
    qint64 milliseconds() const override { return now; }

    qint64 now = 0;
};
