// The time limit of the helpers that run a child: a child that hangs is
// killed and the test fails, saying so, instead of waiting for ever.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "support/child_process.hpp"
#include "support/run_program.hpp"

namespace {

TEST(ChildTimeLimit, AHungChildIsKilledAndFailsTheTest) {
    testing_support::RunResult result;
    testing_support::ChildOptions child;
    child.timeout_seconds = 1;
    EXPECT_NONFATAL_FAILURE(result = testing_support::run_in_child([] { ::pause(); }, child),
                            "the test's child process: still running after 1 s, killed");
    EXPECT_EQ(result.signal, SIGKILL);

    testing_support::RunOptions program;
    program.timeout_seconds = 1;
    program.arguments = {"-c", "echo started >&2; exec sleep 600"};
    EXPECT_NONFATAL_FAILURE(result = testing_support::run_program("/bin/sh", "/", program),
                            "/bin/sh: still running after 1 s, killed; its standard error so far:\n"
                            "started\n");
    EXPECT_EQ(result.signal, SIGKILL);
}

}  // namespace
