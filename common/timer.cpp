#include "timer.h"

#include <chrono>
#include <ctime>

namespace velmora::common {

namespace {
TimerSource& CurrentSource() {
    static TimerSource source;
    return source;
}
}  // namespace

float SystemTimer() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    const auto micros = duration_cast<microseconds>(now.time_since_epoch()).count() % 1000000;
    const double seconds =
        local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + micros / 1e6;
    return static_cast<float>(seconds);
}

float Timer() {
    const TimerSource& source = CurrentSource();
    return source ? source() : SystemTimer();
}

void SetTimerSource(TimerSource source) {
    CurrentSource() = std::move(source);
}

}  // namespace velmora::common
