// Lines of a text file read in large chunks, with the line number and the
// share of the file consumed; a line longer than the limit is an error, so a
// file without line ends cannot make the reader hold it whole.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vorkane-data/file_io.hpp"

namespace vkdata {

class TextLines {
public:
    TextLines(const InputFile& in, const std::string& path, size_t max_line = 4096);
    // The next line without its line end (LF or CR LF); false at the end.
    bool next(std::string& line);
    long line_number() const { return line_number_; }
    double fraction() const;

private:
    bool fill();

    const InputFile& in_;
    std::string path_;
    size_t max_line_;
    std::string chunk_;
    size_t at_ = 0;
    int64_t offset_ = 0;  // file offset of the end of chunk_
    long line_number_ = 0;
};

// Splits a line at blanks and tabs.
std::vector<std::string> split_words(const std::string& line);

}  // namespace vkdata
