// Output fields do not depend on the floating-point unit's rounding mode nor
// on the process locale: records written under every rounding mode and under
// a locale with a decimal comma are identical to those written under the
// defaults.
#include <cfenv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

#include "support/record_writing.hpp"
#include "textio/format_write.hpp"
#include "textio/g_thresholds.hpp"

namespace {

using testing_support::program_settings;

// Values across every shape, built before any setting is changed (reading
// decimal text itself depends on the rounding mode).
std::vector<long double> sample_values() {
    std::vector<long double> values = {2451545.0L, -17.5L, 0.0L, -0.0L, 1e16L, INFINITY,
                                       std::nanl(""), 9999999999999999.5L,
                                       1234567890123456.5L, 1234567890123457.5L};
    const char* texts[] = {"0.98", "-0.0003", "0.1", "0.0999999999999999951", "1e100",
                           "-1.2345e-250", "9.99e998", "1e999", "1e-1000", "1e-1001",
                           "0.9834567890123456789", "4e-4950", "1.1e4932"};
    for (const char* text : texts) values.push_back(std::strtold(text, nullptr));
    const vkrt::GThresholds& t = vkrt::g_thresholds[16];
    values.push_back(t.lower);
    for (int j = 0; j < 16; ++j) {
        values.push_back(t.reach[j]);
        values.push_back(std::nextafter(t.reach[j], 0.0L));
    }
    std::mt19937_64 random(5);
    std::uniform_real_distribution<double> exponent(-40.0, 40.0);
    for (int i = 0; i < 3000; ++i) {
        const long double magnitude = std::pow(10.0L, static_cast<long double>(exponent(random)));
        values.push_back(i % 2 ? -magnitude : magnitude);
    }
    return values;
}

std::string all_records(const std::vector<long double>& values) {
    std::string out;
    const vkrt::ByteSink sink = testing_support::string_sink(&out);
    vkrt::write_records("(3g25.16)", values.data(), static_cast<int>(values.size()),
                        program_settings, sink);
    return out;
}

TEST(OutputIndependence, SameUnderEveryRoundingMode) {
    const std::vector<long double> values = sample_values();
    const std::string want = all_records(values);
    struct Mode {
        const char* name;
        int mode;
    };
    const Mode modes[] = {{"upward", FE_UPWARD},
                          {"downward", FE_DOWNWARD},
                          {"toward zero", FE_TOWARDZERO},
                          {"to nearest", FE_TONEAREST}};
    for (const Mode& m : modes) {
        ASSERT_EQ(std::fesetround(m.mode), 0);
        const std::string got = all_records(values);
        std::fesetround(FE_TONEAREST);
        EXPECT_TRUE(got == want) << "records differ when rounding " << m.name;
    }
}

// Restores the numeric locale when the test ends.
class NumericLocale {
public:
    NumericLocale() : saved_(std::setlocale(LC_NUMERIC, nullptr)) {}
    ~NumericLocale() { std::setlocale(LC_NUMERIC, saved_.c_str()); }

    // Switches to the first locale that writes a decimal comma.
    bool use_decimal_comma() {
        const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8",
                               "ru_RU.UTF-8", "nl_NL.UTF-8", "it_IT.UTF-8", "es_ES.UTF-8",
                               "de_DE", "fr_FR"};
        for (const char* name : names) {
            if (std::setlocale(LC_NUMERIC, name) == nullptr) continue;
            if (std::strcmp(std::localeconv()->decimal_point, ",") == 0) return true;
        }
        std::setlocale(LC_NUMERIC, saved_.c_str());
        return false;
    }

private:
    std::string saved_;
};

TEST(OutputIndependence, SameUnderADecimalCommaLocale) {
    const std::vector<long double> values = sample_values();
    const std::string want = all_records(values);
    NumericLocale locale;
    if (!locale.use_decimal_comma()) GTEST_SKIP() << "no locale with a decimal comma installed";
    EXPECT_TRUE(all_records(values) == want);
    EXPECT_EQ(want.find(','), std::string::npos);
}

}  // namespace
