// The state routine on the real DE440 excerpts: its results written as the
// program writes them match reference outputs computed independently with
// exact rational arithmetic, a second call served from the record held gives
// the same bytes, and the published test points agree.
#include <unistd.h>

#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

#include "driver/fpu.hpp"
#include "ephemeris/vorkane.hpp"
#include "support/child_process.hpp"
#include "support/de_excerpt.hpp"
#include "support/scratch_dir.hpp"
#include "textio/format_write.hpp"

namespace {

using testing_support::ScratchDir;

void to_stdout(void*, const char* bytes, size_t n) {
    if (write(1, bytes, n) != static_cast<ssize_t>(n)) _exit(9);
}

// Slots 1 to 60 of the state for `date`, as records 2 to 21 of vorkane.out.
void write_state(long double date) {
    long double state[66];
    const int32_t velocity_flag = 1;
    vorkane(date, velocity_flag, state);
    vkrt::write_records("(3g25.16)", state, 60, vkrt::statement_edit_settings(), {to_stdout, nullptr});
}

// The reference file without its first record (the date).
std::string reference_states(const std::string& shared, const std::string& date) {
    const std::string whole = testing_support::read_file(shared + "/reference/" + date + ".out");
    return whole.substr(whole.find("\r\n") + 2);
}

class Excerpts : public ::testing::Test {
protected:
    void SetUp() override {
        shared_ = testing_support::shared_data_dir();
        if (shared_.empty()) GTEST_SKIP() << "DE440 excerpts absent";
        ASSERT_TRUE(testing_support::write_data_file_from_excerpts(dir_.file("15502650.440")));
    }
    std::string shared_;
    ScratchDir dir_;
};

TEST_F(Excerpts, StatesMatchTheReferenceOutputsAlsoFromTheRecordHeld) {
    const struct {
        const char* text;
        long double date;
    } dates[] = {{"2451545.0", 2451545.0L}, {"2451620.25", 2451620.25L}, {"2454250.75", 2454250.75L}};
    for (const auto& d : dates) {
        const auto result = testing_support::run_in_child(
            [&] {
                vkrt::reset_floating_point_unit();
                write_state(d.date);
                write_state(d.date);  // the record is held now: no read
            },
            {dir_.path()});
        ASSERT_EQ(result.exit_status, 0) << result.err;
        const std::string expected = reference_states(shared_, d.text);
        EXPECT_EQ(result.out, expected + expected) << d.text;
    }
}

// Value of a published point from heliocentric states (the Sun is zero).
double relative(const long double* state, int target, int centre, int coordinate) {
    auto of = [&](int body) -> long double {
        return body == 11 ? 0.0L : state[6 * body - 6 + coordinate - 1];
    };
    return static_cast<double>(of(target) - of(centre));
}

TEST_F(Excerpts, PublishedTestPointsAgree) {
    std::ifstream points(shared_ + "/de440-excerpt/testpo-2007.440");
    std::string line;
    int checked = 0;
    while (std::getline(points, line)) {
        std::istringstream fields(line);
        std::string number, calendar;
        double jd, value;
        int target, centre, coordinate;
        fields >> number >> calendar >> jd >> target >> centre >> coordinate >> value;
        // Only points between bodies whose heliocentric states we give.
        if (target > 11 || centre > 11 || target == 0 || centre == 0) continue;
        const auto result = testing_support::run_in_child(
            [&] {
                vkrt::reset_floating_point_unit();
                long double state[66];
                const int32_t velocity_flag = 1;
                vorkane(static_cast<long double>(jd), velocity_flag, state);
                const double got = relative(state, target, centre, coordinate);
                _exit(std::fabs(got - value) <= 1e-14 * std::fmax(1.0, std::fabs(value)) ? 0 : 1);
            },
            {dir_.path()});
        EXPECT_EQ(result.exit_status, 0) << line;
        ++checked;
    }
    EXPECT_EQ(checked, 8);
}

}  // namespace
