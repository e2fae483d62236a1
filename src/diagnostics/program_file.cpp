// Reading the program file: it is mapped read-only and kept mapped; the
// section headers are checked against the file's size before any table is
// used, so a damaged or truncated file is refused rather than overrun.
// Compressed debug sections are treated as absent.
#include "diagnostics/program_file.hpp"
#include "diagnostics/program_file_reading.hpp"

#include <cerrno>
#include <cstring>
#include <elf.h>

#include "platform/files.hpp"

namespace vkrt {

namespace {

using namespace program_file_reading;

// Maps the whole file read-only; null with failure set when it cannot.
const uint8_t* map_file(const char* path, size_t& size, TraceFailure& failure) {
    const os::MappedFile mapped = os::map_file(path);
    if (!mapped.opened) {
        return fail(failure, TraceFailure::system(mapped.error, "cannot open the program file")), nullptr;
    }
    if (mapped.data == nullptr) {
        return fail(failure, TraceFailure::system(mapped.error, "cannot map the program file")), nullptr;
    }
    size = mapped.size;
    return mapped.data;
}

// The file bytes of a section; empty when they lie outside the file, when
// the section occupies no file space or when it is compressed.
ByteRange section_bytes(const uint8_t* image, size_t size, const Elf64_Shdr& section) {
    if (section.sh_type == SHT_NOBITS || (section.sh_flags & SHF_COMPRESSED) != 0) return {};
    if (section.sh_offset > size || section.sh_size > size - section.sh_offset) return {};
    return ByteRange{image + section.sh_offset, static_cast<size_t>(section.sh_size)};
}

// The section header table; null when the file is not a 64-bit
// little-endian ELF file or its table lies outside the file. A file without
// sections gives its (empty) table with count 0.
const Elf64_Shdr* section_headers(const uint8_t* image, size_t size, size_t& count) {
    if (size < sizeof(Elf64_Ehdr)) return nullptr;
    Elf64_Ehdr header;
    std::memcpy(&header, image, sizeof header);
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64 ||
        header.e_ident[EI_DATA] != ELFDATA2LSB || header.e_shentsize != sizeof(Elf64_Shdr)) {
        return nullptr;
    }
    count = header.e_shnum;
    if (count == 0) return reinterpret_cast<const Elf64_Shdr*>(image);
    if (header.e_shoff > size || count > (size - header.e_shoff) / sizeof(Elf64_Shdr) ||
        header.e_shstrndx >= count || header.e_shoff % alignof(Elf64_Shdr) != 0) {
        return nullptr;
    }
    return reinterpret_cast<const Elf64_Shdr*>(image + header.e_shoff);
}

void take_section(const uint8_t* image, size_t size, const Elf64_Shdr* sections, size_t count,
                  size_t index, const char* name, ProgramFile& file) {
    const Elf64_Shdr& section = sections[index];
    const ByteRange bytes = section_bytes(image, size, section);
    if (section.sh_type == SHT_SYMTAB && section.sh_link < count) {
        file.symtab = bytes;
        file.strtab = section_bytes(image, size, sections[section.sh_link]);
        if (file.strtab.size == 0) file.symtab = {};
    } else {
        take_debug_section(name, bytes, file);
    }
}

}  // namespace

bool read_program_file(const char* path, ProgramFile& file, TraceFailure& failure) {
    size_t size = 0;
    const uint8_t* image = map_file(path, size, failure);
    if (image == nullptr) return false;
    size_t count = 0;
    const Elf64_Shdr* sections = section_headers(image, size, count);
    if (sections == nullptr) return fail(failure, unreadable, "the program file is not a 64-bit ELF file");
    if (count == 0) return fail(failure, no_debug_information, no_debug_information_text);
    const ByteRange names = section_bytes(image, size, sections[
        reinterpret_cast<const Elf64_Ehdr*>(image)->e_shstrndx]);
    file = ProgramFile{};
    for (size_t i = 0; i < count; ++i) {
        const char* name = string_at(names, sections[i].sh_name);
        take_section(image, size, sections, count, i, name != nullptr ? name : "", file);
    }
    if (file.symtab.size == 0 && file.lines.line.size == 0) {
        return fail(failure, no_debug_information, no_debug_information_text);
    }
    return true;
}

}  // namespace vkrt
