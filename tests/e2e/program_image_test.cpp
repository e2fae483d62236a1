// What the built program carries, as its own symbol table shows. The program
// throws nothing: should any of its code come to need the C++ exception
// machinery, the run-time's emergency exception pool would be allocated at
// every start-up, a cost paid by every run.
#include <cstring>
#include <elf.h>
#include <gtest/gtest.h>
#include <set>
#include <string>

#include "diagnostics/program_file.hpp"
#include "support/run_program.hpp"

namespace {

std::set<std::string> defined_symbols(const vkrt::ProgramFile& file) {
    std::set<std::string> names;
    const auto* symbols = reinterpret_cast<const Elf64_Sym*>(file.symtab.data);
    const auto* strings = reinterpret_cast<const char*>(file.strtab.data);
    for (size_t i = 0; i < file.symtab.size / sizeof(Elf64_Sym); ++i) {
        const Elf64_Sym& symbol = symbols[i];
        if (symbol.st_shndx == SHN_UNDEF || symbol.st_name >= file.strtab.size) continue;
        names.insert(strings + symbol.st_name);
    }
    return names;
}

TEST(ProgramImage, CarriesNoExceptionMachinery) {
#ifdef VORKANE_SANITIZE
    GTEST_SKIP() << "the sanitizer build links the C++ run-time dynamically";
#endif
    vkrt::ProgramFile file;
    vkrt::TraceFailure failure;
    ASSERT_TRUE(vkrt::read_program_file(testing_support::vorkane_binary().c_str(), file, failure))
        << failure.text;
    const std::set<std::string> names = defined_symbols(file);
    ASSERT_TRUE(names.count("main"));
    for (const char* name : {"__gxx_personality_v0", "__cxa_allocate_exception", "__cxa_throw"}) {
        EXPECT_FALSE(names.count(name)) << name;
    }
}

}  // namespace
