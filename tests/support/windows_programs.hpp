// The end-to-end tests run either the Linux programs of this build or the
// Windows programs of a cross build under Wine: with VORKANE_WINDOWS_BUILD
// naming the cross build's folder, vorkane.exe and vorkane-data.exe are run
// through `wine` with the same expected bytes. The Wine server is started
// beforehand by tools/test-windows (persistent, in a private WINEPREFIX).
#pragma once

#include <string>
#include <vector>

namespace testing_support {

// True when the tests run the Windows programs.
bool windows_programs();

// The cross build's folder ("" when the tests run the Linux programs).
std::string windows_build_dir();

// Replaces the (forked) process with the program and its arguments, through
// Wine for a Windows program. Never returns; status 127 when it cannot.
[[noreturn]] void exec_program(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace testing_support

// Leaves a test that checks something Windows does not have (POSIX signals
// sent from outside, resource limits, closed standard streams, file
// permissions for an ordinary user) when the tests run the Windows programs.
#define SKIP_FOR_WINDOWS_PROGRAMS(reason) \
    do { \
        if (testing_support::windows_programs()) GTEST_SKIP() << "Windows programs: " << (reason); \
    } while (0)
