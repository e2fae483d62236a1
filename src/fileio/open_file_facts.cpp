#include "fileio/open_file_facts.hpp"

#include <sys/stat.h>

namespace vkrt {

bool query_open_file(int fd, OpenFileFacts& facts) {
    struct stat st;
    if (::fstat(fd, &st) != 0) return false;
    facts.identity = {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
    facts.size = static_cast<int64_t>(st.st_size);
    return true;
}

}  // namespace vkrt
