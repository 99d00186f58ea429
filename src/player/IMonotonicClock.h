#pragma once

#include <QtGlobal>

// A clock that only moves forward: midnight and changes of the system clock do not affect it.
// The tip timer and the player's position read it; tests give them a clock they set by hand.
class IMonotonicClock {
public:
    virtual ~IMonotonicClock() = default;
    // Milliseconds since a fixed, unspecified start.
    virtual qint64 milliseconds() const = 0;
};
