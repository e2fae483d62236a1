// Reading vorkane.out back and printing it as a table.
#include "vorkane-data/show.hpp"

#include <array>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "vorkane-data/calendar.hpp"
#include "vorkane-data/data_error.hpp"
#include "vorkane-data/data_layout.hpp"
#include "vorkane-data/file_io.hpp"

namespace vkdata {

namespace {

constexpr int field_width = 25;
constexpr int record_total = 21;
constexpr int64_t output_bytes = 1567;  // 27 + 20 x 77
constexpr long double km_per_au = 149597870.7L;
constexpr long double seconds_per_day = 86400.0L;

constexpr const char* shown_bodies[10] = {"Mercury", "Venus",  "Earth",   "Mars", "Jupiter",
                                          "Saturn",  "Uranus", "Neptune", "Pluto", "Moon"};

// One field: its text without the blanks around it, and its value.
struct Field {
    std::string text;
    long double value;
};

[[noreturn]] void refuse(const std::string& file, const std::string& why) {
    throw DataError(file + ": not an output file of vorkane: " + why);
}

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A G25.16 field: a fixed-point or exponent form (three-digit exponents
// drop the letter E: 0.1234567890123456+100), Infinity or NaN.
bool parse_number(const std::string& text, long double& value) {
    for (const char* word : {"Infinity", "+Infinity", "-Infinity", "NaN"}) {
        if (text == word) {
            value = std::strtold(word, nullptr);
            return true;
        }
    }
    if (text.find('.') == std::string::npos ||
        text.find_first_not_of("0123456789.+-E") != std::string::npos) {
        return false;
    }
    std::string c_form = text;
    const size_t sign = c_form.find_first_of("+-", 1);
    if (sign != std::string::npos && c_form[sign - 1] != 'E') c_form.insert(sign, 1, 'E');
    char* end = nullptr;
    value = std::strtold(c_form.c_str(), &end);
    return end == c_form.c_str() + c_form.size();
}

std::vector<std::string> split_records(const std::string& file, const std::string& bytes) {
    std::vector<std::string> records;
    size_t at = 0;
    while (at < bytes.size()) {
        const size_t end = bytes.find("\r\n", at);
        if (end == std::string::npos || bytes.find('\n', at) < end) {
            refuse(file, "record " + std::to_string(records.size() + 1) + " is not ended by CR LF");
        }
        records.push_back(bytes.substr(at, end - at));
        at = end + 2;
    }
    return records;
}

std::vector<Field> read_fields(const std::string& file) {
    const InputFile in(file);
    if (in.size() == 0) refuse(file, "it is empty (a run that stopped or failed leaves it so)");
    if (in.size() > output_bytes) {
        refuse(file, "it is " + std::to_string(in.size()) + " bytes long, not 1567");
    }
    const std::vector<std::string> records = split_records(file, in.read_at(0, output_bytes));
    for (size_t r = 0; r < records.size(); ++r) {
        const size_t expected = r == 0 ? field_width : 3 * field_width;
        if (records[r].size() != expected) {
            refuse(file, "record " + std::to_string(r + 1) + " is " +
                             std::to_string(records[r].size()) + " characters long, not " +
                             std::to_string(expected));
        }
    }
    if (records.size() != record_total) {
        refuse(file, "it holds " + std::to_string(records.size()) + " records, not 21");
    }
    std::vector<Field> fields;
    for (size_t r = 0; r < records.size(); ++r) {
        for (size_t at = 0; at < records[r].size(); at += field_width) {
            Field field{trimmed(records[r].substr(at, field_width)), 0};
            if (!parse_number(field.text, field.value)) {
                refuse(file, "record " + std::to_string(r + 1) + ", field " +
                                 std::to_string(at / field_width + 1) + ": '" + field.text +
                                 "' is not a number");
            }
            fields.push_back(field);
        }
    }
    return fields;
}

long double length(const Field* v) {
    return std::sqrt(v[0].value * v[0].value + v[1].value * v[1].value + v[2].value * v[2].value);
}

// A coordinate as the file writes it, its sign in a column of its own.
void print_coordinates(std::FILE* out, const Field* v) {
    for (int i = 0; i < 3; ++i) {
        const char* text = v[i].text.c_str();
        const char sign = *text == '-' || *text == '+' ? *text++ : ' ';
        std::fprintf(out, "%c%-24s", sign, text);
    }
}

void print_date(std::FILE* out, const Field& date) {
    std::fprintf(out, "date: JD %s TDB", date.text.c_str());
    if (date.value >= first_date && date.value <= last_date) {
        char text[32];
        calendar_text(date.value, text);
        std::fprintf(out, " = %s TDB", text);
    }
    std::fprintf(out, "\n");
}

}  // namespace

void show_output_file(const std::string& file, std::FILE* out) {
    const std::vector<Field> fields = read_fields(file);
    std::fprintf(out, "%s: positions and velocities relative to the Sun, ephemeris axes\n",
                 file.c_str());
    print_date(out, fields[0]);
    std::fprintf(out, "\n%-9s%-25s%-25s%-25s%16s\n%-9s%-25s%-25s%-25s%16s\n", "body", "x (au)",
                 "y (au)", "z (au)", "distance (au)", "", "x' (au/day)", "y' (au/day)",
                 "z' (au/day)", "speed (km/s)");
    for (int body = 0; body < 10; ++body) {
        const Field* position = &fields[1 + 6 * body];
        const Field* velocity = position + 3;
        std::fprintf(out, "%-9s", shown_bodies[body]);
        print_coordinates(out, position);
        std::fprintf(out, " %15.10Lf\n%-9s", length(position), "");
        print_coordinates(out, velocity);
        std::fprintf(out, " %15.6Lf\n", length(velocity) * km_per_au / seconds_per_day);
    }
}

}  // namespace vkdata
