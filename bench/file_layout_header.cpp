// Writes the data file's layout as a C header, for the benchmarks written in
// C: the values are the program's own (src/ephemeris/file_layout.hpp), taken
// by the compiler, so C keeps no copy and nothing parses C++.
// Argument 1: the header to write.
#include <cstdio>

#include "ephemeris/file_layout.hpp"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    std::FILE* out = std::fopen(argv[1], "w");
    if (out == nullptr) return 1;
    std::fprintf(out,
                 "/* The data file's layout, written by file_layout_header from the program's\n"
                 "   definition at each build; do not edit. */\n"
                 "#ifndef VORKANE_FILE_LAYOUT_H\n#define VORKANE_FILE_LAYOUT_H\n"
                 "#define VORKANE_RECORD_VALUES %d\n#define VORKANE_RECORD_BYTES %d\n"
                 "#define VORKANE_RECORD_COUNT %d\n#define VORKANE_FILE_BYTES %lldLL\n"
                 "#define VORKANE_FIRST_DATE %.17g\n#define VORKANE_RECORD_DAYS %.17g\n#endif\n",
                 ephemeris::record_values, static_cast<int>(ephemeris::record_bytes),
                 ephemeris::record_count, static_cast<long long>(ephemeris::file_bytes),
                 ephemeris::first_date, ephemeris::record_days);
    return std::fclose(out) == 0 ? 0 : 1;
}
