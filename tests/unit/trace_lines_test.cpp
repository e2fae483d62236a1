// The lines of a trace, byte for byte: frame lines, location lines, the
// address-only form and the "Could not print backtrace" lines.
#include <cerrno>
#include <functional>
#include <gtest/gtest.h>
#include <string>

#include "diagnostics/trace_lines.hpp"
#include "support/child_process.hpp"

namespace {

std::string stderr_of(const std::function<void()>& body) {
    return testing_support::run_in_child(body).err;
}

TEST(TraceLines, FrameAndLocationLines) {
    struct Case {
        const char* what;
        std::function<void()> write;
        std::string want;
    };
    const Case cases[] = {
        {"named frame", [] { vkrt::write_frame_line(0, 0x40180c, "main"); }, "#0  0x40180c in main\n"},
        {"unknown name", [] { vkrt::write_frame_line(12, 0x1, nullptr); }, "#12  0x1 in ???\n"},
        {"above 4 GiB", [] { vkrt::write_frame_line(3, 0x7f0012345678, "f"); },
         "#3  0x7f0012345678 in f\n"},
        {"address only", [] { vkrt::write_address_line(7, 0xffffffffffffffff); },
         "#7  0xffffffffffffffff\n"},
        {"file in a directory", [] { vkrt::write_location_line({"/src/driver", "main.cpp", 34}); },
         "\tat /src/driver/main.cpp:34\n"},
        {"file alone", [] { vkrt::write_location_line({nullptr, "m.c", 1}); }, "\tat m.c:1\n"},
        {"line without a file", [] { vkrt::write_location_line({"/src", nullptr, 5}); },
         "\tat ???:5\n"},
        {"file without a line", [] { vkrt::write_location_line({"", "x.h", 0}); }, "\tat x.h:0\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(stderr_of(c.write), c.want) << c.what;
}

TEST(TraceLines, LongLinesAreCutAt511BytesAndKeepTheirLineFeed) {
    for (size_t name_length : {size_t{495}, size_t{496}, size_t{497}, size_t{600}}) {
        const std::string name(name_length, 'n');
        const std::string line = stderr_of([&] { vkrt::write_frame_line(0, 0x1, name.c_str()); });
        const std::string whole = "#0  0x1 in " + name + "\n";  // 15 bytes besides the name
        const std::string want = whole.size() <= 511 ? whole : whole.substr(0, 510) + "\n";
        EXPECT_EQ(line, want) << name_length;
    }
    const std::string dir(600, 'd');
    const std::string location = stderr_of([&] { vkrt::write_location_line({dir.c_str(), "f", 9}); });
    EXPECT_EQ(location, "\tat " + dir.substr(0, 506) + "\n");
}

TEST(TraceLines, FailureLinesByCode) {
    using Kind = vkrt::TraceFailureKind;
    struct Case {
        Kind kind;
        int error_number;
        bool in_signal_handler;
        std::string want;
    };
    const Case cases[] = {
        {Kind::no_debug_information, 0, false, ""},
        {Kind::no_debug_information, 0, true, ""},
        {Kind::facility_error, 0, false, "\nCould not print backtrace: damaged\n"},
        {Kind::facility_error, 0, true, "\nCould not print backtrace: damaged\n"},
        {Kind::system_error, ENOENT, false, "\nCould not print backtrace: damaged: No such file or directory\n"},
        {Kind::system_error, ENOENT, true, "\nCould not print backtrace: damaged, errno: 2\n"},
        {Kind::system_error, EACCES, true, "\nCould not print backtrace: damaged, errno: 13\n"},
    };
    for (const Case& c : cases) {
        const vkrt::TraceFailure failure{c.kind, c.error_number, "damaged"};
        EXPECT_EQ(stderr_of([&] { vkrt::write_trace_failure(failure, c.in_signal_handler); }), c.want)
            << static_cast<int>(c.kind) << " " << c.in_signal_handler;
    }
}

}  // namespace
