// What the built program carries, as its own symbol table shows. The program
// throws nothing: should any of its code come to need the C++ exception
// machinery, the run-time's emergency exception pool would be allocated at
// every start-up, a cost paid by every run.
#include <cstdint>
#include <cstring>
#include <elf.h>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <set>
#include <string>

#include "diagnostics/program_file.hpp"
#include "support/run_program.hpp"

namespace {

// Every defined symbol with its address (the last one of a repeated name).
std::map<std::string, uint64_t> symbol_addresses(const vkrt::ProgramFile& file) {
    std::map<std::string, uint64_t> addresses;
    const auto* symbols = reinterpret_cast<const Elf64_Sym*>(file.symtab.data);
    const auto* strings = reinterpret_cast<const char*>(file.strtab.data);
    for (size_t i = 0; i < file.symtab.size / sizeof(Elf64_Sym); ++i) {
        const Elf64_Sym& symbol = symbols[i];
        if (symbol.st_shndx == SHN_UNDEF || symbol.st_name >= file.strtab.size) continue;
        addresses[strings + symbol.st_name] = symbol.st_value;
    }
    return addresses;
}

std::set<std::string> defined_symbols(const vkrt::ProgramFile& file) {
    std::set<std::string> names;
    for (const auto& [name, address] : symbol_addresses(file)) names.insert(name);
    return names;
}

// The names a PE file's COFF symbol table defines (section number above 0):
// 18-byte records, a name of up to 8 bytes in place or an offset into the
// string table that follows the records.
std::set<std::string> coff_defined_symbols(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto u32 = [&](size_t at) {
        uint32_t v = 0;
        if (at + 4 <= image.size()) std::memcpy(&v, image.data() + at, 4);
        return v;
    };
    std::set<std::string> names;
    const size_t header = u32(0x3c) + 4;  // past "PE\0\0"
    const size_t table = u32(header + 8), count = u32(header + 12);
    const size_t strings = table + count * 18;
    if (table == 0 || strings > image.size()) return names;
    for (size_t i = 0; i < count; ++i) {
        const size_t at = table + i * 18;
        int16_t section;
        std::memcpy(&section, image.data() + at + 12, 2);
        if (section > 0) {
            const std::string name = u32(at) != 0 ? std::string(image.data() + at, strnlen(image.data() + at, 8))
                                   : strings + u32(at + 4) < image.size() ? std::string(image.data() + strings + u32(at + 4))
                                                                          : std::string();
            names.insert(name);
        }
        i += static_cast<unsigned char>(image[at + 17]);  // auxiliary records
    }
    return names;
}

TEST(ProgramImage, CarriesNoExceptionMachinery) {
#ifdef VORKANE_SANITIZE
    GTEST_SKIP() << "the sanitizer build links the C++ run-time dynamically";
#endif
    std::set<std::string> names;
    if (testing_support::windows_programs()) {
        names = coff_defined_symbols(testing_support::vorkane_binary());
    } else {
        vkrt::ProgramFile file;
        vkrt::TraceFailure failure;
        ASSERT_TRUE(vkrt::read_program_file(testing_support::vorkane_binary().c_str(), file, failure))
            << failure.text;
        names = defined_symbols(file);
    }
    ASSERT_TRUE(names.count("main"));
    for (const char* name : {"__gxx_personality_v0", "__gxx_personality_seh0",
                             "__cxa_allocate_exception", "__cxa_throw"}) {
        EXPECT_FALSE(names.count(name)) << name;
    }
}

// The static Linux program starts at its own entry point, which has the pages
// of the record mapped in advance: the record's data (the polynomial values
// and the values read from the file) must lie between the ends that the link
// names, and those ends span the three pages of one record's worth, not more.
TEST(ProgramImage, TheRecordLiesWhereTheEntryPointMapsItInAdvance) {
    if (testing_support::windows_programs()) GTEST_SKIP() << "a Linux link only";
#if defined(VORKANE_SANITIZE) || !defined(VORKANE_STATIC_PROGRAM)
    GTEST_SKIP() << "only the statically linked program has its own entry point";
#endif
    vkrt::ProgramFile file;
    vkrt::TraceFailure failure;
    const std::string program = testing_support::vorkane_binary();
    ASSERT_TRUE(vkrt::read_program_file(program.c_str(), file, failure)) << failure.text;
    const std::map<std::string, uint64_t> at = symbol_addresses(file);
    Elf64_Ehdr header{};
    std::ifstream(program, std::ios::binary).read(reinterpret_cast<char*>(&header), sizeof header);
    ASSERT_TRUE(at.count("vorkane_entry"));
    EXPECT_EQ(header.e_entry, at.at("vorkane_entry"));
    const uint64_t begin = at.at("vorkane_run_record_begin"), end = at.at("vorkane_run_record_end");
    for (const char* name : {"tc", "tcp", "_ZN9ephemeris3bufE", "_ZN9ephemeris3iopE"}) {
        ASSERT_TRUE(at.count(name)) << name;
        EXPECT_GE(at.at(name), begin) << name;
        EXPECT_LT(at.at(name), end) << name;
    }
    // 1138 binary64 values and a spare one, 16 extended values twice, a
    // counter: 9628 bytes at least, in no more than three pages.
    EXPECT_GE(end - begin, 9628u);
    EXPECT_LE((end + 4095) / 4096 - begin / 4096, 3u);
}

}  // namespace
