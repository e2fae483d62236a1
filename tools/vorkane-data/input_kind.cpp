// Input kind detection from the first bytes of a file.
#include "vorkane-data/input_kind.hpp"

#include <charconv>
#include <vector>

#include "vorkane-data/file_io.hpp"
#include "vorkane-data/text_lines.hpp"

namespace vkdata {

namespace {

constexpr int64_t probe_bytes = 4096;

bool is_text(const std::string& bytes) {
    for (unsigned char c : bytes) {
        if (c != '\n' && c != '\r' && c != '\t' && (c < 0x20 || c > 0x7e)) return false;
    }
    return true;
}

bool is_integer(const std::string& word) {
    int value;
    const char* end = word.data() + word.size();
    const auto [ptr, ec] = std::from_chars(word.data(), end, value);
    return ec == std::errc() && ptr == end;
}

bool starts_with_record_header(const std::string& text) {
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = text.find('\n', at);
        const std::vector<std::string> words =
            split_words(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
        if (!words.empty()) return words.size() == 2 && is_integer(words[0]) && is_integer(words[1]);
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return false;
}

}  // namespace

InputKind detect_input_kind(const std::string& file) {
    const InputFile in(file);
    const std::string head = in.read_at(0, probe_bytes);
    const std::vector<std::string> first = split_words(head.substr(0, head.find('\n')));
    if (!first.empty() && first[0].rfind("KSIZE=", 0) == 0) return InputKind::ascii_header;
    if (is_text(head) && starts_with_record_header(head)) return InputKind::ascii_data;
    return InputKind::binary;
}

}  // namespace vkdata
