// The data tool's view of an output file, its command-line conventions and
// its answer for a published DE file.
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "support/run_program.hpp"
#include "support/scratch_dir.hpp"

namespace {

using testing_support::run_data_tool;
using testing_support::RunResult;
using testing_support::ScratchDir;

std::string field(const std::string& text) { return std::string(25 - text.size(), ' ') + text; }

// An output file: the date, then Mercury at (3, 4, 12) au moving at
// 0.0864 au/day along x, every other body at rest in the origin.
std::string output_file(const std::string& date) {
    std::string bytes = field(date) + "\r\n";
    bytes += field("3.000000000000000") + field("4.000000000000000") +
             field("0.1200000000000000E+02") + "\r\n";
    bytes += field("0.8640000000000000E-01") + field("0.000000000000000") +
             field("-0.000000000000000") + "\r\n";
    for (int record = 4; record <= 21; ++record) {
        bytes += field("0.000000000000000") + field("0.000000000000000") +
                 field("0.000000000000000") + "\r\n";
    }
    return bytes;
}

TEST(DataToolShow, PrintsTheOutputAsATable) {
    ScratchDir dir;
    dir.write("vorkane.out", output_file("2451545.000000000"));
    const RunResult result = run_data_tool(dir.path(), {"show"});
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.err, "");
    // Distance 13 au; speed 0.0864 x 149597870.7 / 86400 = 149.5978707 km/s.
    const std::string zero = " 0.000000000000000       ";  // sign column, then 24 wide
    const std::string rest = zero + zero + zero + "    0.0000000000\n         " + zero + zero + zero +
                             "        0.000000\n";
    std::string want =
        "vorkane.out: positions and velocities relative to the Sun, ephemeris axes\n"
        "date: JD 2451545.000000000 TDB = 2000-01-01 12:00:00.000 TDB\n\n"
        "body     x (au)                   y (au)                   z (au)                      "
        "distance (au)\n"
        "         x' (au/day)              y' (au/day)              z' (au/day)                  "
        "speed (km/s)\n"
        "Mercury   3.000000000000000        4.000000000000000        0.1200000000000000E+02     "
        "13.0000000000\n"
        "          0.8640000000000000E-01   0.000000000000000       -0.000000000000000       "
        "      149.597871\n";
    for (const char* body : {"Venus", "Earth", "Mars", "Jupiter", "Saturn", "Uranus", "Neptune",
                             "Pluto", "Moon"}) {
        want += std::string(body) + std::string(9 - std::string(body).size(), ' ') + rest;
    }
    EXPECT_EQ(result.out, want);
}

TEST(DataToolShow, CalendarDatesOnBothSidesOfTheGregorianReform) {
    const struct {
        const char* jd;
        const char* date;
    } cases[] = {
        {"2287184.500000000", "1549-12-21 00:00:00.000"},  // the program's first date
        {"2299159.500000000", "1582-10-04 00:00:00.000"},  // last day of the Julian calendar
        {"2299160.500000000", "1582-10-15 00:00:00.000"},  // first Gregorian day
        {"2451545.250000000", "2000-01-01 18:00:00.000"},
        {"2451545.499999999", "2000-01-02 00:00:00.000"},  // rounds up into the next day
        {"2460000.123456789", "2023-02-24 14:57:46.667"},
        {"2688976.500000000", "2650-01-25 00:00:00.000"},  // the program's last date
    };
    for (const auto& c : cases) {
        ScratchDir dir;
        dir.write("out", output_file(c.jd));
        const RunResult result = run_data_tool(dir.path(), {"show", "out"});
        EXPECT_NE(result.out.find(std::string("date: JD ") + c.jd + " TDB = " + c.date + " TDB\n"),
                  std::string::npos)
            << c.jd << "\n" << result.out << result.err;
    }
}

TEST(DataToolShow, RefusesWhatIsNotAnOutputFile) {
    const std::string good = output_file("2451545.000000000");
    std::string lf_only = good;
    lf_only.erase(25, 1);
    std::string bad_field = good;
    bad_field.replace(27 + 50, 25, field("abc"));
    const struct {
        std::string bytes;
        const char* why;
    } cases[] = {
        {"", "it is empty (a run that stopped or failed leaves it so)"},
        {lf_only, "record 1 is not ended by CR LF"},
        {good.substr(0, 27 + 77 * 19), "it holds 20 records, not 21"},
        {" 1.0\r\n" + good.substr(27), "record 1 is 4 characters long, not 25"},
        {bad_field, "record 2, field 3: 'abc' is not a number"},
        {good + "\r\n", "it is 1569 bytes long, not 1567"},
    };
    for (const auto& c : cases) {
        ScratchDir dir;
        dir.write("vorkane.out", c.bytes);
        const RunResult result = run_data_tool(dir.path(), {"show"});
        EXPECT_EQ(result.exit_status, 1) << c.why;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, std::string("vorkane-data: vorkane.out: not an output file of vorkane: ") +
                                  c.why + "\n");
    }
}

TEST(DataToolCommandLine, HelpVersionAndUnknownCommands) {
    ScratchDir dir;
    const RunResult usage = run_data_tool(dir.path(), {"--help"});
    ASSERT_EQ(usage.out.rfind("usage: vorkane-data convert -o OUTPUT INPUT...\n", 0), 0u) << usage.out;
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"-h"}, {"help"}, {"check", "--help"}, {"show", "-h"}, {"convert", "-o", "x", "--help"}}) {
        const RunResult result = run_data_tool(dir.path(), args);
        EXPECT_EQ(result.exit_status, 0) << args[0];
        EXPECT_EQ(result.out, usage.out) << args[0];
        EXPECT_EQ(result.err, "") << args[0];
    }
    EXPECT_FALSE(dir.exists("x"));  // --help is not a file name

    const RunResult version = run_data_tool(dir.path(), {"--version"});
    EXPECT_EQ(version.exit_status, 0);
    EXPECT_EQ(version.out.rfind("vorkane-data ", 0), 0u);
    EXPECT_EQ(version.out.find_first_not_of("0123456789.", 13), version.out.size() - 1) << version.out;

    const RunResult unknown = run_data_tool(dir.path(), {"frob"});
    EXPECT_EQ(unknown.exit_status, 2);
    EXPECT_EQ(unknown.out, "");
    EXPECT_EQ(unknown.err, "vorkane-data: unknown command 'frob'\n" + usage.out);
    const RunResult none = run_data_tool(dir.path(), {});
    EXPECT_EQ(none.exit_status, 2);
    EXPECT_EQ(none.err, usage.out);
}

TEST(DataToolCheck, NamesAPublishedDeFileAndPointsToConvert) {
    ScratchDir dir;
    dir.write("header.440", "KSIZE= 2036    NCOEFF= 1018\n");
    dir.write("ascp01950.440", "     1  1018\n  0.2433264500000000D+07  0.2433296500000000D+07\n");
    struct Case {
        std::string file;
        std::string kind;
        std::string command;
    };
    const std::string ascii_command = "vorkane-data convert -o 15502650.440 header.440 ascp*.440";
    std::vector<Case> cases = {{"header.440", "a DE header file (ASCII)", ascii_command},
                               {"ascp01950.440", "a DE data file (ASCII)", ascii_command}};
    const std::string shared = testing_support::shared_data_dir();
    if (!shared.empty()) {
        const std::string excerpt = shared + "/de440-excerpt/p2007.440";
        cases.push_back({excerpt, "a DE file (binary)", "vorkane-data convert -o 15502650.440 " + excerpt});
    }
    for (const Case& c : cases) {
        const RunResult result = run_data_tool(dir.path(), {"check", c.file});
        EXPECT_EQ(result.exit_status, 1) << c.file;
        EXPECT_EQ(result.out, c.file + ": " + c.kind +
                                  " as JPL publishes it, not in the layout of the program's data file\n"
                                  "make the data file from it with: " + c.command + "\nnot well-formed\n");
    }
}

}  // namespace
