// Runs a program in a directory and captures what it leaves behind.
#pragma once

#include <string>
#include <vector>

#include "support/windows_programs.hpp"

namespace testing_support {

struct RunResult {
    int exit_status = -1;  // when it exited
    int signal = 0;        // when a signal ended it
    std::string out;       // standard output
    std::string err;       // standard error
};

struct RunOptions {
    std::vector<std::string> arguments;  // after argv[0]
    int as_uid = -1;                     // run as this user when >= 0 (root only)
    bool close_stdout = false;           // start with descriptor 1 closed
    bool close_stderr = false;           // start with descriptor 2 closed
    int timeout_seconds = 60;            // then the child is killed and the test fails
    std::string stdout_file;             // standard output to this file instead (e.g. /dev/full)
    std::string stderr_file;             // standard error to this file instead
    bool stderr_to_closed_pipe = false;  // standard error a pipe nobody reads
    std::vector<int> ignored_signals;    // ignored from the start (others at their defaults)
    long file_size_limit = -1;           // RLIMIT_FSIZE in bytes when >= 0
    long stack_limit = -1;               // RLIMIT_STACK in bytes when >= 0
};

RunResult run_program(const std::string& program, const std::string& directory,
                      const RunOptions& options = {});

// The built vorkane program.
std::string vorkane_binary();
RunResult run_vorkane(const std::string& directory, const RunOptions& options = {});

// The built data tool, vorkane-data, and a run of it with these arguments.
std::string data_tool_binary();
RunResult run_data_tool(const std::string& directory, const std::vector<std::string>& arguments);
std::string batch_binary();

// Runs a copy of vorkane as an unprivileged user (when the tests run as root),
// so that file permissions bite; the copy lives outside `directory`, where
// that user can reach it whatever the permissions of the build tree.
RunResult run_vorkane_unprivileged(const std::string& directory, const RunOptions& options = {});

// The folder of shared DE440 excerpts and reference outputs, or "" when it is
// not there.
std::string shared_data_dir();

}  // namespace testing_support
