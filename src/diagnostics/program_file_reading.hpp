// What the ELF and the PE readers of the program file share: recording why
// a read failed, and the failure texts both give.
#pragma once

#include "diagnostics/program_file.hpp"

namespace vkrt::program_file_reading {

inline bool fail(TraceFailure& failure, const TraceFailure& why) {
    failure = why;
    return false;
}

inline bool fail(TraceFailure& failure, TraceFailureKind kind, const char* text) {
    return fail(failure, TraceFailure{kind, 0, text});
}

constexpr TraceFailureKind unreadable = TraceFailureKind::facility_error;
constexpr TraceFailureKind no_debug_information = TraceFailureKind::no_debug_information;
constexpr char no_debug_information_text[] = "no debug information in the program file";

}  // namespace vkrt::program_file_reading
