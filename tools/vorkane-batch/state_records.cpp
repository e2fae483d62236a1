// The output records of a date, by the program's own output editor.
#include "state_records.hpp"

#include "textio/format_write.hpp"

namespace batch {

namespace {

void append(void* context, const char* bytes, size_t n) {
    static_cast<std::string*>(context)->append(bytes, n);
}

// The program's start-up settings give sign_zero 1 and an allow_std with the
// bits that put a zero in fixed form; "+" is never written.
constexpr vkrt::EditSettings program_settings{false, true, true};

}  // namespace

void append_state_records(const long double& date, const long double* state, std::string& out) {
    const vkrt::ByteSink sink{append, &out};
    vkrt::write_records("(g25.16)", &date, 1, program_settings, sink);
    vkrt::write_records("(3g25.16)", state, 60, program_settings, sink);
}

}  // namespace batch
