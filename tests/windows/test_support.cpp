// The few test helpers the cross-built unit tests use, on Windows: scratch
// directories, whole-file reads and writes, the shared data folder. (The
// Linux helpers build on mkdtemp and fork, which Windows does not have.)
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "support/run_program.hpp"
#include "support/scratch_dir.hpp"

namespace testing_support {

ScratchDir::ScratchDir() {
    std::random_device seed;
    std::mt19937_64 random(seed());
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path candidate = base / ("vorkane-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(candidate)) {
            path_ = candidate.string();
            return;
        }
    }
    throw std::runtime_error("cannot create a scratch directory");
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void ScratchDir::write(const std::string& name, const std::string& bytes) const {
    write_file(file(name), bytes);
}

std::string ScratchDir::read(const std::string& name) const { return read_file(file(name)); }

bool ScratchDir::exists(const std::string& name) const {
    std::error_code ignored;
    return std::filesystem::exists(file(name), ignored);
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void write_file(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::string shared_data_dir() {
    const std::string dir = VORKANE_SHARED_DATA;
    std::error_code ignored;
    return std::filesystem::is_directory(dir + "/de440-excerpt", ignored) ? dir : std::string();
}

}  // namespace testing_support
