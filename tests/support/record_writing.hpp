// What the tests of fields and records share: the program's own edit
// settings, a byte sink that collects the writer's records into a string,
// and the extended real nearest to a decimal text.
#pragma once

#include <cstddef>
#include <cstdlib>
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

// glibc's strtold rounds correctly.
inline long double nearest(const char* decimal) { return std::strtold(decimal, nullptr); }

}  // namespace testing_support
