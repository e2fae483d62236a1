// Recognising the published DE formats by their content.
#include "vorkane-data/published_file.hpp"

#include "vorkane-data/data_error.hpp"
#include "vorkane-data/de_binary.hpp"
#include "vorkane-data/file_io.hpp"
#include "vorkane-data/input_kind.hpp"

namespace vkdata {

namespace {

// Enough for the layout table of a binary header with its extra rows.
constexpr int64_t header_bytes = 16384;

bool has_binary_de_header(const std::string& file) {
    const InputFile in(file);
    try {
        parse_binary_header(in.read_at(0, header_bytes), file);
        return true;
    } catch (const DataError&) {
        return false;
    }
}

}  // namespace

bool report_published_de(const std::string& file, std::FILE* out) {
    const char* kind = "a DE data file (ASCII)";
    std::string command = "vorkane-data convert -o 15502650.440 header.440 ascp*.440";
    switch (detect_input_kind(file)) {
        case InputKind::ascii_header: kind = "a DE header file (ASCII)"; break;
        case InputKind::ascii_data: break;
        case InputKind::binary:
            if (!has_binary_de_header(file)) return false;
            kind = "a DE file (binary)";
            command = "vorkane-data convert -o 15502650.440 " + file;
            break;
    }
    std::fprintf(out,
                 "%s: %s as JPL publishes it, not in the layout of the program's data file\n"
                 "make the data file from it with: %s\nnot well-formed\n",
                 file.c_str(), kind, command.c_str());
    return true;
}

}  // namespace vkdata
