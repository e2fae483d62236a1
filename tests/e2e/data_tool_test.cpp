// The data tool as users run it: conversion of DE binary and ASCII files
// written by the tests, its refusals (each leaving the output as it was),
// the check command, the demo directory, and the real excerpts when present.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

#include "support/background_program.hpp"
#include "support/run_program.hpp"
#include "support/scratch_dir.hpp"

namespace {

using testing_support::run_data_tool;
using testing_support::RunResult;
using testing_support::ScratchDir;

constexpr int ncoeff = 1018;
constexpr size_t de_record = ncoeff * 8;
constexpr size_t out_record = 9104;
constexpr double tmin = 2287184.5;

// The DE440 layout table, items 1 to 15, as JPL publishes it: kept here as
// independent evidence, not taken from the program's definition.
constexpr int table[15][3] = {{3, 14, 4},    {171, 10, 2}, {231, 13, 2}, {309, 11, 1},
                              {342, 8, 1},   {366, 7, 1},  {387, 6, 1},  {405, 6, 1},
                              {423, 6, 1},   {441, 13, 8}, {753, 11, 2}, {819, 10, 4},
                              {899, 10, 4},  {1019, 0, 0}, {1019, 0, 0}};

template <typename T>
void store(std::string& bytes, size_t at, T value) {
    std::memcpy(bytes.data() + at, &value, sizeof value);
}

// Header record 1 of a DE binary file with 645 constants, as published.
std::string binary_header(double step = 32.0) {
    std::string h(de_record, ' ');
    store(h, 2652, tmin);
    store(h, 2660, tmin + 32.0 * 12556);
    store(h, 2668, step);
    store<int32_t>(h, 2676, 645);
    store(h, 2680, 149597870.7);
    store(h, 2688, 81.3005682);
    for (int i = 0; i < 12; ++i)
        for (int j = 0; j < 3; ++j) store<int32_t>(h, 2696 + 12 * i + 4 * j, table[i][j]);
    store<int32_t>(h, 2840, 440);
    for (int j = 0; j < 3; ++j) store<int32_t>(h, 2844 + 4 * j, table[12][j]);
    for (int i = 13; i < 15; ++i)
        for (int j = 0; j < 3; ++j) store<int32_t>(h, 4326 + 12 * (i - 13) + 4 * j, table[i][j]);
    return h + std::string(de_record, '\0');  // record 2: the constants, unread
}

// Record number n of the grid with coefficients made from n and the index.
std::vector<double> de_values(int n) {
    std::vector<double> v(ncoeff);
    v[0] = tmin + 32.0 * (n - 1);
    v[1] = v[0] + 32.0;
    for (int i = 2; i < ncoeff; ++i) v[i] = (n * 7919.0 + i) / 3.0 * (i % 2 ? -1 : 1);
    return v;
}

std::string record_bytes(const std::vector<double>& v) {
    return std::string(reinterpret_cast<const char*>(v.data()), v.size() * 8);
}

std::string binary_file(const std::vector<int>& records) {
    std::string f = binary_header();
    for (int n : records) f += record_bytes(de_values(n));
    return f;
}

// A value as the ASCII files write it: 0.ddddddddddddddddddD+ee.
std::string ascii_number(double x) {
    char e[64];
    std::snprintf(e, sizeof e, "%.18E", std::fabs(x));  // d.dddE+xx
    const int exponent = std::atoi(std::strchr(e, 'E') + 1) + (x != 0);
    std::string digits = std::string(1, e[0]) + std::string(e + 2, 18);
    char out[64];
    std::snprintf(out, sizeof out, "%s0.%sD%+03d", x < 0 ? "-" : " ", digits.c_str(), exponent);
    return out;
}

std::string ascii_header(int ncoeff_on_line = ncoeff) {
    std::string h = "KSIZE= 2036    NCOEFF= " + std::to_string(ncoeff_on_line) + "\n\n";
    h += "GROUP   1010\n\nJPL Planetary Ephemeris DE440/LE440\n\n";
    h += "GROUP   1030\n\n  2287184.50  2688976.50         32.\n\n";
    h += "GROUP   1050\n\n";
    for (int j = 0; j < 3; ++j) {
        for (const auto& item : table) h += "  " + std::to_string(item[j]);
        h += "\n";
    }
    return h + "\nGROUP   1070\n";
}

std::string ascii_data(const std::vector<int>& records) {
    std::string f;
    int number = 1;
    for (int n : records) {
        const std::vector<double> v = de_values(n);
        f += "     " + std::to_string(number++) + "  1018\n";
        for (int i = 0; i < ncoeff; i += 3) {
            for (int k = i; k < i + 3; ++k) f += " " + ascii_number(k < ncoeff ? v[k] : 0.0);
            f += "\n";
        }
    }
    return f;
}

RunResult tool_with_closed_streams(const ScratchDir& dir, const std::vector<std::string>& args,
                                   bool close_stdout, bool close_stderr) {
    testing_support::RunOptions options;
    options.arguments = args;
    options.close_stdout = close_stdout;
    options.close_stderr = close_stderr;
    return testing_support::run_program(testing_support::data_tool_binary(), dir.path(), options);
}

std::vector<std::string> names_in(const std::string& path) {
    std::vector<std::string> names;
    DIR* d = ::opendir(path.c_str());
    while (dirent* e = ::readdir(d)) {
        if (e->d_name[0] != '.') names.push_back(e->d_name);
    }
    ::closedir(d);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> names_in(const ScratchDir& dir) { return names_in(dir.path()); }

std::string out_record_at(const std::string& file, int n) {
    return file.substr((n - 1) * out_record, out_record);
}

TEST(DataToolConvert, PlacesEachRecordOnTheGridAndZeroesTheRest) {
    ScratchDir dir;
    dir.write("a.440", binary_file({1, 2, 5137}));
    dir.write("b.440", binary_file({5137, 12556}));  // overlaps a.440, equal
    dir.write("15502650.440", "an older file, replaced but for its mode");
    ::chmod(dir.file("15502650.440").c_str(), 0604);
    const RunResult run = run_data_tool(dir.path(), {"convert", "-o", "15502650.440", "a.440", "b.440"});
    ASSERT_EQ(run.exit_status, 0) << run.err;
    struct stat st;
    ASSERT_EQ(::stat(dir.file("15502650.440").c_str(), &st), 0);
    if (!testing_support::windows_programs()) {
        EXPECT_EQ(st.st_mode & 07777, 0604u);  // no such bits there
    }
    const std::string out = dir.read("15502650.440");
    ASSERT_EQ(out.size(), 12556u * out_record);
    for (int n : {1, 2, 5137, 12556}) {
        EXPECT_EQ(out_record_at(out, n), record_bytes(de_values(n)) + std::string(960, '\0')) << n;
    }
    for (int n : {3, 5136, 5138, 12555}) EXPECT_EQ(out_record_at(out, n), std::string(out_record, '\0'));
    EXPECT_NE(run.out.find("4 of 12556 records present"), std::string::npos) << run.out;
    EXPECT_EQ(names_in(dir), (std::vector<std::string>{"15502650.440", "a.440", "b.440"}));
}

TEST(DataToolConvert, AsciiInputGivesTheSameBytesAsBinary) {
    ScratchDir dir;
    dir.write("bin.440", binary_file({5136, 5137, 5138}));
    dir.write("header.440", ascii_header());
    dir.write("ascp1.440", ascii_data({5136, 5137}));
    dir.write("ascp2.440", ascii_data({5137, 5138}));  // shares a record, as published files do
    ASSERT_EQ(run_data_tool(dir.path(), {"convert", "-o", "from-binary", "bin.440"}).exit_status, 0);
    const RunResult run = run_data_tool(dir.path(), {"convert", "-o", "from-ascii", "header.440", "ascp1.440", "ascp2.440"});
    ASSERT_EQ(run.exit_status, 0) << run.err;
    EXPECT_TRUE(dir.read("from-ascii") == dir.read("from-binary"));
}

struct Refusal {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;  // name, content
    std::vector<std::string> inputs;
    const char* message;  // part of standard error
};

std::string with_value(std::string file, size_t record, size_t value, double x) {
    store(file, (record + 1) * de_record + value * 8, x);
    return file;
}

std::string with_int(std::string file, size_t at, int32_t x) {
    store(file, at, x);
    return file;
}

TEST(DataToolConvert, RefusalsNameFileAndRecordAndKeepTheOutput) {
    const std::string good = binary_file({10, 11, 12});
    const std::string ascii_ok = ascii_data({10, 11});
    const std::vector<Refusal> refusals = {
        {"truncated record", {{"x.440", good.substr(0, good.size() - 100)}}, {"x.440"},
         "x.440: data record 3 is truncated: 8044 of 8144 bytes"},
        {"short file", {{"x.440", good.substr(0, 2000)}}, {"x.440"},
         "x.440: bad header: file too short"},
        {"no data header records", {{"x.440", good.substr(0, de_record)}}, {"x.440"},
         "x.440: bad header: the two header records are incomplete"},
        {"layout mismatch", {{"x.440", with_int(good, 2696 + 12 * 3 + 4, 12)}}, {"x.440"},
         "x.440: layout mismatch for item 4 (Mars): start 309, 12 coefficients"},
        {"NCOEFF beyond a record", {{"x.440", with_int(good, 2696 + 12 * 11 + 4, 100)}}, {"x.440"},
         "x.440: bad header: NCOEFF 1618 is outside 818 to 1138"},
        {"off the grid", {{"x.440", with_value(good, 2, 0, tmin + 32.0 * 10 + 0.5)}}, {"x.440"},
         "x.440: data record 2: dates 2287505 to 2287536.5 are not a 32-day record"},
        {"span not 32 days", {{"x.440", with_value(good, 1, 1, tmin + 16.0)}}, {"x.440"},
         "x.440: data record 1: dates 2287472.5 to 2287200.5 are not"},
        {"not finite", {{"x.440", with_value(good, 3, 500, NAN)}}, {"x.440"},
         "x.440: data record 3: value 501 is not a finite number"},
        {"conflict", {{"x.440", good}, {"y.440", with_value(binary_file({12}), 1, 7, 1.5)}},
         {"x.440", "y.440"},
         "y.440: data record 1: record 12 (JD 2287536.5) differs from the same record in "
         "x.440: data record 3"},
        {"missing input", {{"x.440", good}}, {"x.440", "nothing.440"}, "Cannot open 'nothing.440'"},
        {"output as input", {{"x.440", good}}, {"x.440", "15502650.440"},
         "15502650.440: is the output file '15502650.440' itself"},
        {"headers only", {{"x.440", binary_header()}}, {"x.440"},
         "the inputs hold no data record; '15502650.440' left as it was"},
        {"ASCII header only", {{"h.440", ascii_header()}}, {"h.440"},
         "the inputs hold no data record; '15502650.440' left as it was"},
        {"ASCII without header", {{"a.440", ascii_ok}}, {"a.440"},
         "a.440: ASCII data file, but no ASCII header file came before it"},
        {"ASCII truncated record",
         {{"h.440", ascii_header()}, {"a.440", ascii_ok.substr(0, ascii_ok.size() - 400)}},
         {"h.440", "a.440"}, "a.440: data record 2 (line"},
        {"ASCII NCOEFF differs",
         {{"h.440", ascii_header()}, {"a.440", "     1  1000\n" + ascii_ok.substr(13)}},
         {"h.440", "a.440"},
         "a.440: data record 1 (line 1): record of 1000 values, the header says NCOEFF 1018"},
        {"ASCII header inconsistent", {{"h.440", ascii_header(1000)}, {"a.440", ascii_ok}},
         {"h.440", "a.440"}, "h.440: bad header: the layout table needs 1018 values, NCOEFF is 1000"},
        {"ASCII bad number",
         {{"h.440", ascii_header()}, {"a.440", "  1  1018\n 0.12D+07 0.1x2D+07\n"}},
         {"h.440", "a.440"}, "a.440: data record 1 (line 2): \"0.1x2D+07\" is not a finite number"},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.name);
        ScratchDir dir;
        dir.write("15502650.440", "old content");
        for (const auto& [name, content] : r.files) dir.write(name, content);
        std::vector<std::string> args = {"convert", "-o", "15502650.440"};
        args.insert(args.end(), r.inputs.begin(), r.inputs.end());
        const RunResult run = run_data_tool(dir.path(), args);
        EXPECT_EQ(run.exit_status, 1);
        EXPECT_NE(run.err.find(r.message), std::string::npos) << run.err;
        EXPECT_EQ(dir.read("15502650.440"), "old content");
        EXPECT_EQ(names_in(dir).size(), r.files.size() + 1) << "a temporary file was left";
    }
}

TEST(DataToolConvert, BadStepIsABadHeader) {
    ScratchDir dir;
    std::string file = binary_file({10});
    store(file, 2668, 16.0);
    dir.write("x.440", file);
    const RunResult run = run_data_tool(dir.path(), {"convert", "-o", "out", "x.440"});
    EXPECT_EQ(run.exit_status, 1);
    EXPECT_NE(run.err.find("x.440: bad header: record step is not 32 days"), std::string::npos);
    EXPECT_FALSE(dir.exists("out"));
}

TEST(DataToolCheck, ReportsRecordsSpanAndProblems) {
    ScratchDir dir;
    dir.write("x.440", binary_file({1, 2, 3, 100}));
    ASSERT_EQ(run_data_tool(dir.path(), {"convert", "-o", "good", "x.440"}).exit_status, 0);
    RunResult run = run_data_tool(dir.path(), {"check", "good"});
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_EQ(run.out,
              "good: 114309824 bytes, 12556 records of 9104 bytes\n"
              "records present: 4 of 12556: 1-3, 100\n"
              "dates covered: JD 2287184.5 to 2287280.5, JD 2290352.5 to 2290384.5\n"
              "well-formed\n");

    std::string bad = dir.read("good");
    store(bad, 2 * out_record, tmin);  // record 3 claims record 1's dates
    dir.write("bad", bad.substr(0, bad.size() - 1));
    run = run_data_tool(dir.path(), {"check", "bad"});
    EXPECT_EQ(run.exit_status, 1);
    EXPECT_NE(run.out.find("problem: length: 114309823 bytes, expected 114309824"), std::string::npos);
    EXPECT_NE(run.out.find("problem: record 3: dates 2287184.5 to 2287280.5, expected 2287248.5 to "
                           "2287280.5"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("not well-formed"), std::string::npos);

    dir.write("zero", "");
    ASSERT_EQ(::truncate(dir.file("zero").c_str(), 12556 * static_cast<off_t>(out_record)), 0);
    run = run_data_tool(dir.path(), {"check", "zero"});
    EXPECT_EQ(run.exit_status, 1);
    EXPECT_EQ(run.out,
              "zero: 114309824 bytes, 12556 records of 9104 bytes\n"
              "records present: 0 of 12556: none\n"
              "dates covered: none\n"
              "problem: no record holds data\n"
              "not well-formed\n");
}

TEST(DataToolCommands, UsageErrorsExitWithTwo) {
    ScratchDir dir;
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{},
                                               {"convert", "x"},
                                               {"convert", "-o", "a", "-o", "b", "x"},
                                               {"convert", "x", "-o"},
                                               {"check"},
                                               {"frobnicate"}}) {
        const RunResult run = run_data_tool(dir.path(), args);
        EXPECT_EQ(run.exit_status, 2);
        EXPECT_NE(run.err.find("usage: vorkane-data convert -o OUTPUT INPUT..."), std::string::npos);
    }
}

TEST(DataToolExcerpts, ConvertedExcerptsHoldTheRecordsAndGiveTheReferenceOutputs) {
    const std::string data = testing_support::shared_data_dir();
    if (data.empty()) GTEST_SKIP() << "DE440 excerpts absent";
    ScratchDir dir;
    const std::string excerpts = data + "/de440-excerpt/";
    const RunResult run = run_data_tool(dir.path(), {"convert", "-o", "15502650.440", excerpts + "p1999-2000.440",
                                     excerpts + "p2007.440"});
    ASSERT_EQ(run.exit_status, 0) << run.err;
    const std::string out = dir.read("15502650.440");
    int records = 0;
    for (const char* name : {"p1999-2000.440", "p2007.440"}) {
        const std::string in = testing_support::read_file(excerpts + name);
        for (size_t at = 2 * de_record; at < in.size(); at += de_record, ++records) {
            double start;
            std::memcpy(&start, in.data() + at, 8);
            const int n = static_cast<int>((start - tmin) / 32.0) + 1;
            EXPECT_EQ(out_record_at(out, n), in.substr(at, de_record) + std::string(960, '\0'));
        }
    }
    EXPECT_EQ(records, 18);
    for (const char* date : {"2451545.0", "2451620.25", "2454250.75"}) {
        dir.write("vorkane.in", std::string(date) + "\n");
        const RunResult program = testing_support::run_vorkane(dir.path());
        EXPECT_EQ(program.exit_status, 0) << program.err;
        EXPECT_TRUE(dir.read("vorkane.out") ==
                    testing_support::read_file(data + "/reference/" + date + ".out"))
            << date;
    }
}

TEST(DataToolDemo, MakesADirectoryTheProgramRunsInAtEveryDateOfTheSpan) {
    ScratchDir dir;
    const RunResult run = run_data_tool(dir.path(), {"demo", "run"});
    ASSERT_EQ(run.exit_status, 0) << run.err;
    EXPECT_NE(run.out.find("APPROXIMATION"), std::string::npos);
    EXPECT_EQ(testing_support::read_file(dir.file("run/vorkane.in")), "2451545.0\n");
    const RunResult check = run_data_tool(dir.path(), {"check", "run/15502650.440"});
    EXPECT_EQ(check.exit_status, 0) << check.out;
    EXPECT_NE(check.out.find("records present: 12556 of 12556: 1-12556\n"), std::string::npos);
    for (const char* date : {"2287184.5", "2287216.4999", "2451545.0", "2600000.0", "2688976.49"}) {
        testing_support::write_file(dir.file("run/vorkane.in"), std::string(date) + "\n");
        const RunResult program = testing_support::run_vorkane(dir.file("run"));
        EXPECT_EQ(program.exit_status, 0) << date << program.err;
        EXPECT_EQ(program.err, "") << date;
        EXPECT_EQ(testing_support::read_file(dir.file("run/vorkane.out")).size(), 1567u) << date;
    }
}

// Progress and summaries written while standard output and standard error
// are closed are lost; they never end up inside the files the tool writes.
TEST(DataToolCommands, ClosedStandardStreamsLeaveTheFilesIntact) {
    SKIP_FOR_WINDOWS_PROGRAMS("closed standard streams");
    ScratchDir dir;
    std::vector<int> records;
    for (int n = 100; n < 140; ++n) records.push_back(n);
    dir.write("a.440", binary_file(records));
    ASSERT_EQ(run_data_tool(dir.path(), {"convert", "-o", "open.440", "a.440"}).exit_status, 0);
    const std::string converted = dir.read("open.440");
    const bool closings[][2] = {{false, true}, {true, false}, {true, true}};
    for (const auto& closing : closings) {
        const std::string which = std::to_string(closing[0]) + std::to_string(closing[1]);
        const RunResult convert =
            tool_with_closed_streams(dir, {"convert", "-o", "closed.440", "a.440"}, closing[0], closing[1]);
        EXPECT_EQ(convert.exit_status, 0) << which;
        EXPECT_TRUE(dir.read("closed.440") == converted) << which;

        const RunResult demo = tool_with_closed_streams(dir, {"demo", "run" + which}, closing[0], closing[1]);
        EXPECT_EQ(demo.exit_status, 0) << which;
        EXPECT_EQ(dir.read("run" + which + "/vorkane.in"), "2451545.0\n") << which;
        EXPECT_EQ(run_data_tool(dir.path(), {"check", "run" + which + "/15502650.440"}).exit_status, 0) << which;
    }
}

// A conversion ended by a signal or by the file-size limit leaves the output
// as it was and no temporary file; a limit whose signal is ignored is an
// ordinary error.
TEST(DataToolConvert, EndingsByLimitOrBrokenPipeLeaveNoTemporaryFile) {
    SKIP_FOR_WINDOWS_PROGRAMS("resource limits and broken pipes");
    struct Case {
        const char* name;
        testing_support::RunOptions options;
        int exit_status;
        int signal;
        const char* message;
    };
    std::vector<int> many;  // over 8 MB of input, so progress lines are written
    for (int n = 1; n <= 1100; ++n) many.push_back(n);
    const std::string input = binary_file(many);
    std::vector<Case> cases(3);
    cases[0] = {"limit, SIGXFSZ ignored", {}, 1, 0, "Cannot size '15502650.440.tmp-"};
    cases[0].options.file_size_limit = 1 << 20;
    cases[0].options.ignored_signals = {SIGXFSZ};
    cases[1] = {"limit", {}, -1, SIGXFSZ, ""};
    cases[1].options.file_size_limit = 1 << 20;
    cases[2] = {"standard error a broken pipe", {}, -1, SIGPIPE, ""};
    cases[2].options.stderr_to_closed_pipe = true;
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir dir;
        dir.write("x.440", input);
        dir.write("15502650.440", "old content");
        c.options.arguments = {"convert", "-o", "15502650.440", "x.440"};
        const RunResult run =
            testing_support::run_program(testing_support::data_tool_binary(), dir.path(), c.options);
        EXPECT_EQ(run.exit_status, c.exit_status);
        EXPECT_EQ(run.signal, c.signal);
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(dir.read("15502650.440"), "old content");
        EXPECT_EQ(names_in(dir), (std::vector<std::string>{"15502650.440", "x.440"}));
    }
}

bool has_temporary(const ScratchDir& dir) {
    for (const std::string& name : names_in(dir)) {
        if (name.rfind("out.440.tmp-", 0) == 0) return true;
    }
    return false;
}

// The tool, its temporary file made, is held in the write of its summary
// line to a full standard error; any signal whose default action ends the
// process then removes the file and ends the tool, unless the caller ignored
// that signal (nohup), which the tool keeps.
TEST(DataToolConvert, SignalsRemoveTheTemporaryFileAndIgnoredOnesStayIgnored) {
    SKIP_FOR_WINDOWS_PROGRAMS("POSIX signals sent from outside");
    struct Case {
        int signal;
        bool ignored;
    };
    std::vector<Case> cases = {{SIGHUP, true}, {SIGINT, true}};
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGXFSZ, SIGXCPU, SIGUSR1, SIGUSR2,
                    SIGALRM, SIGVTALRM, SIGPROF, SIGIO, SIGPWR, SIGSTKFLT, SIGABRT, SIGSEGV, SIGBUS,
                    SIGTRAP, SIGSYS, SIGFPE, SIGILL, SIGRTMIN, SIGRTMAX}) {
#ifdef VORKANE_SANITIZE
        // The sanitizer run-time handles these itself, so the tool leaves them.
        if (sig == SIGSEGV || sig == SIGBUS || sig == SIGFPE) continue;
#endif
        cases.push_back({sig, false});
    }
    for (const Case c : cases) {
        SCOPED_TRACE(std::to_string(c.signal) + (c.ignored ? " ignored" : ""));
        ScratchDir dir;
        dir.write("x.440", binary_file({7}));
        testing_support::BackgroundOptions options;
        options.arguments = {"convert", "-o", "out.440", "x.440"};
        options.stderr_pipe_full = true;
        if (c.ignored) options.ignored_signals = {c.signal};
        testing_support::BackgroundProgram tool(testing_support::data_tool_binary(), dir.path(),
                                                options);
        ASSERT_TRUE(tool.wait_in_syscall(SYS_write, 2));
        ASSERT_TRUE(has_temporary(dir));
        tool.send(c.signal);
        const RunResult run = tool.finish();
        if (c.ignored) {
            EXPECT_EQ(run.exit_status, 0) << run.err;
            EXPECT_EQ(names_in(dir), (std::vector<std::string>{"out.440", "x.440"}));
        } else {
            EXPECT_EQ(run.signal, c.signal);
            EXPECT_EQ(names_in(dir), (std::vector<std::string>{"x.440"}));
        }
    }
}

// A symbolic-link output keeps the link and has its target replaced; an
// output that is no regular file is refused and left as it is. A FIFO or
// other non-regular input is refused at once, never waited on.
TEST(DataToolConvert, LinkOutputsAreFollowedAndFilesThatAreNotRegularRefused) {
    SKIP_FOR_WINDOWS_PROGRAMS("Linux symbolic links and FIFOs, which Wine shows as ordinary files");
    ScratchDir dir;
    dir.write("x.440", binary_file({7}));
    ASSERT_EQ(::mkdir(dir.file("real").c_str(), 0777), 0);
    dir.write("real/target.440", "old content");
    ASSERT_EQ(::symlink("real/target.440", dir.file("out.440").c_str()), 0);
    RunResult run = run_data_tool(dir.path(), {"convert", "-o", "out.440", "x.440"});
    EXPECT_EQ(run.exit_status, 0) << run.err;
    char target[64] = {};
    EXPECT_EQ(::readlink(dir.file("out.440").c_str(), target, sizeof target - 1), 15);
    EXPECT_STREQ(target, "real/target.440");
    struct stat st;
    EXPECT_TRUE(::stat(dir.file("real/target.440").c_str(), &st) == 0 && st.st_size == 12556 * 9104);
    EXPECT_EQ(names_in(dir.file("real")), (std::vector<std::string>{"target.440"}));

    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("pipe", dir.file("to-pipe").c_str()), 0);
    for (const char* output : {"pipe", "to-pipe"}) {
        run = run_data_tool(dir.path(), {"convert", "-o", output, "x.440"});
        EXPECT_EQ(run.exit_status, 1);
        EXPECT_NE(run.err.find(std::string("'") + output + "' is not a regular file; left as it was"),
                  std::string::npos) << run.err;
    }
    EXPECT_TRUE(::stat(dir.file("pipe").c_str(), &st) == 0 && S_ISFIFO(st.st_mode));

    for (const std::vector<std::string>& args : {std::vector<std::string>{"convert", "-o", "new.440", "pipe"},
                                                 std::vector<std::string>{"check", "pipe"}}) {
        testing_support::RunOptions options;
        options.arguments = args;
        options.timeout_seconds = 10;
        run = testing_support::run_program(testing_support::data_tool_binary(), dir.path(), options);
        EXPECT_EQ(run.exit_status, 1) << args[0];
        EXPECT_NE(run.err.find("pipe: not a regular file"), std::string::npos) << run.err;
    }
    EXPECT_FALSE(dir.exists("new.440"));
}

// The reports on standard output are what check and convert answer; when
// they cannot be written the tool does not claim success, nor, after the
// output was replaced, that it was kept.
TEST(DataToolCommands, LostStandardOutputIsAFailure) {
    ScratchDir dir;
    dir.write("x.440", binary_file({7}));
    testing_support::RunOptions options;
    options.stdout_file = "/dev/full";
    options.arguments = {"convert", "-o", "out.440", "x.440"};
    RunResult run = testing_support::run_program(testing_support::data_tool_binary(), dir.path(), options);
    EXPECT_EQ(run.exit_status, 1);
    EXPECT_EQ(run.err, "x.440: 1 data records read\n"
                       "vorkane-data: 'out.440' written; only its summary could not be written to "
                       "standard output: No space left on device\n");
    options.arguments = {"check", "out.440"};
    run = testing_support::run_program(testing_support::data_tool_binary(), dir.path(), options);
    EXPECT_EQ(run.exit_status, 1);
    EXPECT_EQ(run.err, "vorkane-data: Cannot write standard output: No space left on device\n");
}

// An approximate data file never takes the place of a file already in the
// directory, nor does the demo's date replace the user's.
TEST(DataToolDemo, NeverReplacesFilesAlreadyThere) {
    struct Case {
        const char* existing;
        const char* message;
    };
    for (const Case c : {Case{"run/15502650.440", "'run/15502650.440' already exists"},
                         Case{"run/vorkane.in", "'run/vorkane.in' already exists"}}) {
        SCOPED_TRACE(c.existing);
        ScratchDir dir;
        ASSERT_EQ(::mkdir(dir.file("run").c_str(), 0777), 0);
        dir.write(c.existing, "the user's");
        const RunResult run = run_data_tool(dir.path(), {"demo", "run"});
        EXPECT_EQ(run.exit_status, 1);
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(dir.read(c.existing), "the user's");
        EXPECT_EQ(names_in(dir.file("run")).size(), 1u);
    }
    {
        // A data file converted into the directory while the demo runs stays.
        ScratchDir dir;
        testing_support::BackgroundOptions options;
        options.arguments = {"demo", "run"};
        testing_support::BackgroundProgram demo(testing_support::data_tool_binary(), dir.path(), options);
        bool started = false;
        for (int i = 0; i < 60000 && !started; ++i) {
            started = dir.exists("run") && !names_in(dir.file("run")).empty();
            if (!started) ::usleep(1000);
        }
        ASSERT_TRUE(started);
        dir.write("run/15502650.440", "the user's");
        const RunResult run = demo.finish(120);
        EXPECT_EQ(run.exit_status, 1);
        EXPECT_NE(run.err.find("'run/15502650.440' appeared meanwhile; left as it was"), std::string::npos)
            << run.err;
        EXPECT_TRUE(dir.read("run/15502650.440") == "the user's");  // never a 114 MB dump
        EXPECT_EQ(names_in(dir.file("run")), (std::vector<std::string>{"15502650.440"}));
    }
    ScratchDir dir;
    dir.write("plain", "a file");
    const RunResult run = run_data_tool(dir.path(), {"demo", "plain"});
    EXPECT_EQ(run.exit_status, 1);
    EXPECT_NE(run.err.find("'plain' is not a directory"), std::string::npos) << run.err;
}

}  // namespace
