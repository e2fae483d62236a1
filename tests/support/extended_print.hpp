// Extended reals in test failures: GoogleTest prints a long double with six
// digits, so that two values a unit in the last place apart both read "1".
// This printer, included ahead of every test source by the build, writes
// the value with 21 significant digits, in hexadecimal and as its 80-bit
// pattern: 1.00000000000000000011 (0x8.000000000000001p-3, 3fff:8000000000000001).
#pragma once

#include <gtest/gtest.h>
#include <ostream>
#include <string>

namespace testing_support {

// The text above for one value.
std::string extended_text(long double value);

}  // namespace testing_support

namespace testing::internal {

template <>
class UniversalPrinter<long double> {
public:
    static void Print(const long double& value, std::ostream* os) {
        *os << testing_support::extended_text(value);
    }
};

}  // namespace testing::internal
