// Progress lines on standard error.
#include "vorkane-data/progress.hpp"

#include <cstdio>
#include <unistd.h>

namespace vkdata {

namespace {
constexpr int64_t large_input = 8 << 20;
}

Progress::Progress(bool enabled, const std::string& file, int64_t bytes)
    : enabled_(enabled), terminal_(::isatty(2) == 1), lines_(bytes >= large_input), file_(file) {}

Progress::~Progress() {
    if (line_open_) std::fputc('\n', stderr);  // a message after it starts on its own line
}

void Progress::show(int percent) {
    line_open_ = terminal_;
    if (terminal_) std::fprintf(stderr, "\r%s: %3d%%", file_.c_str(), percent);
    else std::fprintf(stderr, "%s: %d%%\n", file_.c_str(), percent);
    std::fflush(stderr);
}

void Progress::update(double fraction) {
    if (!enabled_) return;
    const int percent = static_cast<int>(fraction * 100.0);
    const int step = terminal_ ? 1 : 10;
    if (!terminal_ && !lines_) return;
    if (percent / step == shown_ / step || percent >= 100) return;
    shown_ = percent;
    show(percent);
}

void Progress::finish(long records, const char* verb) {
    if (!enabled_) return;
    if (terminal_) std::fprintf(stderr, "\r");
    line_open_ = false;
    std::fprintf(stderr, "%s: %ld data records %s\n", file_.c_str(), records, verb);
    std::fflush(stderr);
}

}  // namespace vkdata
