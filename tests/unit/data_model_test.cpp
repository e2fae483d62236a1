// The demo data file's model against DE440 (the shared excerpts, evaluated
// here by the plain Chebyshev sum), the fit of the model into records, and
// the reading of numbers in the ASCII DE form.
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

#include "support/run_program.hpp"
#include "support/scratch_dir.hpp"
#include "vorkane-data/data_layout.hpp"
#include "vorkane-data/de_ascii.hpp"
#include "vorkane-data/demo_file.hpp"
#include "vorkane-data/mean_orbits.hpp"

namespace {

using vkdata::Vector3;

constexpr double km_per_au = 149597870.7;

// Body `body` of a record with the layout of DE440 at date t, by the sum of
// T_k(x) c_k with T_k = cos(k acos x).
Vector3 series(const double* record, int body, double t) {
    const vkdata::Block b = vkdata::body_block(body - 1);
    const double length = 32.0 / b.subintervals;
    const int m = std::min(static_cast<int>((t - record[0]) / length), b.subintervals - 1);
    const double x = 2.0 * (t - record[0] - m * length) / length - 1.0;
    Vector3 v{};
    for (int j = 0; j < 3; ++j)
        for (int k = 0; k < b.coefficients; ++k)
            v[j] += std::cos(k * std::acos(x)) *
                    record[b.start - 1 + m * 3 * b.coefficients + j * b.coefficients + k];
    return v;
}

double distance(const Vector3& a, const Vector3& b) {
    return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) +
                     (a[2] - b[2]) * (a[2] - b[2]));
}

TEST(DemoModel, PlanetsWithinTwoHundredthsOfAnAuOfDe440AndTheMoonWithinFiveThousandKm) {
    const std::string data = testing_support::shared_data_dir();
    if (data.empty()) GTEST_SKIP() << "DE440 excerpts absent";
    for (const char* name : {"p1999-2000.440", "p2007.440"}) {
        const std::string file = testing_support::read_file(data + "/de440-excerpt/" + name);
        std::vector<double> record(1018);
        for (size_t at = 2 * 8144; at < file.size(); at += 8144) {
            std::memcpy(record.data(), file.data() + at, 8144);
            for (double t = record[0]; t < record[1]; t += 4.0) {
                const Vector3 sun = series(record.data(), 11, t);
                for (int planet = 1; planet <= 9; ++planet) {
                    Vector3 de = series(record.data(), planet, t);
                    for (int j = 0; j < 3; ++j) de[j] -= sun[j];
                    EXPECT_LT(distance(de, vkdata::mean_orbit_position(planet, t)) / km_per_au, 0.02)
                        << "planet " << planet << " at " << t;
                }
                EXPECT_LT(distance(series(record.data(), 10, t), vkdata::moon_position(t)), 5000.0)
                    << t;
            }
        }
    }
}

TEST(DemoModel, RecordsReproduceTheModelAndFollowTheGrid) {
    for (int n : {1, 2, 5137, 12556}) {
        const auto record = vkdata::demo_record(n);
        EXPECT_EQ(record[0], 2287184.5 + 32.0 * (n - 1));
        EXPECT_EQ(record[1], record[0] + 32.0);
        for (size_t i = 818; i < record.size(); ++i) ASSERT_EQ(record[i], 0.0);
        for (double t = record[0]; t < record[1]; t += 0.37) {
            for (int planet = 1; planet <= 9; ++planet) {
                EXPECT_LT(distance(series(record.data(), planet, t),
                                   vkdata::mean_orbit_position(planet, t)), 1.0)
                    << planet;
            }
            EXPECT_LT(distance(series(record.data(), 10, t), vkdata::moon_position(t)), 1.0);
            EXPECT_EQ(distance(series(record.data(), 11, t), {0, 0, 0}), 0.0);
        }
    }
}

TEST(AsciiNumbers, DExponentsAndRefusals) {
    const struct {
        const char* text;
        bool ok;
        double value;
    } cases[] = {
        {"0.2287184500000000000D+07", true, 2287184.5},
        {"-0.1250000000000000000D-02", true, -0.00125},
        {"0.5d+01", true, 5.0},
        {"+0.5E+01", true, 5.0},
        {"32.", true, 32.0},
        {"0.1000000000000000055511151231257827021D+00", true, 0.1},
        {"1018", false, 0},            // a record header word
        {"0.1D+400", false, 0},        // beyond binary64
        {"0.1D+07x", false, 0},
        {"+-0.5", false, 0},
        {"nan.", false, 0},
        {"", false, 0},
    };
    for (const auto& c : cases) {
        double value = -1;
        EXPECT_EQ(vkdata::parse_de_number(c.text, value), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

}  // namespace
