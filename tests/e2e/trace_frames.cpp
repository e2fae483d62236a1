#include "trace_frames.hpp"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/frame_line.hpp"
#include "support/run_program.hpp"

namespace trace_test {

Trace read_trace(const std::string& err, const std::string& heading) {
    Trace trace;
    const size_t at = err.find(heading);
    if (at == std::string::npos) return trace;
    trace.before = err.substr(0, at + heading.size());
    size_t start = at + heading.size();
    while (start < err.size()) {
        size_t end = err.find('\n', start);
        if (end == std::string::npos) end = err.size();
        const std::string line = err.substr(start, end - start);
        start = end + 1;
        testing_support::FrameLine f;
        if (testing_support::parse_frame_line(line, f)) {
            trace.frames.push_back({f.number, f.address, f.name, ""});
        } else if (line.rfind("\tat ", 0) == 0 && !trace.frames.empty() &&
                   trace.frames.back().location.empty() && !trace.frames.back().name.empty()) {
            trace.frames.back().location = line.substr(4);
        } else {
            trace.stray.push_back(line);
        }
    }
    return trace;
}

std::string repository_root() {
    return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path().string();
}

int line_containing(const std::string& source, const std::string& text) {
    std::ifstream in(repository_root() + "/" + source);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.find(text) != std::string::npos) return number;
    }
    return 0;
}

namespace {

bool is_word_character(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool starts_word(char c) { return is_word_character(c) && !(c >= '0' && c <= '9'); }

// The routine a source line defines, as a person reads it: the line starts in
// the first column with a name, a type or an attribute (not a declaration of a
// namespace, a type or a test, nor a return), and the first whole word that
// is directly followed by "(" before any ";" or "=" is the routine's name.
// Read by hand rather than with <regex>, which warns under the sanitizers.
std::string name_defined_on(const std::string& line) {
    if (line.empty() || !(starts_word(line[0]) || line[0] == '[')) return "";
    for (const char* word : {"namespace", "struct", "class", "enum", "union", "using", "return", "TEST"}) {
        if (line.rfind(word, 0) == 0) return "";
    }
    for (size_t at = 1; at < line.size(); ++at) {
        if (line[at] == ';' || line[at] == '=') return "";
        if (!starts_word(line[at]) || is_word_character(line[at - 1])) continue;
        size_t end = at;
        while (end < line.size() && is_word_character(line[end])) ++end;
        if (end < line.size() && line[end] == '(') {
            std::string word = line.substr(at, end - at);
            if (word != "__attribute__") return word;
        }
    }
    return "";
}

}  // namespace

std::string routine_defined_at(const std::string& path, int line) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string text; std::getline(in, text);) lines.push_back(text);
    for (int n = std::min(line, static_cast<int>(lines.size())); n >= 1; --n) {
        std::string name = name_defined_on(lines[n - 1]);
        if (!name.empty()) return name;
    }
    return "";
}

std::string bare_name(const std::string& frame_name) {
    std::string name = frame_name;
    const std::string anonymous = "(anonymous namespace)";
    for (size_t at; (at = name.find(anonymous)) != std::string::npos;) name.erase(at, anonymous.size());
    name = name.substr(0, name.find('('));
    const size_t scope = name.rfind("::");
    return scope == std::string::npos ? name : name.substr(scope + 2);
}

std::string program_copy(const std::string& directory, const std::string& strip_option) {
    const std::string copy = directory + "/vorkane-copy";
    std::filesystem::copy_file(testing_support::vorkane_binary(), copy,
                               std::filesystem::copy_options::overwrite_existing);
    ::chmod(copy.c_str(), 0755);
    if (strip_option.empty()) return copy;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execlp("strip", "strip", strip_option.c_str(), copy.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? copy : "";
}

}  // namespace trace_test
