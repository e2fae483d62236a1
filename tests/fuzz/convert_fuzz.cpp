// libFuzzer target for the data tool's conversion. An input is cut at each
// separator line "%%next file%%" into up to four input files, converted in
// order into one output. When the input's length is odd an output file with
// known contents is there beforehand.
//
// A refused input must throw DataError (anything else thrown is a finding)
// and leave the output exactly as it was, or absent; a conversion that
// succeeds leaves a complete data file with the earlier file's mode. Either
// way the directory then holds only the inputs and the output: no temporary
// survives.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "vorkane-data/convert.hpp"
#include "vorkane-data/data_error.hpp"
#include "vorkane-data/data_layout.hpp"
#include "scratch_dir.hpp"

namespace {

constexpr char separator[] = "%%next file%%\n";
constexpr size_t max_inputs = 4;
constexpr char output[] = "out.440";
constexpr char earlier_contents[] = "an earlier output\n";
constexpr mode_t earlier_mode = 0640;

void write_file(const std::string& name, const std::string& bytes, mode_t mode) {
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0) std::abort();
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) std::abort();
        done += static_cast<size_t>(n);
    }
    if (::fchmod(fd, mode) != 0) std::abort();
    ::close(fd);
}

std::vector<std::string> split_inputs(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> parts;
    size_t at = 0;
    while (parts.size() + 1 < max_inputs) {
        const size_t cut = text.find(separator, at);
        if (cut == std::string::npos) break;
        parts.push_back(text.substr(at, cut - at));
        at = cut + sizeof separator - 1;
    }
    parts.push_back(text.substr(at));
    return parts;
}

std::set<std::string> directory_entries() {
    std::set<std::string> names;
    DIR* dir = ::opendir(".");
    if (dir == nullptr) std::abort();
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.insert(name);
    }
    ::closedir(dir);
    return names;
}

std::string contents_of(const char* name) {
    std::string bytes;
    const int fd = ::open(name, O_RDONLY | O_CLOEXEC);
    if (fd < 0) std::abort();
    char chunk[256];
    ssize_t n;
    while ((n = ::read(fd, chunk, sizeof chunk)) > 0) bytes.append(chunk, static_cast<size_t>(n));
    ::close(fd);
    return bytes;
}

void check_refused(bool had_output) {
    struct stat st;
    if (!had_output) {
        if (::lstat(output, &st) == 0) std::abort();
        return;
    }
    if (::lstat(output, &st) != 0 || !S_ISREG(st.st_mode)) std::abort();
    if ((st.st_mode & 07777) != earlier_mode) std::abort();
    if (contents_of(output) != earlier_contents) std::abort();
}

void check_converted(bool had_output) {
    struct stat st;
    if (::lstat(output, &st) != 0 || !S_ISREG(st.st_mode)) std::abort();
    if (st.st_size != vkdata::file_bytes) std::abort();
    if (had_output && (st.st_mode & 07777) != earlier_mode) std::abort();
}

void clear_directory() {
    for (const std::string& name : directory_entries()) ::unlink(name.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    clear_directory();
    const std::vector<std::string> parts = split_inputs(data, size);
    std::vector<std::string> inputs;
    std::set<std::string> expected;
    for (size_t i = 0; i < parts.size(); ++i) {
        inputs.push_back("in" + std::to_string(i));
        write_file(inputs.back(), parts[i], 0644);
        expected.insert(inputs.back());
    }
    const bool had_output = size % 2 == 1;
    if (had_output) write_file(output, earlier_contents, earlier_mode);

    bool converted = false;
    try {
        vkdata::convert_de_files(inputs, output, false);
        converted = true;
    } catch (const vkdata::DataError&) {
    }
    if (converted) check_converted(had_output);
    else check_refused(had_output);
    if (converted || had_output) expected.insert(output);
    if (directory_entries() != expected) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz_support::enter_scratch_dir(argc, argv, "vorkane-convert-fuzz");
    return 0;
}
