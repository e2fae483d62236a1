#include <gtest/gtest.h>

#include "support/run_program.hpp"
#include "support/scratch_dir.hpp"

TEST(Program, WritesNothingToStandardOutput) {
    testing_support::ScratchDir dir;
    auto result = testing_support::run_vorkane(dir.path());
    EXPECT_EQ(result.out, "");
}
