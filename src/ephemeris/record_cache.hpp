// The record cache: the one data-file record held in extended precision, and
// the steps that make it the record covering a date.
#pragma once

#include <cstdint>

#include "ephemeris/constants.hpp"

namespace ephemeris {

// buf[1] is the record's start date, buf[2] its end date, buf[3] onward the
// coefficients; buf[0] is unused so that indices follow the record's own.
// The values are held as the binary64 numbers read and take part in the
// extended arithmetic through their exact widening: an extended product with
// a binary64 operand loads it in one step, where a stored 80-bit operand
// costs several.
extern double buf[record_values + 1];
// Number of the record held in buf; -1 when none.
extern int32_t nrc;
// 1 once the data file has been connected.
extern int32_t iop;

// Range check, connection of the data file on first use, and the read of the
// record covering `date` unless it is already held. Ends the run (stop text
// or run-time error report) when any of these fails.
void hold_record_for(const long double& date);

}  // namespace ephemeris
