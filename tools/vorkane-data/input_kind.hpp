// Telling the kinds of DE input apart by their content.
#pragma once

#include <string>

namespace vkdata {

enum class InputKind { binary, ascii_header, ascii_data };

// ASCII header: its first word is "KSIZE=". ASCII data: text whose first
// non-blank line is two integers (a record header). Anything else is taken
// for a binary file, whose own header check then decides.
InputKind detect_input_kind(const std::string& file);

}  // namespace vkdata
