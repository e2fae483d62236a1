#include "fileio/open_file_facts.hpp"

namespace vkrt {

bool query_open_file(int fd, OpenFileFacts& facts) {
    if (!os::file_identity(fd, facts.identity)) return false;
    facts.size = os::file_size(fd);
    return facts.size >= 0;
}

}  // namespace vkrt
