#include "diagnostics/trace_lines.hpp"

#include <cstring>

#include "diagnostics/line_buffer.hpp"
#include "diagnostics/stderr_write.hpp"

namespace vkrt {

void write_frame_line(int number, uint64_t address, const char* name) {
    LineBuffer line;
    line.ch('#').decimal(number).text("  0x").hex(address).text(" in ");
    line.text(name != nullptr ? name : "???").end_line().write();
}

void write_location_line(const SourceLine& where) {
    LineBuffer line;
    line.text("\tat ");
    if (where.file == nullptr) {
        line.text("???");
    } else {
        if (where.directory != nullptr && where.directory[0] != '\0') {
            line.text(where.directory).ch('/');
        }
        line.text(where.file);
    }
    line.ch(':').decimal(where.line).end_line().write();
}

void write_address_line(int number, uint64_t address) {
    LineBuffer line;
    line.ch('#').decimal(number).text("  0x").hex(address).end_line().write();
}

void write_trace_failure(const TraceFailure& failure, bool in_signal_handler) {
    if (failure.kind == TraceFailureKind::no_debug_information) return;
    LineBuffer line;
    line.text("\nCould not print backtrace: ").text(failure.text);
    if (failure.kind == TraceFailureKind::system_error) {
        if (in_signal_handler) {
            line.text(", errno: ").decimal(failure.error_number);
        } else {
            line.text(": ").text(std::strerror(failure.error_number));
        }
    }
    line.end_line().write();
}

}  // namespace vkrt
