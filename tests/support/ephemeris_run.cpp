#include "support/ephemeris_run.hpp"

#include <cstring>
#include <unistd.h>

#include "diagnostics/options.hpp"
#include "driver/fpu.hpp"
#include "ephemeris/vorkane.hpp"
#include "support/child_process.hpp"

namespace testing_support {

namespace {

void write_all(const void* bytes, size_t n) {
    const char* p = static_cast<const char*>(bytes);
    while (n > 0) {
        const ssize_t done = ::write(1, p, n);
        if (done <= 0) ::_exit(125);
        p += done;
        n -= static_cast<size_t>(done);
    }
}

}  // namespace

void ephemeris_test_settings() {
    vkrt::reset_floating_point_unit();
    vkrt::set_startup_settings({10308, 16383, 0, 0, 1, 0, 31});
}

StateRun run_states(const std::string& directory, const std::vector<long double>& dates,
                    int32_t velocity_flag, long double prefill, void (*between)()) {
    ChildOptions options;
    options.directory = directory;
    StateRun run;
    run.result = run_in_child([&] {
        ephemeris_test_settings();
        for (size_t i = 0; i < dates.size(); ++i) {
            if (i == 1 && between != nullptr) between();
            long double state[66];
            for (long double& slot : state) slot = prefill;
            vorkane(dates[i], velocity_flag, state);
            write_all(state, sizeof state);
        }
    }, options);
    const std::string& out = run.result.out;
    for (size_t at = 0; at + sizeof(State) <= out.size(); at += sizeof(State)) {
        State state;
        std::memcpy(state.data(), out.data() + at, sizeof state);
        run.states.push_back(state);
    }
    return run;
}

}  // namespace testing_support
