// Calls the state routine in a forked child, in a directory of the test's
// choosing, and brings the 66 slots of each call back to the test: the state
// routine keeps its record cache and file connection for the whole process,
// so every test gets a fresh process.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "support/run_program.hpp"

namespace testing_support {

using State = std::array<long double, 66>;

struct StateRun {
    RunResult result;           // how the child ended, its standard error
    std::vector<State> states;  // one per call that returned
};

// The program's floating-point and start-up settings, traces off.
void ephemeris_test_settings();

// Calls vorkane(dates[i], velocity_flag, state) in turn; before each call the
// state array is filled with `prefill`. `between` (when set) runs in the
// child after the first call, before the second.
StateRun run_states(const std::string& directory, const std::vector<long double>& dates,
                    int32_t velocity_flag = 1, long double prefill = 0.0L,
                    void (*between)() = nullptr);

}  // namespace testing_support
