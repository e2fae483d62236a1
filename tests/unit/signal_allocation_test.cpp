// The signal report and the state routine allocate nothing. This test program's malloc family is
// replaced by forwarders to the C library's allocator that, once a child has
// armed the guard, end the child with a marker on standard error instead.
// Left out under sanitizers, which bring allocators of their own.
#include <csignal>
#include <cstddef>
#include <cstdlib>
#include <gtest/gtest.h>
#include <unistd.h>

#include "diagnostics/signals.hpp"
#include "driver/fpu.hpp"
#include "ephemeris/vorkane.hpp"
#include "support/child_process.hpp"
#include "support/record_file.hpp"
#include "support/scratch_dir.hpp"
#include "support/default_signals.hpp"

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer) || __has_feature(thread_sanitizer)
#define VORKANE_OWN_ALLOCATOR 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define VORKANE_OWN_ALLOCATOR 1
#endif

#ifndef VORKANE_OWN_ALLOCATOR
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void __libc_free(void*);
}

namespace {
volatile sig_atomic_t allocation_forbidden = 0;
volatile sig_atomic_t zeroed_allocations = 0;

constexpr char allocation_marker[] = "\nallocation where none is allowed\n";

void check_allocation() {
    if (allocation_forbidden) {
        ::write(2, allocation_marker, sizeof allocation_marker - 1);
        ::_exit(99);
    }
}
}  // namespace

extern "C" void* malloc(size_t size) {
    check_allocation();
    return __libc_malloc(size);
}
extern "C" void* calloc(size_t count, size_t size) {
    check_allocation();
    zeroed_allocations = zeroed_allocations + 1;
    return __libc_calloc(count, size);
}
extern "C" void* realloc(void* block, size_t size) {
    check_allocation();
    return __libc_realloc(block, size);
}
extern "C" void free(void* block) {
    check_allocation();
    __libc_free(block);
}

namespace {

void nothing_at_exit() {}

// The C library keeps exit handlers in blocks of 32 and allocates a zeroed
// block when one is full; how full the first one is depends on how many
// static objects this test program has, not on the code under test. Adding
// handlers until one starts a new block leaves room for the state routine's
// own registration.
void make_room_for_exit_handlers() {
    const sig_atomic_t before = zeroed_allocations;
    for (int i = 0; i < 64 && zeroed_allocations == before; ++i) std::atexit(nothing_at_exit);
}

TEST(SignalAllocation, TheReportAllocatesNothing) {
    for (int signal : {SIGSEGV, SIGQUIT, SIGABRT}) {
        const auto result = testing_support::run_in_child([&] {
            testing_support::restore_default_signals();
            vkrt::install_fatal_signal_handlers();
            allocation_forbidden = 1;
            raise(signal);
        });
        EXPECT_EQ(result.signal, signal) << result.err;
        EXPECT_NE(result.err.find("\nBacktrace for this error:\n#0  0x"), std::string::npos) << result.err;
        EXPECT_EQ(result.err.find(allocation_marker), std::string::npos) << result.err;
    }
}

// The guard itself works: an allocation once armed ends the child.
TEST(SignalAllocation, TheGuardCatchesAnAllocation) {
    const auto result = testing_support::run_in_child([] {
        allocation_forbidden = 1;
        void* volatile block = malloc(16);
        free(block);
    });
    EXPECT_EQ(result.exit_status, 99);
    EXPECT_EQ(result.err, allocation_marker);
}

// The state routine allocates nothing: neither the first call, which
// connects the data file and reads a record, nor later calls in the same or
// another record.
TEST(EvaluationAllocation, TheStateRoutineAllocatesNothing) {
    testing_support::ScratchDir dir;
    testing_support::RecordFile data(dir.file("15502650.440"));
    data.put(5137, testing_support::grid_record(5137));
    data.put(5138, testing_support::grid_record(5138));
    const auto result = testing_support::run_in_child(
        [] {
            vkrt::reset_floating_point_unit();
            make_room_for_exit_handlers();
            allocation_forbidden = 1;
            long double state[66];
            const int32_t velocity_flag = 1;
            for (long double date : {2451545.0L, 2451560.25L, 2451570.0L}) vorkane(date, velocity_flag, state);
            allocation_forbidden = 0;  // the exit of the test child may allocate
        },
        {dir.path()});
    EXPECT_EQ(result.exit_status, 0) << result.err;
    EXPECT_EQ(result.err, "");
}

}  // namespace
#endif
