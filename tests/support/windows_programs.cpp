#include "support/windows_programs.hpp"

#include <cstdlib>
#include <unistd.h>

namespace testing_support {

std::string windows_build_dir() {
    const char* dir = std::getenv("VORKANE_WINDOWS_BUILD");
    return dir != nullptr ? dir : "";
}

bool windows_programs() { return !windows_build_dir().empty(); }

void exec_program(const std::string& program, const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    const bool through_wine = program.size() > 4 && program.compare(program.size() - 4, 4, ".exe") == 0;
    if (through_wine) argv.push_back(const_cast<char*>("wine"));
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
}

}  // namespace testing_support
