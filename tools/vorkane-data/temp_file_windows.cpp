// The temporary file on Windows: a new name chosen from the pattern, and a
// console control handler that removes the file when Ctrl+C, Ctrl+Break or
// the closing console ends the tool (the handler then lets the default
// handling end the process). There are no POSIX signals to watch.
#include "vorkane-data/temp_file.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <windows.h>

#include "platform/files.hpp"

namespace vkdata {

namespace {

char pending_temp[MAX_PATH * 4];
bool watching = false;

BOOL WINAPI remove_pending(DWORD) {
    if (pending_temp[0] != '\0') std::remove(pending_temp);
    return FALSE;  // the next handler, in the end the default one, ends the tool
}

// Six characters that differ from run to run and from try to try.
void fill_name(char* x, unsigned attempt) {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    unsigned long long seed = ::GetTickCount64() ^ (uint64_t{::GetCurrentProcessId()} << 20);
    seed += attempt * 0x9E3779B97F4A7C15ull;
    for (int i = 0; i < 6; ++i) {
        seed = seed * 6364136223846793005ull + 1442695040888963407ull;
        x[i] = letters[(seed >> 33) % 36];
    }
}

}  // namespace

int create_watched_temp(std::string& pattern) {
    if (pattern.size() < 6 || pattern.size() >= sizeof pending_temp) return errno = EINVAL, -1;
    char* x = pattern.data() + pattern.size() - 6;
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        fill_name(x, attempt);
        const int fd = vkrt::os::open_file(pattern.c_str(), vkrt::os::OpenMode::read_write_new);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd >= 0) {
            std::memcpy(pending_temp, pattern.c_str(), pattern.size() + 1);
            watching = ::SetConsoleCtrlHandler(remove_pending, TRUE) != 0;
        }
        return fd;
    }
    return errno = EEXIST, -1;
}

void unwatch_temp() {
    if (watching) ::SetConsoleCtrlHandler(remove_pending, FALSE);
    watching = false;
    pending_temp[0] = '\0';
}

bool give_output_mode(int, const std::string&) { return true; }

}  // namespace vkdata
