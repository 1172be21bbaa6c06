#pragma once

#include <functional>

namespace velmora::common {

// "The timer": seconds since local midnight with a fraction, at single precision.
using TimerSource = std::function<float()>;

// Reads the system clock.
float SystemTimer();

// Reads the current timer source: the system clock unless a test has installed another.
float Timer();

// Replaces the timer source (tests); an empty source restores the system clock.
void SetTimerSource(TimerSource source);

}  // namespace velmora::common
