// A fuzz target that works on files by relative name runs in a scratch
// directory of its own, made under $TMPDIR (else /tmp) at start-up. Paths on
// the command line are made absolute first, and findings are written where
// the target was started unless -artifact_prefix says otherwise.
#pragma once

#include <climits>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace fuzz_support {

inline void enter_scratch_dir(int* argc, char*** argv, const char* name) {
    static std::vector<std::string> args;
    static std::vector<char*> pointers;
    char cwd[PATH_MAX];
    if (::getcwd(cwd, sizeof cwd) == nullptr) std::abort();
    bool has_prefix = false;
    for (int i = 0; i < *argc; ++i) {
        std::string arg = (*argv)[i];
        if (arg.rfind("-artifact_prefix=", 0) == 0) has_prefix = true;
        if (i > 0 && !arg.empty() && arg[0] != '-' && arg[0] != '/') arg = cwd + ("/" + arg);
        args.push_back(arg);
    }
    if (!has_prefix) args.push_back(std::string("-artifact_prefix=") + cwd + "/");
    for (std::string& arg : args) pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    *argc = static_cast<int>(args.size());
    *argv = pointers.data();

    const char* tmp = std::getenv("TMPDIR");
    std::string dir = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
    dir = dir + "/" + name + "-XXXXXX";
    if (::mkdtemp(dir.data()) == nullptr || ::chdir(dir.c_str()) != 0) std::abort();
}

}  // namespace fuzz_support
