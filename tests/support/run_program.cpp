#include "support/run_program.hpp"

#include <cerrno>
#include <filesystem>

#include "support/child_process.hpp"
#include "support/default_signals.hpp"
#include "support/forked_child.hpp"
#include "support/scratch_dir.hpp"
#include "support/windows_programs.hpp"
#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace testing_support {

namespace {

void redirect(int fd, const std::string& file) {
    const int opened = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (opened < 0) ::_exit(126);
    ::dup2(opened, fd);
    ::close(opened);
}

// A pipe whose read end is already closed: writes to it raise SIGPIPE.
void to_closed_pipe(int fd) {
    int ends[2];
    if (::pipe(ends) != 0) ::_exit(126);
    ::close(ends[0]);
    ::dup2(ends[1], fd);
    ::close(ends[1]);
}

void set_signals_and_limits(const RunOptions& options) {
    restore_default_signals();
    for (int sig : options.ignored_signals) ::signal(sig, SIG_IGN);
    if (options.file_size_limit >= 0) {
        const rlimit limit = {static_cast<rlim_t>(options.file_size_limit),
                              static_cast<rlim_t>(options.file_size_limit)};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    if (options.stack_limit >= 0) {
        const rlimit limit = {static_cast<rlim_t>(options.stack_limit),
                              static_cast<rlim_t>(options.stack_limit)};
        ::setrlimit(RLIMIT_STACK, &limit);
    }
}

[[noreturn]] void exec_child(const std::string& program, const std::string& directory,
                             const RunOptions& options, int out_fd, int err_fd) {
    // Standard input first, so that its descriptor cannot land on 1 or 2.
    int in = ::open("/dev/null", O_RDONLY);
    ::dup2(in, 0);
    if (in > 0) ::close(in);
    if (options.close_stdout) ::close(1);
    else if (!options.stdout_file.empty()) redirect(1, options.stdout_file);
    else ::dup2(out_fd, 1);
    if (options.close_stderr) ::close(2);
    else if (!options.stderr_file.empty()) redirect(2, options.stderr_file);
    else if (options.stderr_to_closed_pipe) to_closed_pipe(2);
    else ::dup2(err_fd, 2);
    set_signals_and_limits(options);
    if (::chdir(directory.c_str()) != 0) ::_exit(126);
    if (options.as_uid >= 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(static_cast<gid_t>(options.as_uid)) != 0 ||
            ::setuid(static_cast<uid_t>(options.as_uid)) != 0) {
            ::_exit(126);
        }
    }
    exec_program(program, options.arguments);
}

}  // namespace

RunResult run_program(const std::string& program, const std::string& directory,
                      const RunOptions& options) {
    return run_forked([&](int out_fd, int err_fd) { exec_child(program, directory, options, out_fd, err_fd); },
                      options.timeout_seconds, program);
}

std::string vorkane_binary() {
    return windows_programs() ? windows_build_dir() + "/vorkane.exe" : VORKANE_BIN;
}

std::string data_tool_binary() {
    return windows_programs() ? windows_build_dir() + "/vorkane-data.exe" : VORKANE_DATA_TOOL;
}

RunResult run_data_tool(const std::string& directory, const std::vector<std::string>& arguments) {
    RunOptions options;
    options.arguments = arguments;
    return run_program(data_tool_binary(), directory, options);
}

std::string batch_binary() {
    return windows_programs() ? windows_build_dir() + "/vorkane-batch.exe" : VORKANE_BATCH;
}

RunResult run_vorkane(const std::string& directory, const RunOptions& options) {
    return run_program(vorkane_binary(), directory, options);
}

RunResult run_vorkane_unprivileged(const std::string& directory, const RunOptions& options) {
    ScratchDir bin;
    const std::string copy = bin.file("vorkane");
    std::filesystem::copy_file(vorkane_binary(), copy);
    ::chmod(copy.c_str(), 0755);
    RunOptions unprivileged = options;
    if (::geteuid() == 0) unprivileged.as_uid = unprivileged_uid();
    return run_program(copy, directory, unprivileged);
}

std::string shared_data_dir() {
    struct stat st;
    const std::string dir = VORKANE_SHARED_DATA;
    return ::stat((dir + "/de440-excerpt").c_str(), &st) == 0 ? dir : std::string();
}

}  // namespace testing_support
