// Calendar dates of Julian dates, as the ephemeris gives them: the Julian
// calendar up to 1582 October 4, the Gregorian calendar from October 15.
#pragma once

#include <cstdint>

namespace vkdata {

struct CalendarDate {
    int year;
    int month;  // 1 to 12
    int day;    // 1 to 31
};

// The civil date of the Julian day number `day_number`, the day that begins
// at the Julian date day_number - 0.5. Valid for day numbers from 0.
CalendarDate calendar_date(int64_t day_number);

// "YYYY-MM-DD hh:mm:ss.sss" for the Julian date `jd`, rounded to the
// millisecond; jd must not be negative.
void calendar_text(long double jd, char (&text)[32]);

}  // namespace vkdata
