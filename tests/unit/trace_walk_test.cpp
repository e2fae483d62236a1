// Traces taken inside this (position-independent, dynamically linked) test
// program: frames named from its symbol table with this file's lines, the
// run-time support's frames left out, frames in shared libraries unnamed,
// and the address-only form.
#include <cstdint>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "diagnostics/backtrace.hpp"
#include "support/child_process.hpp"
#include "support/frame_line.hpp"

namespace vkrt::trace_test {
// Carries the run-time support prefix, so no trace shows it.
__attribute__((noinline)) void support_routine(bool in_signal_handler) {
    write_backtrace(in_signal_handler);
    asm volatile("");  // keeps the call from becoming a jump
}
}  // namespace vkrt::trace_test

constexpr int support_call_line = __LINE__ + 2;  // the call's line
extern "C" __attribute__((noinline)) void traced_routine(bool in_signal_handler) {
    vkrt::trace_test::support_routine(in_signal_handler);
    asm volatile("");
}

extern "C" int compare_and_trace(const void* a, const void* b) {
    static bool traced = false;
    if (!traced) {
        traced = true;
        vkrt::write_backtrace(false);
    }
    return *static_cast<const int*>(a) - *static_cast<const int*>(b);
}

namespace {

struct Frame {
    int number;
    std::string address;   // the hexadecimal digits
    std::string name;      // empty in the address-only form
    std::string location;  // the "\tat " line's text, empty when none
};

// Splits trace lines into frames; fails the test on a line of neither form.
std::vector<Frame> frames_of(const std::string& text, bool named) {
    std::vector<Frame> frames;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        EXPECT_NE(end, std::string::npos) << "unterminated line";
        if (end == std::string::npos) break;
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        testing_support::FrameLine f;
        if (line.rfind("\tat ", 0) == 0 && !frames.empty() && frames.back().location.empty()) {
            frames.back().location = line.substr(4);
        } else if (testing_support::parse_frame_line(line, f) && f.name.empty() != named) {
            frames.push_back({f.number, f.address, f.name, ""});
        } else {
            ADD_FAILURE() << "unexpected line: " << line;
        }
    }
    for (size_t i = 0; i < frames.size(); ++i) EXPECT_EQ(frames[i].number, static_cast<int>(i));
    return frames;
}

TEST(TraceWalk, FullFormNamesFramesWithTheirLinesAndLeavesOutTheSupport) {
    const auto result = testing_support::run_in_child([] { traced_routine(false); });
    const std::vector<Frame> frames = frames_of(result.err, true);
    ASSERT_FALSE(frames.empty()) << result.err;
    EXPECT_EQ(frames[0].name, "traced_routine");
    EXPECT_EQ(frames[0].location, std::string(__FILE__) + ":" + std::to_string(support_call_line));
    for (const Frame& frame : frames) {
        EXPECT_EQ(frame.name.find("vkrt::"), std::string::npos) << frame.name;
    }
}

TEST(TraceWalk, FramesOutsideTheProgramFileAreUnnamed) {
    const auto result = testing_support::run_in_child([] {
        int values[] = {3, 1, 2};
        std::qsort(values, 3, sizeof values[0], compare_and_trace);
    });
    const std::vector<Frame> frames = frames_of(result.err, true);
    ASSERT_GE(frames.size(), 2u) << result.err;
    EXPECT_EQ(frames[0].name, "compare_and_trace");
    EXPECT_NE(frames[0].location.find("trace_walk_test.cpp:"), std::string::npos);
    // The C library's sorting frames lie outside the program file.
    EXPECT_EQ(frames[1].name, "???") << result.err;
    EXPECT_EQ(frames[1].location, "");
}

// Both children are forked from this process, so their code lies at the
// same addresses and the two forms can be compared frame by frame.
TEST(TraceWalk, AddressOnlyFormSkipsNothingAndGoesPastMain) {
    const auto full_run = testing_support::run_in_child([] { traced_routine(false); });
    const auto address_run = testing_support::run_in_child([] { traced_routine(true); });
    const std::vector<Frame> full = frames_of(full_run.err, true);
    const std::vector<Frame> addresses = frames_of(address_run.err, false);
    ASSERT_GE(full.size(), 2u) << full_run.err;
    ASSERT_EQ(full.back().name, "main") << full_run.err;
    ASSERT_GE(addresses.size(), 4u) << address_run.err;
    // The walk starts in the routine that writes the trace, inside its call
    // to the walker; frame 1 is the support routine that calls it. The full
    // form leaves both out.
    const uintptr_t writer = reinterpret_cast<uintptr_t>(&vkrt::write_backtrace);
    const uintptr_t first = std::stoull(addresses[0].address, nullptr, 16);
    EXPECT_GT(first, writer) << address_run.err;
    EXPECT_LT(first, writer + 0x1000) << address_run.err;
    EXPECT_EQ(addresses[2].address, full[0].address) << address_run.err;
    size_t main_index = addresses.size();
    for (size_t i = 0; i < addresses.size(); ++i) {
        if (addresses[i].address == full.back().address) main_index = i;
    }
    ASSERT_LT(main_index, addresses.size()) << address_run.err;
    EXPECT_LT(main_index + 1, addresses.size()) << "no frame beyond main:\n" << address_run.err;
}

}  // namespace
