// Reading call-stack traces out of a program's standard error for the
// end-to-end tests: the frames after a heading, in either form.
#pragma once

#include <string>
#include <vector>

namespace trace_test {

struct Frame {
    int number = 0;
    std::string address;   // hexadecimal digits
    std::string name;      // empty in the address-only form
    std::string location;  // text after "\tat ", empty when there is no such line
};

struct Trace {
    std::string before;  // everything up to and including the heading
    std::vector<Frame> frames;
    std::vector<std::string> stray;  // lines of neither form
};

// Splits `err` at `heading` and reads the frame lines after it.
Trace read_trace(const std::string& err, const std::string& heading);

// The repository's root, from this file's own path.
std::string repository_root();

// The 1-based number of the first line of a source file (relative to the
// repository root) that contains `text`; 0 when none does.
int line_containing(const std::string& source, const std::string& text);

// The identifier of the routine whose definition in a source file holds a
// line: the nearest definition line at or above it (a line at the margin
// that opens a definition: "int main(int argc, char** argv) {"); "" when
// none is found. Read from the source text, apart from any debug information.
std::string routine_defined_at(const std::string& path, int line);

// A frame's name without scopes and parameters:
// "ns::(anonymous namespace)::f(int)" gives "f".
std::string bare_name(const std::string& frame_name);

// A copy of the built program in `directory`, rewritten by
// `strip <strip_option>` when an option is given; "" when strip fails.
std::string program_copy(const std::string& directory, const std::string& strip_option = "");

}  // namespace trace_test
