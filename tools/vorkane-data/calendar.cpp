// Julian dates to calendar dates, in integer arithmetic (the algorithm of
// Meeus, Astronomical Algorithms, chapter 7, with its divisions by 365.25
// and 30.6001 done on scaled integers).
#include "vorkane-data/calendar.hpp"

#include <cmath>
#include <cstdio>

namespace vkdata {

namespace {

constexpr int64_t first_gregorian_day = 2299161;  // 1582 October 15
constexpr int64_t milliseconds_per_day = 86400000;

}  // namespace

CalendarDate calendar_date(int64_t day_number) {
    int64_t a = day_number;
    if (day_number >= first_gregorian_day) {
        // Days the Gregorian calendar skips: three centuries in four.
        const int64_t centuries = (4 * day_number - 7468865) / 146097;
        a = day_number + 1 + centuries - centuries / 4;
    }
    const int64_t b = a + 1524;
    const int64_t c = (20 * b - 2442) / 7305;           // floor((b - 122.1) / 365.25)
    const int64_t d = 365 * c + c / 4;                  // floor(365.25 c)
    const int64_t e = (10000 * (b - d)) / 306001;       // floor((b - d) / 30.6001)
    const int day = static_cast<int>(b - d - (306001 * e) / 10000);
    const int month = static_cast<int>(e < 14 ? e - 1 : e - 13);
    const int year = static_cast<int>(month > 2 ? c - 4716 : c - 4715);
    return {year, month, day};
}

void calendar_text(long double jd, char (&text)[32]) {
    // Days start at noon of the Julian date, midnight of the civil date.
    const long double shifted = jd + 0.5L;
    int64_t day_number = static_cast<int64_t>(std::floor(shifted));
    int64_t ms = std::llround((shifted - static_cast<long double>(day_number)) *
                              static_cast<long double>(milliseconds_per_day));
    if (ms >= milliseconds_per_day) {
        ++day_number;
        ms -= milliseconds_per_day;
    }
    const CalendarDate date = calendar_date(day_number);
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", date.year, date.month,
                  date.day, static_cast<int>(ms / 3600000), static_cast<int>(ms / 60000 % 60),
                  static_cast<int>(ms / 1000 % 60), static_cast<int>(ms % 1000));
}

}  // namespace vkdata
