// The reference outputs, produced independently of this program, have the
// shape our statements write: each field read back as a number and written
// again under the same formats gives the file byte for byte.
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "support/record_writing.hpp"
#include "support/run_program.hpp"
#include "support/scratch_dir.hpp"
#include "textio/format_write.hpp"

namespace {

using testing_support::program_settings;

std::string rewritten(const std::string& file) {
    std::vector<long double> values;
    for (size_t at = 0; at + 25 <= file.size();) {
        values.push_back(std::strtold(file.substr(at, 25).c_str(), nullptr));
        at += 25;
        if (file.compare(at, 2, "\r\n") == 0) at += 2;
    }
    std::string out;
    const vkrt::ByteSink sink = testing_support::string_sink(&out);
    vkrt::write_records("(g25.16)", values.data(), 1, program_settings, sink);
    vkrt::write_records("(3g25.16)", values.data() + 1, static_cast<int>(values.size()) - 1,
                        program_settings, sink);
    return out;
}

TEST(ReferenceOutputs, FieldsWrittenAgainGiveTheSameFile) {
    const std::string data = testing_support::shared_data_dir();
    if (data.empty()) GTEST_SKIP() << "DE440 excerpts absent";
    for (const char* name : {"2451545.0.out", "2451620.25.out", "2454250.75.out"}) {
        const std::string file = testing_support::read_file(data + "/reference/" + name);
        ASSERT_EQ(file.size(), 1567u) << name;
        EXPECT_EQ(rewritten(file), file) << name;
    }
}

}  // namespace
