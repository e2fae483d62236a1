// An extended real kept as two binary64 values whose sum is exactly it. An
// 80-bit load or store takes several times as long as a 64-bit one, so the
// polynomial values, written once and read by several bodies' sums, are
// kept this way when they are known to fit.
#pragma once

namespace ephemeris {

// hi is the value rounded to double precision and lo the rest, -(hi - v):
// exact whenever v is finite, below 2^1023 in magnitude and either zero or
// at least 2^-1000, so that the rest (at most 11 significant bits) is a
// double too. The rest is taken as -(hi - v) rather than v - hi so that a
// zero keeps its sign: -0 splits into -0 and -0, whose sum is -0 again.
struct SplitExtended {
    double hi;
    double lo;

    SplitExtended& operator=(const long double& v) {
        hi = static_cast<double>(v);
        // Read hi back from memory: the register copy may not be rounded.
        asm("" : "+m"(hi));
        lo = static_cast<double>(-(static_cast<long double>(hi) - v));
        return *this;
    }
    operator long double() const { return static_cast<long double>(hi) + lo; }
};

}  // namespace ephemeris
