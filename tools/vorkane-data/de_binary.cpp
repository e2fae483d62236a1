// DE binary files. Header record 1, from its start: three 84-character title
// lines, 400 six-character constant names, start date, end date and step
// (binary64), the number of constants NCON (int32), the astronomical unit and
// the Earth-Moon mass ratio (binary64), the layout table of items 1 to 12
// (start, coefficients, sub-intervals as int32), the ephemeris number, the
// row of item 13, and, when NCON exceeds 400, the further constant names and
// the rows of items 14 and 15. NCOEFF is not stored: it follows from the
// table. All numbers are little-endian, as on this machine.
#include "vorkane-data/de_binary.hpp"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "vorkane-data/data_error.hpp"
#include "vorkane-data/file_io.hpp"

namespace vkdata {

namespace {

constexpr size_t step_at = 252 + 400 * 6;    // 2652: start, end, step
constexpr size_t ncon_at = step_at + 24;     // 2676
constexpr size_t table_at = ncon_at + 4 + 16;  // 2696: items 1 to 12
constexpr size_t item13_at = table_at + size_t{36} * 4 + 4;  // 2844, after the ephemeris number
constexpr size_t fixed_end = item13_at + 12;         // 2856
constexpr size_t header_probe = size_t{4} * record_bytes;    // bytes read to parse the header

template <typename T>
T load(const std::string& bytes, size_t at) {
    T value;
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

Block load_block(const std::string& bytes, size_t at) {
    return {load<int32_t>(bytes, at), load<int32_t>(bytes, at + 4), load<int32_t>(bytes, at + 8)};
}

[[noreturn]] void bad_header(const std::string& file, const std::string& why) {
    throw DataError(file + ": bad header: " + why);
}

}  // namespace

DeLayout parse_binary_header(const std::string& header, const std::string& file) {
    if (header.size() < fixed_end) bad_header(file, "file too short for a DE binary header");
    if (load<double>(header, step_at + 16) != record_days) {
        bad_header(file, "record step is not 32 days (not a little-endian DE binary file?)");
    }
    DeLayout layout;
    for (int i = 0; i < 12; ++i) layout.items.push_back(load_block(header, table_at + size_t{12} * static_cast<size_t>(i)));
    layout.items.push_back(load_block(header, item13_at));
    const int32_t ncon = load<int32_t>(header, ncon_at);
    if (ncon < 0 || ncon > 100000) bad_header(file, "number of constants " + std::to_string(ncon));
    if (ncon > 400) {
        const size_t rows_at = fixed_end + static_cast<size_t>(ncon - 400) * 6;
        if (rows_at + 24 > header.size()) bad_header(file, "constant names run past the header");
        layout.items.push_back(load_block(header, rows_at));
        layout.items.push_back(load_block(header, rows_at + 12));
    }
    const long long needed = values_needed(layout.items);
    layout.ncoeff = static_cast<int>(std::min<long long>(needed, INT32_MAX));
    check_layout(layout, file);
    return layout;
}

void read_de_binary(const std::string& file, const RecordHandler& handler) {
    InputFile in(file);
    const int64_t size = in.size();
    const DeLayout layout = parse_binary_header(in.read_at(0, header_probe), file);
    const int64_t record = int64_t{layout.ncoeff} * 8;
    if (size < 2 * record) bad_header(file, "the two header records are incomplete");
    const int64_t data_records = (size - 2 * record) / record;
    if (const int64_t rest = (size - 2 * record) % record; rest != 0) {
        throw DataError(file + ": data record " + std::to_string(data_records + 1) +
                        " is truncated: " + std::to_string(rest) + " of " +
                        std::to_string(record) + " bytes");
    }
    std::vector<double> values(static_cast<size_t>(layout.ncoeff));
    constexpr int64_t chunk_records = 256;
    for (int64_t first = 0; first < data_records; first += chunk_records) {
        const int64_t count = std::min(chunk_records, data_records - first);
        const std::string chunk = in.read_at((first + 2) * record, count * record);
        if (static_cast<int64_t>(chunk.size()) != count * record) {
            throw DataError(file + ": data record " + std::to_string(first + 1) +
                            " could not be read: the file shrank while reading");
        }
        for (int64_t k = 0; k < count; ++k) {
            std::memcpy(values.data(), chunk.data() + k * record, static_cast<size_t>(record));
            const long index = static_cast<long>(first + k + 1);
            handler(values.data(), layout.ncoeff,
                    {file, index, 0, static_cast<double>(index) / static_cast<double>(data_records)});
        }
    }
}

}  // namespace vkdata
