// A fresh temporary directory for one test, removed with everything in it.
#pragma once

#include <string>

namespace testing_support {

class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

    void write(const std::string& name, const std::string& bytes) const;
    std::string read(const std::string& name) const;  // throws when missing
    bool exists(const std::string& name) const;

private:
    std::string path_;
};

// Reads a whole file; throws std::runtime_error when it cannot be read.
std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& bytes);

}  // namespace testing_support
