// Reading a PE program file (Windows): the COFF file header, the optional
// header's preferred image base, the section table, the COFF symbol table
// with its string table, and the DWARF line sections that GCC writes into
// sections whose long names ("/N") live in that string table. The file is
// mapped read-only and kept mapped; every table is checked against the
// file's size before it is used.
#include <cstring>

#include "diagnostics/program_file.hpp"
#include "diagnostics/program_file_reading.hpp"
#include "platform/files.hpp"

namespace vkrt {

namespace {

constexpr size_t section_header_bytes = 40;
constexpr size_t symbol_bytes = 18;

using namespace program_file_reading;

struct Headers {
    uint16_t section_count = 0;
    uint32_t symbol_offset = 0;
    uint32_t symbol_count = 0;
    uint64_t image_base = 0;
    size_t sections_offset = 0;
};

// The COFF file header and the optional header of a PE32+ image; false when
// the bytes are not one.
bool read_headers(ByteRange image, Headers& headers) {
    ByteReader dos(image);
    if (dos.u16() != 0x5A4D) return false;  // "MZ"
    dos.skip(0x3A);
    const uint32_t pe_offset = dos.u32();
    if (!dos.ok() || pe_offset > image.size) return false;
    ByteReader pe(image.data + pe_offset, image.data + image.size);
    if (pe.u32() != 0x00004550) return false;  // "PE\0\0"
    pe.u16();                                  // machine
    headers.section_count = pe.u16();
    pe.u32();  // time stamp
    headers.symbol_offset = pe.u32();
    headers.symbol_count = pe.u32();
    const uint16_t optional_size = pe.u16();
    pe.u16();  // characteristics
    const uint8_t* optional = pe.position();
    if (pe.u16() != 0x20B) return false;  // PE32+
    pe.skip(22);
    headers.image_base = pe.u64();
    headers.sections_offset = static_cast<size_t>(optional - image.data) + optional_size;
    const size_t table_bytes = size_t{headers.section_count} * section_header_bytes;
    return pe.ok() && headers.sections_offset <= image.size &&
           table_bytes <= image.size - headers.sections_offset;
}

// The symbol table and the string table right after it; both empty when
// they do not lie inside the file.
void locate_symbols(ByteRange image, const Headers& headers, ProgramFile& file) {
    const uint64_t symbol_bytes_total = uint64_t{headers.symbol_count} * symbol_bytes;
    if (headers.symbol_offset == 0 || headers.symbol_offset > image.size ||
        symbol_bytes_total + 4 > image.size - headers.symbol_offset) {
        return;
    }
    const uint8_t* strings = image.data + headers.symbol_offset + symbol_bytes_total;
    uint32_t string_bytes;
    std::memcpy(&string_bytes, strings, 4);
    const size_t room = static_cast<size_t>(image.data + image.size - strings);
    if (string_bytes < 4 || string_bytes > room) return;
    file.symtab = ByteRange{image.data + headers.symbol_offset, static_cast<size_t>(symbol_bytes_total)};
    file.strtab = ByteRange{strings, string_bytes};
}

// A section's name, through the string table for a long name ("/N"); copied
// into `into` because a short name of eight bytes has no terminator.
const char* section_name(const uint8_t* header, const ByteRange& strings, char (&into)[9]) {
    std::memcpy(into, header, 8);
    into[8] = '\0';
    if (into[0] != '/') return into;
    uint64_t offset = 0;
    for (const char* digit = into + 1; *digit >= '0' && *digit <= '9'; ++digit) {
        offset = offset * 10 + static_cast<uint64_t>(*digit - '0');
    }
    const char* name = string_at(strings, offset);
    return name != nullptr ? name : "";
}

// The file bytes of a section: its virtual size (the raw size is padded to
// the file alignment), within the file.
ByteRange section_bytes(ByteRange image, const uint8_t* header) {
    ByteReader in(header + 8, header + section_header_bytes);
    const uint32_t virtual_size = in.u32();
    in.u32();  // virtual address
    const uint32_t raw_size = in.u32();
    const uint32_t raw_offset = in.u32();
    const uint32_t size = virtual_size != 0 && virtual_size < raw_size ? virtual_size : raw_size;
    if (raw_offset > image.size || size > image.size - raw_offset) return {};
    return ByteRange{image.data + raw_offset, size};
}

void take_sections(ByteRange image, const Headers& headers, ProgramFile& file) {
    file.sections = ByteRange{image.data + headers.sections_offset,
                              size_t{headers.section_count} * section_header_bytes};
    for (uint16_t i = 0; i < headers.section_count; ++i) {
        const uint8_t* header = file.sections.data + size_t{i} * section_header_bytes;
        char short_name[9];
        const char* name = section_name(header, file.strtab, short_name);
        if (std::strncmp(name, ".debug_", 7) == 0) take_debug_section(name, section_bytes(image, header), file);
    }
}

}  // namespace

bool read_program_file(const char* path, ProgramFile& file, TraceFailure& failure) {
    const os::MappedFile mapped = os::map_file(path);
    if (!mapped.opened) {
        return fail(failure, TraceFailure::system(mapped.error, "cannot open the program file"));
    }
    if (mapped.data == nullptr) {
        return fail(failure, TraceFailure::system(mapped.error, "cannot map the program file"));
    }
    const ByteRange image{mapped.data, mapped.size};
    Headers headers;
    if (!read_headers(image, headers)) return fail(failure, unreadable, "the program file is not a PE32+ file");
    file = ProgramFile{};
    file.link_base = headers.image_base;
    locate_symbols(image, headers, file);
    take_sections(image, headers, file);
    if (file.symtab.size == 0 && file.lines.line.size == 0) {
        return fail(failure, no_debug_information, no_debug_information_text);
    }
    return true;
}

}  // namespace vkrt
