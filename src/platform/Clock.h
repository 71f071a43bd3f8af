#pragma once
// Local date and time as days since 30 December 1899 (durations are fractions of a day), and the
// high-resolution counter.
#include <chrono>
#include <string>

namespace tellvane {

using TDateTime = double;
constexpr double SecondsPerDay = 86400.0;

// The current local date and time.
TDateTime Now();
// Local broken-down parts of a date-time value.
struct DateTimeParts {
    int year, month, day, hour, minute, second, millisecond;
};
DateTimeParts DecodeDateTime(TDateTime value);
TDateTime EncodeDateTime(const DateTimeParts& parts);
// "hh:mm:ss" of the time of day a duration stands for (wraps at a day, milliseconds dropped).
std::string FormatHhMmSs(TDateTime value);
// "d.m.yy hh:nn:ss:zzz" as the diagnostic log stamps its lines.
std::string FormatLogStamp(TDateTime value);

// Seconds on the monotonic high-resolution counter.
inline double CounterSeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace tellvane
