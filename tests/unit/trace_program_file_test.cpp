// Reading the program file's tables, and the failure codes that decide the
// "Could not print backtrace" line: a system error (positive), a file that is
// not a usable ELF file (0), and one with neither symbols nor line tables
// (negative, no line at all).
#include <cerrno>
#include <elf.h>
#include <gtest/gtest.h>
#include <string>

#include "diagnostics/program_file.hpp"
#include "support/scratch_dir.hpp"

namespace {

// A minimal 64-bit little-endian ELF header with no sections.
std::string elf_header_without_sections() {
    Elf64_Ehdr header = {};
    std::copy(ELFMAG, ELFMAG + SELFMAG, header.e_ident);
    header.e_ident[EI_CLASS] = ELFCLASS64;
    header.e_ident[EI_DATA] = ELFDATA2LSB;
    header.e_ident[EI_VERSION] = EV_CURRENT;
    header.e_shentsize = sizeof(Elf64_Shdr);
    return std::string(reinterpret_cast<const char*>(&header), sizeof header);
}

TEST(ProgramFile, FailureCodesByKindOfFile) {
    testing_support::ScratchDir dir;
    const std::string header = elf_header_without_sections();
    std::string sections_past_the_end = header;
    reinterpret_cast<Elf64_Ehdr*>(sections_past_the_end.data())->e_shoff = 1 << 20;
    reinterpret_cast<Elf64_Ehdr*>(sections_past_the_end.data())->e_shnum = 3;
    std::string not_elf = header;
    not_elf[0] = 'X';
    dir.write("empty", "");
    dir.write("not-elf", not_elf);
    dir.write("truncated", sections_past_the_end);
    dir.write("no-sections", header);

    using Kind = vkrt::TraceFailureKind;
    struct Case {
        const char* name;
        Kind kind;
        int error_number;
    };
    const Case cases[] = {
        {"missing", Kind::system_error, ENOENT},  {"empty", Kind::facility_error, 0},
        {"not-elf", Kind::facility_error, 0},     {"truncated", Kind::facility_error, 0},
        {"no-sections", Kind::no_debug_information, 0},
    };
    for (const Case& c : cases) {
        vkrt::ProgramFile file;
        vkrt::TraceFailure failure;
        EXPECT_FALSE(vkrt::read_program_file(dir.file(c.name).c_str(), file, failure)) << c.name;
        EXPECT_EQ(failure.kind, c.kind) << c.name;
        EXPECT_EQ(failure.error_number, c.error_number) << c.name;
        EXPECT_NE(std::string(failure.text), "") << c.name;
    }
}

TEST(ProgramFile, ThisTestProgramHasSymbolsAndLineTables) {
    vkrt::ProgramFile file;
    vkrt::TraceFailure failure;
    ASSERT_TRUE(vkrt::read_program_file("/proc/self/exe", file, failure)) << failure.text;
    EXPECT_GT(file.symtab.size, 0u);
    EXPECT_GT(file.strtab.size, 0u);
    EXPECT_GT(file.lines.line.size, 0u);
}

}  // namespace
