// Progress of reading one input, on standard error: a percentage updated in
// place on a terminal, a line every tenth otherwise (large inputs only).
#pragma once

#include <cstdint>
#include <string>

namespace vkdata {

class Progress {
public:
    Progress(bool enabled, const std::string& file, int64_t bytes);
    ~Progress();  // ends a percentage left on a terminal line
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;
    void update(double fraction);
    void finish(long records, const char* verb = "read");

private:
    void show(int percent);

    bool enabled_;
    bool terminal_;
    bool lines_;
    std::string file_;
    int shown_ = -1;
    bool line_open_ = false;  // a percentage shown in place, not yet ended
};

}  // namespace vkdata
