// vorkane-batch against single runs of the program: byte for byte the same
// output for each good line, and for each line the program would write no
// output for, the program's own message on standard error; exit statuses.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/de_excerpt.hpp"
#include "support/record_file.hpp"
#include "support/run_program.hpp"
#include "support/scratch_dir.hpp"

namespace {

using testing_support::Record;
using testing_support::RecordFile;
using testing_support::RunOptions;
using testing_support::RunResult;
using testing_support::ScratchDir;

const std::string data_name = "15502650.440";

RunResult run_batch(const std::string& dir, const std::vector<std::string>& arguments) {
    RunOptions options;
    options.arguments = arguments;
    return testing_support::run_program(testing_support::batch_binary(), dir, options);
}

// What the batch command should give for `lines`, from one run of the
// program per line: its vorkane.out when it ran normally, otherwise the
// text after "STOP " or "Run-time error: " in its report.
struct Expected {
    std::string out, err;
    bool any_bad = false;
};

Expected expected_from_runs(const ScratchDir& dir, const std::vector<std::string>& lines) {
    Expected e;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find_first_not_of(" \t\r\n") == std::string::npos) continue;
        dir.write("vorkane.in", lines[i]);
        const RunResult run = testing_support::run_vorkane(dir.path());
        if (run.exit_status == 0 && run.err.empty()) {
            e.out += dir.read("vorkane.out");
            continue;
        }
        std::string message;
        std::istringstream report(run.err);
        for (std::string line; std::getline(report, line);) {
            for (const std::string prefix : {"STOP ", "Run-time error: "})
                if (line.rfind(prefix, 0) == 0) message = line.substr(prefix.size());
        }
        e.err += "vorkane-batch: line " + std::to_string(i + 1) + ": " + message + "\n";
        e.any_bad = true;
    }
    return e;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& line : lines) all += line;
    return all;
}

void expect_batch_equals_runs(const ScratchDir& dir, const std::vector<std::string>& lines) {
    const Expected e = expected_from_runs(dir, lines);
    dir.write("dates", joined(lines));
    const RunResult batch = run_batch(dir.path(), {"dates"});
    EXPECT_EQ(batch.exit_status, e.any_bad ? 1 : 0);
    EXPECT_EQ(batch.err, e.err);
    EXPECT_TRUE(batch.out == e.out) << batch.out.size() << " bytes, expected " << e.out.size();
    const RunResult to_file = run_batch(dir.path(), {"-d", dir.file(data_name), "-o", "out", "dates"});
    EXPECT_TRUE(dir.read("out") == e.out);
}

TEST(Batch, EqualsSingleRunsOnSyntheticRecordsWithBadLines) {
    ScratchDir dir;
    RecordFile file(dir.file(data_name), 5140);  // records past 5140 are missing
    std::mt19937_64 random(19);
    std::uniform_real_distribution<double> coefficient(-1e9, 1e9);
    for (int n : {5136, 5137}) {
        Record r = testing_support::grid_record(n);
        for (int i = 2; i < 1138; ++i) r[i] = coefficient(random);
        file.put(n, r);
    }
    // Record 5138 stays zero: it brackets no date.
    std::vector<std::string> lines = {
        "2451545.0\n", "\n", "  \t\r\n", "2451536.5 trailing words\n", "abc\n", ",\n",
        "2451575\n", "nan\n", "-inf\n", "2688976.5\n", "2451600.0\n", "1d9999\n",
        "2451504.5, 2451545\n", "2451540.25\r\n",
    };
    for (int i = 0; i < 30; ++i) {
        std::ostringstream date;
        date.precision(17);
        date << 2451504.5 + 64.0 * std::ldexp(static_cast<double>(random() >> 11), -53) << "\n";
        lines.push_back(date.str());
    }
    lines.push_back("2451545.75");  // no line feed at the end of the input
    expect_batch_equals_runs(dir, lines);
}

TEST(Batch, EqualsSingleRunsOnTheExcerpts) {
    ScratchDir dir;
    if (!testing_support::write_data_file_from_excerpts(dir.file(data_name)))
        GTEST_SKIP() << "shared DE440 data not present";
    expect_batch_equals_runs(dir, {"2451545.0\n", "2451620.25\n", "2454250.75\n", "2454300.125\n"});
}

TEST(Batch, UsageErrorsAndAMissingDataFileGiveStatusTwo) {
    ScratchDir dir;
    const struct {
        std::vector<std::string> arguments;
        std::string err;
    } cases[] = {
        {{"-x"}, "usage: vorkane-batch [-d DATA] [-o OUT] [INPUT]\n"},
        {{"a", "b"}, "usage: vorkane-batch [-d DATA] [-o OUT] [INPUT]\n"},
        {{"-o"}, "usage: vorkane-batch [-d DATA] [-o OUT] [INPUT]\n"},
        {{"dates"}, "vorkane-batch: cannot open data file '15502650.440': No such file or directory\n"},
    };
    for (const auto& c : cases) {
        const RunResult run = run_batch(dir.path(), c.arguments);
        EXPECT_EQ(run.exit_status, 2);
        EXPECT_EQ(run.err, c.err);
    }
    EXPECT_FALSE(dir.exists(data_name));
    RecordFile file(dir.file(data_name), 1);
    const RunResult run = run_batch(dir.path(), {"absent"});
    EXPECT_EQ(run.exit_status, 2);
    EXPECT_EQ(run.err, "vorkane-batch: cannot open 'absent': No such file or directory\n");
}

}  // namespace
