// Formatted writes through a real connection: the records reach the file byte
// for byte with CR LF, and the first statement replaces older content, longer
// or shorter.
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "fileio/units.hpp"
#include "support/scratch_dir.hpp"
#include "textio/format_write.hpp"

namespace {

constexpr int test_unit = 77;

// The program's two statements on a file that held `old_content`.
std::string write_output(const std::string& old_content) {
    testing_support::ScratchDir dir;
    dir.write("out.txt", old_content);
    const std::string path = dir.file("out.txt");
    vkrt::open_unit({"test", 4, test_unit}, path.c_str(), vkrt::Access::sequential, 0);
    const long double date = 2451545.0L;
    std::vector<long double> state(60);
    for (size_t i = 0; i < state.size(); ++i) state[i] = 1.0L / static_cast<long double>(i + 1);
    vkrt::write_formatted({"test", 7, test_unit}, "(g25.16)", &date, 1);
    vkrt::write_formatted({"test", 8, test_unit}, "(3g25.16)", state.data(), 60);
    vkrt::close_unit({"test", 9, test_unit});
    return dir.read("out.txt");
}

TEST(FormattedWriteFile, ReplacesOlderContent) {
    const std::string want_start =
        "    2451545.000000000    \r\n"
        "    1.000000000000000       0.5000000000000000       0.3333333333333333    \r\n";
    for (const std::string& old : {std::string(), std::string(5000, 'x'), std::string("short\n")}) {
        const std::string out = write_output(old);
        ASSERT_EQ(out.size(), 1567u) << "old content of " << old.size() << " bytes";
        EXPECT_EQ(out.substr(0, want_start.size()), want_start);
        EXPECT_EQ(out.substr(out.size() - 2), "\r\n");
        EXPECT_EQ(out.find('x'), std::string::npos);
    }
}

TEST(FormattedWriteFileDeathTest, MalformedFormatIsAFormatError) {
    testing_support::ScratchDir dir;
    const std::string path = dir.file("out.txt");
    const long double value = 1.0L;
    EXPECT_EXIT(
        {
            vkrt::open_unit({"test", 4, test_unit}, path.c_str(), vkrt::Access::sequential, 0);
            vkrt::write_formatted({"test", 7, test_unit}, "(g25.16", &value, 1);
        },
        testing::ExitedWithCode(2), "Run-time error: FORMAT error");
}

}  // namespace
