// ASCII DE files: the header's layout table and the data records.
#include "vorkane-data/de_ascii.hpp"

#include <charconv>
#include <cmath>
#include <vector>

#include "vorkane-data/data_error.hpp"
#include "vorkane-data/file_io.hpp"
#include "vorkane-data/text_lines.hpp"

namespace vkdata {

namespace {

constexpr int64_t header_limit = 1 << 24;

bool parse_int(const std::string& word, int& value) {
    const char* end = word.data() + word.size();
    const auto [ptr, ec] = std::from_chars(word.data(), end, value);
    return ec == std::errc() && ptr == end;
}

[[noreturn]] void bad_header(const std::string& file, const std::string& why) {
    throw DataError(file + ": bad header: " + why);
}

// The non-blank lines of the header, split into words.
std::vector<std::vector<std::string>> header_lines(const std::string& file) {
    InputFile in(file);
    if (in.size() > header_limit) bad_header(file, "too large for a DE header file");
    TextLines lines(in, file);
    std::vector<std::vector<std::string>> words;
    std::string line;
    while (lines.next(line)) {
        std::vector<std::string> w = split_words(line);
        if (!w.empty()) words.push_back(std::move(w));
    }
    return words;
}

int ncoeff_of_first_line(const std::vector<std::string>& words, const std::string& file) {
    for (size_t i = 0; i + 1 < words.size(); ++i) {
        int value;
        if (words[i] == "NCOEFF=" && parse_int(words[i + 1], value)) return value;
    }
    bad_header(file, "first line has no \"NCOEFF= n\"");
}

// Index of the line after "GROUP id", or lines.size() when there is none.
size_t group_body(const std::vector<std::vector<std::string>>& lines, const char* id) {
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].size() == 2 && lines[i][0] == "GROUP" && lines[i][1] == id) return i + 1;
    }
    return lines.size();
}

void check_step(const std::vector<std::vector<std::string>>& lines, const std::string& file) {
    const size_t at = group_body(lines, "1030");
    double step;
    if (at >= lines.size() || lines[at].size() != 3 || !parse_de_number(lines[at][2], step)) {
        bad_header(file, "no GROUP 1030 with start date, end date and step");
    }
    if (step != record_days) bad_header(file, "record step is not 32 days");
}

std::vector<Block> layout_table(const std::vector<std::vector<std::string>>& lines,
                                const std::string& file) {
    size_t at = group_body(lines, "1050");
    if (at + 3 > lines.size()) bad_header(file, "no GROUP 1050 with three rows");
    const size_t columns = lines[at].size();
    std::vector<Block> items(columns);
    for (size_t row = 0; row < 3; ++row, ++at) {
        if (lines[at].size() != columns) bad_header(file, "GROUP 1050 rows differ in length");
        for (size_t c = 0; c < columns; ++c) {
            int value;
            if (!parse_int(lines[at][c], value)) bad_header(file, "GROUP 1050 holds a non-integer");
            (row == 0 ? items[c].start : row == 1 ? items[c].coefficients : items[c].subintervals) =
                value;
        }
    }
    return items;
}

// Reads one record's values into `values`, starting with the line after its
// header; throws when the record ends early or overflows.
class AsciiRecords {
public:
    AsciiRecords(const std::string& file, const DeLayout& layout)
        : file_(file), layout_(layout), in_(file), lines_(in_, file),
          values_(static_cast<size_t>(layout.ncoeff)) {}

    void run(const RecordHandler& handler) {
        std::string line;
        long index = 0;
        while (lines_.next(line)) {
            const std::vector<std::string> words = split_words(line);
            if (words.empty()) continue;
            ++index;
            const long first_line = lines_.line_number();
            expect_record_header(words, index);
            read_values(index);
            handler(values_.data(), layout_.ncoeff, {file_, index, first_line, lines_.fraction()});
        }
    }

private:
    std::string where(long index) const {
        return file_ + ": data record " + std::to_string(index) + " (line " +
               std::to_string(lines_.line_number()) + ")";
    }

    static bool is_record_header(const std::vector<std::string>& words) {
        int n;
        return words.size() == 2 && parse_int(words[0], n) && parse_int(words[1], n);
    }

    void expect_record_header(const std::vector<std::string>& words, long index) const {
        int number, count;
        if (words.size() != 2 || !parse_int(words[0], number) || !parse_int(words[1], count)) {
            throw DataError(where(index) + ": expected a record header \"number NCOEFF\"");
        }
        if (count != layout_.ncoeff) {
            throw DataError(where(index) + ": record of " + std::to_string(count) +
                            " values, the header says NCOEFF " + std::to_string(layout_.ncoeff));
        }
    }

    [[noreturn]] void truncated(long index, size_t got) const {
        throw DataError(where(index) + ": truncated record: " + std::to_string(got) + " of " +
                        std::to_string(layout_.ncoeff) + " values");
    }

    void read_values(long index) {
        size_t got = 0;
        std::string line;
        while (got < values_.size()) {
            if (!lines_.next(line)) truncated(index, got);
            const std::vector<std::string> words = split_words(line);
            if (words.empty()) continue;
            if (is_record_header(words)) truncated(index, got);
            for (const std::string& word : words) {
                double value;
                if (!parse_de_number(word, value)) {
                    throw DataError(where(index) + ": \"" + word.substr(0, 40) +
                                    "\" is not a finite number");
                }
                if (got < values_.size()) values_[got++] = value;
                else if (value != 0) {
                    throw DataError(where(index) + ": more than NCOEFF values");
                }
            }
        }
    }

    const std::string& file_;
    const DeLayout& layout_;
    InputFile in_;
    TextLines lines_;
    std::vector<double> values_;
};

}  // namespace

bool parse_de_number(const std::string& word, double& value) {
    // Every value of these files has a decimal point; integers are the words
    // of record headers.
    if (word.find('.') == std::string::npos || word.size() > 64) return false;
    std::string text = word;
    for (char& c : text) {
        if (c == 'D' || c == 'd') c = 'E';
    }
    const char* begin = text.data();
    if (*begin == '+' && begin[1] != '-') ++begin;  // from_chars takes no plus sign
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    return ec == std::errc() && ptr == end && std::isfinite(value);
}

DeLayout read_de_ascii_header(const std::string& file) {
    const std::vector<std::vector<std::string>> lines = header_lines(file);
    if (lines.empty()) bad_header(file, "empty file");
    DeLayout layout;
    layout.ncoeff = ncoeff_of_first_line(lines[0], file);
    check_step(lines, file);
    layout.items = layout_table(lines, file);
    check_layout(layout, file);
    return layout;
}

void read_de_ascii_data(const std::string& file, const DeLayout& layout,
                        const RecordHandler& handler) {
    AsciiRecords(file, layout).run(handler);
}

}  // namespace vkdata
