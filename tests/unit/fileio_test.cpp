// File connections: the three opening attempts, direction checks, record
// reads, the cut of an older output file and the write-out at close.
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "diagnostics/options.hpp"
#include "fileio/unit_table.hpp"
#include "fileio/units.hpp"
#include "support/child_process.hpp"
#include "support/record_file.hpp"
#include "support/scratch_dir.hpp"

namespace {

using testing_support::ChildOptions;
using testing_support::run_in_child;
using testing_support::RunResult;
using testing_support::ScratchDir;

constexpr vkrt::Locus connect_in{"vorkane", 2, 10};
constexpr vkrt::Locus read_in{"vorkane", 3, 10};
constexpr vkrt::Locus connect_out{"vorkane", 4, 20};
constexpr vkrt::Locus write_out{"vorkane", 7, 20};
constexpr vkrt::Locus close_out{"vorkane", 9, 20};
constexpr vkrt::Locus connect_data{"vorkane", 29, 30};
constexpr vkrt::Locus read_data{"vorkane", 35, 30};

void quiet_settings() {
    vkrt::set_startup_settings({10308, 16383, 0, 0, 1, 0, 31});
}

void open_text(const vkrt::Locus& where, const char* name) {
    vkrt::open_unit(where, name, vkrt::Access::sequential, 0);
}

void write_statement(const char* text) {
    vkrt::Unit& unit = vkrt::begin_write(write_out);
    vkrt::put_bytes(unit, text, std::strlen(text));
    vkrt::end_write(unit);
}

ChildOptions in(const ScratchDir& dir, bool unprivileged = false) {
    ChildOptions options;
    options.directory = dir.path();
    options.unprivileged = unprivileged;
    return options;
}

TEST(Connect, CreatesAMissingFileEmptyWithMode0666AndNeverTruncates) {
    ScratchDir dir;
    dir.write("kept", "old content");
    RunResult r = run_in_child([] {
        ::umask(0);
        open_text(connect_in, "vorkane.in");
        open_text(connect_out, "kept");
    }, in(dir));
    EXPECT_EQ(r.exit_status, 0);
    struct stat st;
    ASSERT_EQ(::stat(dir.file("vorkane.in").c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 0);
    EXPECT_EQ(st.st_mode & 0777, 0666u);
    EXPECT_EQ(dir.read("kept"), "old content");
}

TEST(Connect, FailureNamesTheFileAndTheSystemErrorWithoutAFilePart) {
    ScratchDir dir;
    ::mkdir(dir.file("vorkane.in").c_str(), 0777);
    RunResult r = run_in_child([] { quiet_settings(); open_text(connect_in, "vorkane.in"); }, in(dir));
    EXPECT_EQ(r.exit_status, 2);
    EXPECT_EQ(r.err, "At line 2 of file vorkane (unit = 10)\n"
                     "Run-time error: Cannot open file 'vorkane.in': Is a directory\n");
}

TEST(Connect, FallsBackToReadOnlyThenWriteOnly) {
    ScratchDir dir;
    dir.write("vorkane.out", "kept as it was\r\n");
    dir.write("writeonly", "");
    ::chmod(dir.file("vorkane.out").c_str(), 0444);
    ::chmod(dir.file("writeonly").c_str(), 0222);

    RunResult read_only = run_in_child([] {
        quiet_settings();
        open_text(connect_out, "vorkane.out");
        write_statement("new\r\n");
    }, in(dir, true));
    EXPECT_EQ(read_only.exit_status, 2);
    EXPECT_EQ(read_only.err, "At line 7 of file vorkane (unit = 20, file = 'vorkane.out')\n"
                             "Run-time error: Cannot write to file opened for READ\n");
    EXPECT_EQ(dir.read("vorkane.out"), "kept as it was\r\n");

    RunResult write_only = run_in_child([] {
        quiet_settings();
        vkrt::open_unit(connect_data, "writeonly", vkrt::Access::direct, 9104);
        double record[1138];
        vkrt::read_record(read_data, 1, record);
    }, in(dir, true));
    EXPECT_EQ(write_only.exit_status, 2);
    EXPECT_EQ(write_only.err, "At line 35 of file vorkane (unit = 30, file = 'writeonly')\n"
                              "Run-time error: Cannot read from file opened for WRITE\n");
}

TEST(Connect, ReportsTheLastAttemptsErrorInALockedDirectory) {
    ScratchDir dir;
    ::mkdir(dir.file("locked").c_str(), 0555);
    ChildOptions options = in(dir, true);
    options.directory = dir.file("locked");
    RunResult r = run_in_child([] { quiet_settings(); open_text(connect_in, "vorkane.in"); }, options);
    EXPECT_EQ(r.exit_status, 2);
    EXPECT_EQ(r.err, "At line 2 of file vorkane (unit = 10)\n"
                     "Run-time error: Cannot open file 'vorkane.in': Permission denied\n");
}

TEST(DirectRead, ChecksTheRecordNumberAgainstTheFile) {
    ScratchDir dir;
    {
        testing_support::RecordFile data(dir.file("two"), 2);
        testing_support::RecordFile partial(dir.file("partial"), 3);
        partial.resize(2 * 9104 + 9103);
    }
    struct Case {
        const char* file;
        int32_t record;
        const char* want;  // nullptr: read normally
    };
    const Case cases[] = {
        {"two", 1, nullptr},
        {"two", 2, nullptr},
        {"two", 3, "Non-existing record number"},
        {"two", 0, "Record number must be positive"},
        {"two", -2147483647 - 1, "Record number must be positive"},
        {"partial", 2, nullptr},
        {"partial", 3, "Non-existing record number"},
        {"missing", 1, "Non-existing record number"},
    };
    for (const Case& c : cases) {
        RunResult r = run_in_child([&] {
            quiet_settings();
            vkrt::open_unit(connect_data, c.file, vkrt::Access::direct, 9104);
            double record[1138];
            vkrt::read_record(read_data, c.record, record);
        }, in(dir));
        if (c.want == nullptr) {
            EXPECT_EQ(r.exit_status, 0) << c.file << " " << c.record;
            EXPECT_EQ(r.err, "");
        } else {
            EXPECT_EQ(r.exit_status, 2);
            EXPECT_EQ(r.err, std::string("At line 35 of file vorkane (unit = 30, file = '") + c.file +
                                 "')\nRun-time error: " + c.want + "\n");
        }
    }
    EXPECT_EQ(dir.read("missing"), "");
}

// The first read takes the size learned at the connection; every later read
// asks the system again, so a record added meanwhile can be read.
TEST(DirectRead, LaterReadsSeeTheFileAsItIsNow) {
    ScratchDir dir;
    testing_support::RecordFile(dir.file("data"), 1);
    RunResult r = run_in_child([&] {
        quiet_settings();
        vkrt::open_unit(connect_data, "data", vkrt::Access::direct, 9104);
        double record[1138];
        vkrt::read_record(read_data, 1, record);
        if (::truncate("data", 2 * 9104) != 0) std::exit(1);
        vkrt::read_record(read_data, 2, record);
    }, in(dir));
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.err, "");
}

TEST(DirectRead, DeliversTheRecordsBytesAtItsOffset) {
    ScratchDir dir;
    testing_support::Record second = testing_support::grid_record(2);
    second[1137] = -1.25;
    testing_support::RecordFile(dir.file("data"), 3).put(2, second);
    RunResult r = run_in_child([&] {
        vkrt::open_unit(connect_data, "data", vkrt::Access::direct, 9104);
        double record[1138];
        vkrt::read_record(read_data, 2, record);
        std::exit(record[0] == 2287216.5 && record[1] == 2287248.5 && record[1137] == -1.25 ? 0 : 1);
    }, in(dir));
    EXPECT_EQ(r.exit_status, 0);
}

TEST(SequentialWrite, ReplacesOlderContentOfAnyLength) {
    const char* olds[] = {"", "short\r\n", "a much longer old content that runs past the new records\r\n"};
    for (const char* old : olds) {
        ScratchDir dir;
        dir.write("vorkane.out", old);
        RunResult r = run_in_child([] {
            open_text(connect_out, "vorkane.out");
            write_statement("first\r\n");
            write_statement("second\r\n");
            vkrt::close_unit(close_out);
        }, in(dir));
        EXPECT_EQ(r.exit_status, 0);
        EXPECT_EQ(dir.read("vorkane.out"), "first\r\nsecond\r\n") << "old: " << old;
    }
}

TEST(SequentialWrite, AFailedWriteOutAtCloseIsReportedNotPassedAsSuccess) {
    ScratchDir dir;
    ASSERT_EQ(::symlink("/dev/full", dir.file("vorkane.out").c_str()), 0);
    RunResult r = run_in_child([] {
        quiet_settings();
        open_text(connect_out, "vorkane.out");
        write_statement("first\r\n");
        vkrt::close_unit(close_out);
    }, in(dir));
    EXPECT_EQ(r.exit_status, 2);
    EXPECT_EQ(r.err, "At line 9 of file vorkane (unit = 20, file = 'vorkane.out')\n"
                     "Run-time error: No space left on device\n");
}

TEST(SequentialWrite, OutputLeftInTheBufferAtExitIsWrittenOrReported) {
    ScratchDir dir;
    RunResult written = run_in_child([] {
        open_text(connect_out, "vorkane.out");
        write_statement("first\r\n");
    }, in(dir));
    EXPECT_EQ(written.exit_status, 0);
    EXPECT_EQ(dir.read("vorkane.out"), "first\r\n");

    ASSERT_EQ(::symlink("/dev/full", dir.file("full").c_str()), 0);
    RunResult lost = run_in_child([] {
        quiet_settings();
        open_text(connect_out, "full");
        write_statement("first\r\n");
    }, in(dir));
    EXPECT_EQ(lost.exit_status, 2);
    EXPECT_EQ(lost.err, "At line 7 of file vorkane (unit = 20, file = 'full')\n"
                        "Run-time error: No space left on device\n");
}

TEST(SequentialWrite, ACutThatTheFileRefusesIsReported) {
    // The older content puts the connection before the end of the file, so
    // the statement's end cuts the file; the connection's file is then
    // swapped for a pipe, which cannot be cut (EINVAL). The position comes
    // from the unit's own count, not from asking the descriptor.
    ScratchDir dir;
    dir.write("vorkane.out", "older content\r\n");
    RunResult r = run_in_child([] {
        quiet_settings();
        open_text(connect_out, "vorkane.out");
        int ends[2];
        if (::pipe(ends) != 0 || ::dup2(ends[1], vkrt::find_unit(20)->fd) < 0) ::_exit(99);
        write_statement("first\r\n");
    }, in(dir));
    EXPECT_EQ(r.exit_status, 2);
    EXPECT_EQ(r.err, "At line 7 of file vorkane (unit = 20, file = 'vorkane.out')\n"
                     "Run-time error: Invalid argument\n");
    EXPECT_EQ(dir.read("vorkane.out"), "older content\r\n");
}

TEST(SequentialRead, TakesEveryByteThenKeepsReportingTheEnd) {
    ScratchDir dir;
    dir.write("vorkane.in", std::string("2\xff\r\n", 4));
    RunResult r = run_in_child([] {
        open_text(connect_in, "vorkane.in");
        vkrt::Unit& unit = vkrt::begin_read(read_in);
        const int want[] = {'2', 0xff, '\r', '\n', -1, -1};
        for (int w : want) {
            if (vkrt::take_byte(unit) != w) std::exit(1);
        }
    }, in(dir));
    EXPECT_EQ(r.exit_status, 0);
}

}  // namespace
