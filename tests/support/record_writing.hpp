// The program's own edit settings and a byte sink that collects what the
// record writer writes into a string, for the tests of fields and records.
#pragma once

#include <cstddef>
#include <string>

#include "textio/format_write.hpp"
#include "textio/g_editor.hpp"

namespace testing_support {

inline constexpr vkrt::EditSettings program_settings{false, true, true};

inline void append_to_string(void* context, const char* bytes, size_t n) {
    static_cast<std::string*>(context)->append(bytes, n);
}

// A sink whose bytes go to the end of *out.
inline vkrt::ByteSink string_sink(std::string* out) { return vkrt::ByteSink{append_to_string, out}; }

}  // namespace testing_support
