// The Windows side of the platform layer and the PE program file: bytes
// reach files untranslated, truncation and identity by handle, placing new
// files without replacing, kinds of names, and the test
// program's own COFF symbols and DWARF lines found through its image base.
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <io.h>
#include <string>

#include "diagnostics/symbols.hpp"
#include "diagnostics/trace_state.hpp"
#include "platform/files.hpp"
#include "support/scratch_dir.hpp"

namespace {

namespace os = vkrt::os;

TEST(WindowsFiles, BytesTruncationAndIdentity) {
    testing_support::ScratchDir dir;
    const std::string name = dir.file("f");
    const int fd = os::open_file(name.c_str(), os::OpenMode::read_write_create);
    ASSERT_GT(fd, 2);
    const std::string bytes = "1\n2\r\n\x1a" "3";
    ASSERT_EQ(os::write_at(fd, bytes.data(), bytes.size(), 0), static_cast<int64_t>(bytes.size()));
    char back[16] = {};
    ASSERT_EQ(os::read_at(fd, back, sizeof back, 0), static_cast<int64_t>(bytes.size()));
    EXPECT_EQ(std::string(back, bytes.size()), bytes);
    ASSERT_TRUE(os::truncate_file(fd, 3));
    EXPECT_EQ(os::file_size(fd), 3);
    EXPECT_EQ(testing_support::read_file(name), "1\n2");
    // Truncation leaves the position alone: the next write lands where the
    // read above ended, the gap filled with zeros.
    ASSERT_EQ(::_write(fd, "X", 1), 1);
    EXPECT_EQ(testing_support::read_file(name), std::string("1\n2\0\0\0\0X", 8));

    const int again = os::open_file(name.c_str(), os::OpenMode::read_only);
    dir.write("g", "other");
    const int other = os::open_file(dir.file("g").c_str(), os::OpenMode::read_only);
    os::FileIdentity a, b, c, by_name;
    int64_t size_a, size_b, size_c;
    ASSERT_TRUE(os::file_identity_and_size(fd, a, size_a) && os::file_identity_and_size(again, b, size_b) &&
                os::file_identity_and_size(other, c, size_c));
    ASSERT_TRUE(os::name_identity(name.c_str(), by_name));
    EXPECT_EQ(a, b);
    EXPECT_EQ(a, by_name);
    EXPECT_FALSE(a == c);
    EXPECT_EQ(os::open_file(name.c_str(), os::OpenMode::write_only_new), -1);
    EXPECT_EQ(errno, EEXIST);
    for (int open : {fd, again, other}) EXPECT_TRUE(os::close_file(open));
}

// The data tool's publication: a new file is put only where no name is, a
// replacement goes over it; what names stand for.
TEST(WindowsFiles, PlacingNewFilesAndKindsOfNames) {
    testing_support::ScratchDir dir;
    dir.write("a", "first");
    dir.write("b", "second");
    dir.write("c", "third");
    EXPECT_FALSE(os::place_new_file(dir.file("a").c_str(), dir.file("b").c_str()));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_EQ(testing_support::read_file(dir.file("b")), "second");
    EXPECT_TRUE(os::place_new_file(dir.file("a").c_str(), dir.file("new").c_str()));
    EXPECT_EQ(testing_support::read_file(dir.file("new")), "first");
    EXPECT_TRUE(os::replace_file(dir.file("c").c_str(), dir.file("b").c_str()));
    EXPECT_EQ(testing_support::read_file(dir.file("b")), "third");

    EXPECT_EQ(os::name_kind(dir.file("b").c_str()), os::NameKind::regular);
    EXPECT_EQ(os::name_kind(dir.path().c_str()), os::NameKind::directory);
    EXPECT_EQ(os::name_kind(dir.file("missing").c_str()), os::NameKind::none);
    EXPECT_EQ(os::name_kind("NUL"), os::NameKind::other);
    char target[512];
    ASSERT_TRUE(os::link_target(dir.file("b").c_str(), target, sizeof target));
    EXPECT_EQ(std::string(target), dir.file("b"));  // no link: the name itself
    EXPECT_FALSE(os::names_a_fifo(dir.file("b").c_str()));
}

__attribute__((noinline)) uintptr_t address_inside_me() {
    return reinterpret_cast<uintptr_t>(__builtin_return_address(0));
}

TEST(PeProgramFile, NamesAndLinesOfThisTestProgram) {
    ASSERT_TRUE(vkrt::trace_state_ready());
    vkrt::TraceFailure failure;
    const vkrt::ProgramFile* file = vkrt::program_tables(failure);
    ASSERT_NE(file, nullptr) << failure.text;
    EXPECT_EQ(file->link_base, 0x140000000u);  // the preferred base of a 64-bit image

    // The nearest function symbol at or below an address inside a function
    // is that function; its line is the line of the call.
    const uintptr_t here = address_inside_me();
    const int line = __LINE__ - 1;
    uint64_t link = 0;
    ASSERT_TRUE(vkrt::program_link_address(here - 1, link));
    const char* symbol = vkrt::function_symbol(*file, link);
    ASSERT_NE(symbol, nullptr);
    EXPECT_NE(std::strstr(symbol, "NamesAndLinesOfThisTestProgram"), nullptr) << symbol;
    vkrt::SourceLine where;
    ASSERT_TRUE(vkrt::find_source_line(file->lines, link, where));
    EXPECT_EQ(where.line, line);
    ASSERT_NE(where.file, nullptr);
    EXPECT_NE(std::strstr(where.file, "platform_test.cpp"), nullptr) << where.file;

    uint64_t own = 0;
    ASSERT_TRUE(vkrt::program_link_address(reinterpret_cast<uintptr_t>(&address_inside_me), own));
    const char* own_symbol = vkrt::function_symbol(*file, own);
    ASSERT_NE(own_symbol, nullptr);
    EXPECT_NE(std::strstr(own_symbol, "address_inside_me"), nullptr) << own_symbol;
}

}  // namespace
