// Buffered line reading with a length limit.
#include "vorkane-data/text_lines.hpp"

#include "vorkane-data/data_error.hpp"

namespace vkdata {

namespace {
constexpr int64_t chunk_bytes = 1 << 20;
}

TextLines::TextLines(const InputFile& in, const std::string& path, size_t max_line)
    : in_(in), path_(path), max_line_(max_line) {}

bool TextLines::fill() {
    chunk_.erase(0, at_);
    at_ = 0;
    const std::string more = in_.read_at(offset_, chunk_bytes);
    offset_ += static_cast<int64_t>(more.size());
    chunk_ += more;
    return !more.empty();
}

bool TextLines::next(std::string& line) {
    size_t end;
    while ((end = chunk_.find('\n', at_)) == std::string::npos) {
        if (chunk_.size() - at_ > max_line_) break;
        if (!fill()) break;
    }
    if (end == std::string::npos) {
        if (chunk_.size() - at_ > max_line_) {
            throw DataError(path_ + ": line " + std::to_string(line_number_ + 1) +
                            " is longer than " + std::to_string(max_line_) + " bytes");
        }
        if (at_ == chunk_.size()) return false;
        end = chunk_.size();  // last line without a line end
    }
    if (end - at_ > max_line_) {
        throw DataError(path_ + ": line " + std::to_string(line_number_ + 1) + " is longer than " +
                        std::to_string(max_line_) + " bytes");
    }
    line.assign(chunk_, at_, end - at_);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    at_ = end < chunk_.size() ? end + 1 : end;
    ++line_number_;
    return true;
}

double TextLines::fraction() const {
    if (in_.size() == 0) return 1.0;
    const int64_t consumed = offset_ - static_cast<int64_t>(chunk_.size() - at_);
    return static_cast<double>(consumed) / static_cast<double>(in_.size());
}

std::vector<std::string> split_words(const std::string& line) {
    std::vector<std::string> words;
    size_t at = 0;
    while (true) {
        at = line.find_first_not_of(" \t\r", at);
        if (at == std::string::npos) break;
        const size_t end = line.find_first_of(" \t\r", at);
        words.push_back(line.substr(at, end == std::string::npos ? std::string::npos : end - at));
        at = end;
    }
    return words;
}

}  // namespace vkdata
