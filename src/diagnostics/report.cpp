#include "diagnostics/report.hpp"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "diagnostics/backtrace.hpp"
#include "diagnostics/error_codes.hpp"
#include "diagnostics/fpe_note.hpp"
#include "diagnostics/line_buffer.hpp"
#include "diagnostics/options.hpp"
#include "diagnostics/stderr_write.hpp"

namespace vkrt {

namespace {

thread_local bool report_started = false;
// No unit records a file name until the connection layer sets its lookup.
// Starting from a function rather than a null pointer also keeps the pointer
// with the initialised data, on a page that every run has written anyway.
const char* no_file_name(int) { return nullptr; }
UnitFileNameLookup unit_file_name = no_file_name;

// Writes the pieces in order, stopping at the first write that fails.
bool write_pieces(std::initializer_list<const char*> pieces) {
    for (const char* piece : pieces) {
        if (!write_stderr(piece)) return false;
    }
    return true;
}

// A failure while a report is being written: no second report, but the
// abort heading and a trace, then abort.
[[noreturn]] void abort_during_report() {
    if (compile_options.backtrace == 1) {
        write_stderr("\nProgram aborted. Backtrace:\n");
        write_backtrace(false);
        std::signal(SIGABRT, SIG_DFL);
    }
    std::abort();
}

// Marks a report in progress, or takes the abort path when one already is.
void begin_report() {
    if (report_started) abort_during_report();
    report_started = true;
}

void write_locus_line(const Locus& where) {
    if (where.source == nullptr) return;
    LineBuffer line;
    line.text("At line ").decimal(where.line).text(" of file ").text(where.source);
    if (where.unit > 0) {
        line.text(" (unit = ").decimal(where.unit);
        const char* name = unit_file_name(where.unit);
        if (name != nullptr) {
            // The name as given when connected, trailing blanks removed.
            size_t n = std::strlen(name);
            while (n > 0 && name[n - 1] == ' ') --n;
            line.text(", file = '").bytes(name, n).ch('\'');
        }
        line.ch(')');
    }
    line.end_line().write();  // a line cut at 511 bytes still ends the line
}

void write_error_trailer() {
    if (compile_options.backtrace == 1) {
        write_stderr("\nError termination. Backtrace:\n");
        write_backtrace(false);
    }
}

[[noreturn]] void error_exit(int status) {
    write_error_trailer();
    std::exit(status);
}

}  // namespace

bool report_in_progress() { return report_started; }

void set_unit_file_name_lookup(UnitFileNameLookup lookup) { unit_file_name = lookup; }

[[noreturn]] void stop_with_text(const char* text, size_t length, bool quiet) {
    if (!quiet) {
        write_fpe_note();
        if (text != nullptr) {
            write_stderr("STOP ") && write_stderr(text, length) && write_stderr("\n");
        }
    }
    std::exit(0);
}

void write_runtime_error(const Locus& where, LibError code, const char* message) {
    if (message == nullptr) {
        message = code == LIBERROR_OS ? std::strerror(errno) : generic_error_text(code);
    }
    begin_report();
    write_locus_line(where);
    write_pieces({runtime_error_prefix, message, "\n"});
    write_error_trailer();
}

[[noreturn]] void runtime_error(const Locus& where, LibError code, const char* message) {
    write_runtime_error(where, code, message);
    std::exit(2);
}

[[noreturn]] void os_error(const char* context) {
    const char* system_text = std::strerror(errno);
    begin_report();
    write_pieces({"Operating system error: ", system_text, "\n", context, "\n"});
    error_exit(1);
}

[[noreturn]] void internal_error(const Locus* where, const char* message) {
    begin_report();
    if (where != nullptr) write_locus_line(*where);
    write_pieces({"Internal Error: ", message, "\n"});
    error_exit(3);
}

}  // namespace vkrt
