// Whole runs of the program in a scratch directory: every way a run ends, the
// files it creates, keeps or replaces, and its exit status.
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <limits>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "support/background_program.hpp"
#include "support/de_excerpt.hpp"
#include "support/record_file.hpp"
#include "support/run_program.hpp"
#include "support/scratch_dir.hpp"

namespace {

using testing_support::RunResult;
using testing_support::ScratchDir;

const std::string range_stop = "STOP Date out of fund de440 (1549.12.21 - 2650.01.25)\n";
const std::string old_output = "an older vorkane.out\r\n";

// A full-length data file whose record for 2451545.0 (record 5137) holds its
// dates and zero coefficients, so every body sits at the Sun at rest.
void write_zero_record_file(const ScratchDir& dir) {
    testing_support::RecordFile data(dir.file("15502650.440"));
    data.put(5137, testing_support::grid_record(5137));
}

// What the program writes for 2451545.0 with that file, derived by hand: the
// date in fixed form, then twenty records of three zeros in fixed form.
std::string zero_output() {
    std::string out = "    2451545.000000000    \r\n";
    for (int record = 0; record < 20; ++record) {
        for (int field = 0; field < 3; ++field) out += "    0.000000000000000    ";
        out += "\r\n";
    }
    return out;
}

std::string first_lines(const std::string& text, int count) {
    size_t at = 0;
    for (int i = 0; i < count && at != std::string::npos; ++i) {
        at = text.find('\n', at);
        if (at != std::string::npos) ++at;
    }
    return text.substr(0, at);
}

TEST(Run, NormalRunWritesTwentyOneRecordsAndNothingElse) {
    ScratchDir dir;
    write_zero_record_file(dir);
    dir.write("vorkane.in", "  2451545.0   other text\r\n2451600\n");
    RunResult r = testing_support::run_vorkane(dir.path());
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    const std::string out = dir.read("vorkane.out");
    EXPECT_EQ(out.size(), 1567u);
    EXPECT_EQ(out, zero_output());
    EXPECT_EQ(dir.read("vorkane.in"), "  2451545.0   other text\r\n2451600\n");
}

TEST(Run, OlderOutputOfAnyLengthIsReplaced) {
    for (const std::string& old : {std::string("short\r\n"), std::string(5000, 'x')}) {
        ScratchDir dir;
        write_zero_record_file(dir);
        dir.write("vorkane.in", "2451545.0\n");
        dir.write("vorkane.out", old);
        RunResult r = testing_support::run_vorkane(dir.path());
        EXPECT_EQ(r.exit_status, 0);
        EXPECT_EQ(dir.read("vorkane.out"), zero_output());
    }
}

TEST(Run, ArgumentsChangeNothing) {
    ScratchDir dir;
    write_zero_record_file(dir);
    dir.write("vorkane.in", "2451545.0\n");
    testing_support::RunOptions options;
    options.arguments = {"--help", "2451600.5", "-"};
    RunResult r = testing_support::run_vorkane(dir.path(), options);
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.out + r.err, "");
    EXPECT_EQ(dir.read("vorkane.out"), zero_output());
}

// The run directory the timing and fault-injection scripts make, from the
// layout they read out of the program's header: a full-length file (the
// published 114309824 bytes) that gives the hand-derived output.
TEST(Run, TheScriptsRunDirectoryGivesANormalRun) {
    ScratchDir dir;
    const std::string here = __FILE__;
    const std::string script = here.substr(0, here.rfind("/tests/")) + "/tools/make-run-dir";
    testing_support::RunOptions options;
    options.arguments = {dir.path()};
    RunResult made = testing_support::run_program(script, dir.path(), options);
    ASSERT_EQ(made.exit_status, 0) << made.err;
    struct stat st {};
    ASSERT_EQ(::stat(dir.file("15502650.440").c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 114309824);
    RunResult r = testing_support::run_vorkane(dir.path());
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(dir.read("vorkane.out"), zero_output());
}

TEST(Run, RangeStopTouchesNoDataFileAndKeepsTheOutput) {
    struct Case {
        const char* date;
        bool output_existed;
        const char* note;  // before the stop text
    };
    // A subnormal date is compared as a denormal operand: the x87 unit raises
    // its denormal flag, which the note names.
    const char* denormal = "Note: The following floating-point exceptions are signalling: IEEE_DENORMAL\n";
    const Case cases[] = {{"2688976.5000001", true, ""}, {"2287184.4999999", false, ""},
                          {"-inf", true, ""},           {"1e4933", false, ""},
                          {",", true, ""},              {"1e-4940", false, denormal},
                          {"-3.7e-4951", true, denormal}};
    for (const Case& c : cases) {
        ScratchDir dir;
        dir.write("vorkane.in", std::string(c.date) + "\n");
        if (c.output_existed) dir.write("vorkane.out", old_output);
        RunResult r = testing_support::run_vorkane(dir.path());
        EXPECT_EQ(r.exit_status, 0) << c.date;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, c.note + range_stop) << c.date;
        EXPECT_FALSE(dir.exists("15502650.440")) << c.date;
        EXPECT_EQ(dir.read("vorkane.out"), c.output_existed ? old_output : "") << c.date;
    }
}

TEST(Run, BracketStopOnARecordThatDoesNotCoverTheDate) {
    ScratchDir dir;
    testing_support::RecordFile data(dir.file("15502650.440"));  // all records zero
    dir.write("vorkane.in", "2451545.0\n");
    dir.write("vorkane.out", old_output);
    RunResult r = testing_support::run_vorkane(dir.path());
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.err, "STOP incorrect record was read from fund\n");
    EXPECT_EQ(dir.read("vorkane.out"), old_output);
}

// A record starting with a quiet NaN and ending at 0: the ordered comparison
// with the NaN raises the invalid flag, the end date stops the run.
TEST(Run, BracketStopAfterAComparisonWithNaNNamesTheInvalidFlag) {
    ScratchDir dir;
    testing_support::RecordFile data(dir.file("15502650.440"));
    testing_support::Record record = testing_support::grid_record(5137);
    record[0] = std::numeric_limits<double>::quiet_NaN();
    record[1] = 0.0;
    data.put(5137, record);
    dir.write("vorkane.in", "2451545.0\n");
    RunResult r = testing_support::run_vorkane(dir.path());
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.err,
              "Note: The following floating-point exceptions are signalling: IEEE_INVALID_FLAG\n"
              "STOP incorrect record was read from fund\n");
}

TEST(Run, DataFileFailuresEndAtLine35AfterCreatingTheOutput) {
    struct Case {
        const char* date;
        bool full_file;
        const char* message;
    };
    const Case cases[] = {
        {"2451545.0", false, "Non-existing record number"},
        {"2688976.5", true, "Non-existing record number"},
        {"nan", false, "Record number must be positive"},
    };
    for (const Case& c : cases) {
        ScratchDir dir;
        if (c.full_file) testing_support::RecordFile data(dir.file("15502650.440"));
        dir.write("vorkane.in", std::string(c.date) + "\n");
        RunResult r = testing_support::run_vorkane(dir.path());
        EXPECT_EQ(r.exit_status, 2) << c.date;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(first_lines(r.err, 4),
                  std::string("At line 35 of file vorkane (unit = 30, file = '15502650.440')\n"
                              "Run-time error: ") + c.message + "\n\nError termination. Backtrace:\n")
            << c.date;
        EXPECT_EQ(dir.read("vorkane.out"), "");
        if (!c.full_file) {
            EXPECT_EQ(dir.read("15502650.440"), "");
        }
    }
}

TEST(Run, AMissingInputIsCreatedEmptyAndTheReadEndsAtLine3) {
    ScratchDir dir;
    RunResult r = testing_support::run_vorkane(dir.path());
    EXPECT_EQ(r.exit_status, 2);
    EXPECT_EQ(first_lines(r.err, 4), "At line 3 of file vorkane (unit = 10, file = 'vorkane.in')\n"
                                     "Run-time error: End of file\n\nError termination. Backtrace:\n");
    EXPECT_EQ(dir.read("vorkane.in"), "");
    EXPECT_FALSE(dir.exists("vorkane.out"));
    EXPECT_FALSE(dir.exists("15502650.440"));
}

TEST(Run, AFailedReadNeverTouchesTheOutput) {
    for (bool existed : {true, false}) {
        ScratchDir dir;
        dir.write("vorkane.in", "2451545.0x\n");
        if (existed) dir.write("vorkane.out", old_output);
        RunResult r = testing_support::run_vorkane(dir.path());
        EXPECT_EQ(r.exit_status, 2);
        EXPECT_EQ(first_lines(r.err, 2), "At line 3 of file vorkane (unit = 10, file = 'vorkane.in')\n"
                                         "Run-time error: Bad real number in item 1 of list input\n");
        EXPECT_EQ(dir.exists("vorkane.out"), existed);
        if (existed) {
            EXPECT_EQ(dir.read("vorkane.out"), old_output);
        }
    }
}

TEST(Run, ReadOnlyFilesAsAnOrdinaryUser) {
    SKIP_FOR_WINDOWS_PROGRAMS("file permissions of an ordinary user (Wine runs as the owner of its prefix)");
    ScratchDir dir;
    write_zero_record_file(dir);
    dir.write("vorkane.in", "2451545.0\n");
    ::chmod(dir.file("vorkane.in").c_str(), 0444);
    ::chmod(dir.file("15502650.440").c_str(), 0444);
    RunResult normal = testing_support::run_vorkane_unprivileged(dir.path());
    EXPECT_EQ(normal.exit_status, 0);
    EXPECT_EQ(normal.err, "");
    EXPECT_EQ(dir.read("vorkane.out"), zero_output());

    dir.write("vorkane.out", old_output);
    ::chmod(dir.file("vorkane.out").c_str(), 0444);
    RunResult read_only_output = testing_support::run_vorkane_unprivileged(dir.path());
    EXPECT_EQ(read_only_output.exit_status, 2);
    EXPECT_EQ(first_lines(read_only_output.err, 2),
              "At line 7 of file vorkane (unit = 20, file = 'vorkane.out')\n"
              "Run-time error: Cannot write to file opened for READ\n");
    EXPECT_EQ(dir.read("vorkane.out"), old_output);
}

TEST(Run, AFullDiskIsAFailureNotASuccess) {
    SKIP_FOR_WINDOWS_PROGRAMS("the Linux device /dev/full");
    ScratchDir dir;
    write_zero_record_file(dir);
    dir.write("vorkane.in", "2451545.0\n");
    ASSERT_EQ(::symlink("/dev/full", dir.file("vorkane.out").c_str()), 0);
    RunResult r = testing_support::run_vorkane(dir.path());
    EXPECT_EQ(r.exit_status, 2);
    EXPECT_EQ(first_lines(r.err, 2), "At line 9 of file vorkane (unit = 20, file = 'vorkane.out')\n"
                                     "Run-time error: No space left on device\n");
}

// Diagnostics that cannot be written (standard error a pipe nobody reads, a
// full device, a file at its size limit) are cut short where the write
// failed, and the run still ends with its own status, never by a signal.
TEST(Run, LostDiagnosticsNeverChangeHowTheRunEnds) {
    SKIP_FOR_WINDOWS_PROGRAMS("closed standard streams and pipes nobody reads");
    struct Case {
        const char* what;
        const char* input;
        int status;
        bool closed_pipe;
        const char* file;  // standard error's file, "" for none
        long limit;        // file-size limit, -1 for none
        const char* kept;  // what the file holds afterwards
    };
    const std::string stop = range_stop;
    const std::string first_53 = stop.substr(0, 53);
    const Case cases[] = {
        {"range stop, broken pipe", "1e9\n", 0, true, "", -1, ""},
        {"failed read, broken pipe", "", 2, true, "", -1, ""},
        {"range stop, full device", "1e9\n", 0, false, "/dev/full", -1, ""},
        {"range stop, 3 bytes allowed", "1e9\n", 0, false, "err", 3, "STO"},
        {"range stop, 53 bytes allowed", "1e9\n", 0, false, "err", 53, first_53.c_str()},
        {"failed read, 20 bytes allowed", "", 2, false, "err", 20, "At line 3 of file vo"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir dir;
        dir.write("vorkane.in", c.input);
        testing_support::RunOptions options;
        options.stderr_to_closed_pipe = c.closed_pipe;
        const bool own_file = std::string(c.file) == "err";
        options.stderr_file = own_file ? dir.file("err") : c.file;
        options.file_size_limit = c.limit;
        RunResult r = testing_support::run_vorkane(dir.path(), options);
        EXPECT_EQ(r.signal, 0);
        EXPECT_EQ(r.exit_status, c.status);
        if (own_file) {
            EXPECT_EQ(dir.read("err"), c.kept);
        }
    }
}

// The exception note belongs to stops only: a normal run that raised the
// denormal flag (a subnormal coefficient, widened as the record arrives)
// writes nothing.
TEST(Run, ANormalEndWithFlagsRaisedWritesNothing) {
    ScratchDir dir;
    testing_support::RecordFile data(dir.file("15502650.440"));
    testing_support::Record record = testing_support::grid_record(5137);
    record[2] = 4.9406564584124654e-324;  // the smallest subnormal binary64
    data.put(5137, record);
    dir.write("vorkane.in", "2451545.0\n");
    RunResult r = testing_support::run_vorkane(dir.path());
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.out + r.err, "");
    EXPECT_EQ(dir.read("vorkane.out").size(), 1567u);
}

// A vorkane.out that cannot be connected ends the run at line 4; the locus
// line has no file part, the unit not being connected. The system's text is
// the platform's: Windows refuses to open a directory as access denied.
TEST(Run, AnOutputThatCannotBeOpenedEndsAtLine4) {
    ScratchDir dir;
    dir.write("vorkane.in", "2451545.0\n");
    ASSERT_EQ(::mkdir(dir.file("vorkane.out").c_str(), 0755), 0);
    RunResult r = testing_support::run_vorkane(dir.path());
    EXPECT_EQ(r.exit_status, 2);
    const std::string system_text = testing_support::windows_programs() ? "Permission denied" : "Is a directory";
    EXPECT_EQ(first_lines(r.err, 2), "At line 4 of file vorkane (unit = 20)\n"
                                     "Run-time error: Cannot open file 'vorkane.out': " + system_text + "\n");
}

// Output cut short by the file-size limit is a reported failure, not a run
// ended by SIGXFSZ.
TEST(Run, OutputBeyondTheFileSizeLimitIsReported) {
    SKIP_FOR_WINDOWS_PROGRAMS("resource limits (RLIMIT_FSIZE ends Wine itself)");
    ScratchDir dir;
    write_zero_record_file(dir);
    dir.write("vorkane.in", "2451545.0\n");
    testing_support::RunOptions options;
    options.file_size_limit = 1000;
    RunResult r = testing_support::run_vorkane(dir.path(), options);
    EXPECT_EQ(r.signal, 0);
    EXPECT_EQ(r.exit_status, 2);
    EXPECT_EQ(first_lines(r.err, 2), "At line 9 of file vorkane (unit = 20, file = 'vorkane.out')\n"
                                     "Run-time error: File too large\n");
}

// With standard output or standard error closed, the diagnostics have nowhere
// to go and are lost; the files the run connects never receive them, and each
// ending keeps its exit status.
TEST(Run, ClosedStandardStreamsNeverLetDiagnosticsIntoTheFiles) {
    SKIP_FOR_WINDOWS_PROGRAMS("closed standard streams");
    struct Case {
        const char* what;
        const char* input;
        bool data_file;
        bool close_stdout;
        int status;
        const char* output_after;  // vorkane.out after the run, starting as old_output
    };
    const Case cases[] = {
        {"range stop", "2688977\n", false, false, 0, nullptr},
        {"failed read", "", false, false, 2, nullptr},
        {"failed record read", "2451545.0\n", false, true, 2, nullptr},
        {"normal run", "2451545.0\n", true, true, 0, "zero"},
    };
    for (const Case& c : cases) {
        ScratchDir dir;
        if (c.data_file) write_zero_record_file(dir);
        dir.write("vorkane.in", c.input);
        dir.write("vorkane.out", old_output);
        testing_support::RunOptions options;
        options.close_stderr = true;
        options.close_stdout = c.close_stdout;
        RunResult r = testing_support::run_vorkane(dir.path(), options);
        EXPECT_EQ(r.exit_status, c.status) << c.what;
        EXPECT_EQ(dir.read("vorkane.in"), c.input) << c.what;
        EXPECT_EQ(dir.read("vorkane.out"), c.output_after ? zero_output() : old_output) << c.what;
    }
}

// A file that another unit already holds, through a symbolic or a hard link,
// is refused at its connection, before anything is written to it.
TEST(Run, AFileThatAnotherUnitHoldsIsRefusedAtItsConnection) {
    struct Case {
        const char* link;
        const char* target;
        bool hard;
        const char* locus;
    };
    const Case cases[] = {
        {"vorkane.out", "15502650.440", false, "At line 29 of file vorkane (unit = 30)\n"},
        {"vorkane.out", "15502650.440", true, "At line 29 of file vorkane (unit = 30)\n"},
        {"vorkane.out", "vorkane.in", false, "At line 4 of file vorkane (unit = 20)\n"},
        {"vorkane.out", "vorkane.in", true, "At line 4 of file vorkane (unit = 20)\n"},
        {"15502650.440", "vorkane.in", false, "At line 29 of file vorkane (unit = 30)\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.link) + (c.hard ? " hard" : " symbolic") + " link to " + c.target);
        ScratchDir dir;
        const bool data_file = std::strcmp(c.target, "15502650.440") == 0;
        if (data_file) write_zero_record_file(dir);
        dir.write("vorkane.in", "2451545.0\n");
        const int linked = c.hard ? ::link(dir.file(c.target).c_str(), dir.file(c.link).c_str())
                                  : ::symlink(c.target, dir.file(c.link).c_str());
        ASSERT_EQ(linked, 0);
        const RunResult r = testing_support::run_vorkane(dir.path());
        EXPECT_EQ(r.exit_status, 2);
        EXPECT_EQ(first_lines(r.err, 2),
                  std::string(c.locus) + "Run-time error: File already opened in another unit\n");
        EXPECT_EQ(dir.read("vorkane.in"), "2451545.0\n");
        struct stat st;
        if (data_file && ::stat(dir.file("15502650.440").c_str(), &st) == 0) {
            EXPECT_EQ(st.st_size, int64_t{testing_support::full_record_count} * testing_support::record_bytes);
        }
    }
}

// Opens a FIFO for writing once a reader has it open, waiting at most 10 s.
int open_fifo_writer(const std::string& path) {
    for (int i = 0; i < 10000; ++i) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0 || errno != ENXIO) return fd;
        ::usleep(1000);
    }
    return -1;
}

// What a FIFO receives up to its writers' end of file, waiting at most 10 s
// at a time.
std::string read_fifo(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
    std::string bytes;
    pollfd ready = {fd, POLLIN, 0};
    char chunk[4096];
    ssize_t n = 1;
    while (n > 0 && ::poll(&ready, 1, 10000) > 0) {
        n = ::read(fd, chunk, sizeof chunk);
        if (n > 0) bytes.append(chunk, static_cast<size_t>(n));
    }
    ::close(fd);
    return bytes;
}

// A FIFO as vorkane.in is read up to its writer's end of file, with or
// without a final line end, and a writer that sends nothing gives an empty
// input; a FIFO as vorkane.out receives the records once a reader comes.
TEST(Run, AFifoIsReadToItsWritersEndOfFile) {
    SKIP_FOR_WINDOWS_PROGRAMS("FIFOs in the file system");
    struct Case {
        const char* sent;
        int status;
        const char* err;
    };
    for (const Case c : {Case{"2451545.0", 0, ""}, Case{"2451545.0\n", 0, ""},
                         Case{"", 2, "At line 3 of file vorkane (unit = 10, file = 'vorkane.in')\n"
                                     "Run-time error: End of file\n"}}) {
        SCOPED_TRACE(c.sent);
        ScratchDir dir;
        write_zero_record_file(dir);
        ASSERT_EQ(::mkfifo(dir.file("vorkane.in").c_str(), 0600), 0);
        testing_support::BackgroundProgram program(testing_support::vorkane_binary(), dir.path());
        const int writer = open_fifo_writer(dir.file("vorkane.in"));
        ASSERT_GE(writer, 0);
        ASSERT_EQ(::write(writer, c.sent, std::strlen(c.sent)), static_cast<ssize_t>(std::strlen(c.sent)));
        ::close(writer);
        const RunResult r = program.finish(10);
        EXPECT_EQ(r.exit_status, c.status);
        EXPECT_EQ(first_lines(r.err, 2), c.err);
        if (c.status == 0) {
            EXPECT_EQ(dir.read("vorkane.out"), zero_output());
        }
    }
    // The program waits for its reader, however late the reader comes.
    for (const int reader_delay_ms : {0, 200}) {
        ScratchDir dir;
        write_zero_record_file(dir);
        dir.write("vorkane.in", "2451545.0\n");
        ASSERT_EQ(::mkfifo(dir.file("vorkane.out").c_str(), 0600), 0);
        testing_support::BackgroundProgram program(testing_support::vorkane_binary(), dir.path());
        ::poll(nullptr, 0, reader_delay_ms);
        EXPECT_EQ(read_fifo(dir.file("vorkane.out")), zero_output()) << reader_delay_ms;
        const RunResult r = program.finish(10);
        EXPECT_EQ(r.exit_status, 0);
        EXPECT_EQ(r.err, "");
    }
}

// A normal run fits in the stack the C run-time's start-up needs.
TEST(Run, ANormalRunNeedsLittleStack) {
    ScratchDir dir;
    write_zero_record_file(dir);
    dir.write("vorkane.in", "2451545.0\n");
    testing_support::RunOptions options;
    options.stack_limit = 20 * 1024;
    const RunResult r = testing_support::run_vorkane(dir.path(), options);
    EXPECT_EQ(r.exit_status, 0) << r.err;
    EXPECT_EQ(dir.read("vorkane.out"), zero_output());
}

TEST(Run, ReproducesTheReferenceOutputsFromTheDe440Excerpts) {
    const std::string shared = testing_support::shared_data_dir();
    if (shared.empty()) GTEST_SKIP() << "DE440 excerpts absent";
    ScratchDir dir;
    ASSERT_TRUE(testing_support::write_data_file_from_excerpts(dir.file("15502650.440")));
    for (const char* date : {"2451545.0", "2451620.25", "2454250.75"}) {
        dir.write("vorkane.in", std::string(date) + "\n");
        RunResult r = testing_support::run_vorkane(dir.path());
        EXPECT_EQ(r.exit_status, 0) << date;
        EXPECT_EQ(r.err, "") << date;
        EXPECT_EQ(dir.read("vorkane.out"),
                  testing_support::read_file(shared + "/reference/" + date + ".out"))
            << date;
    }
}

}  // namespace
