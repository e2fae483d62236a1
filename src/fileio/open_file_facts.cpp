#include "fileio/open_file_facts.hpp"

namespace vkrt {

bool query_open_file(int fd, OpenFileFacts& facts) {
    return os::file_identity_and_size(fd, facts.identity, facts.size);
}

}  // namespace vkrt
