// What the connection layer asks of a file it has just opened: which file
// it is (so that no file is held by two units) and whether it is empty.
#pragma once

#include <cstdint>

#include "platform/files.hpp"

namespace vkrt {

// Device and inode, or volume serial number and file index; a file number
// of 0 means the system gave none.
using FileIdentity = os::FileIdentity;

struct OpenFileFacts {
    FileIdentity identity;
    int64_t size = 0;
};

// The facts of the open file `fd`; false when the system cannot tell.
bool query_open_file(int fd, OpenFileFacts& facts);

// True only when both identities are known and name the same file.
inline bool same_file(const FileIdentity& a, const FileIdentity& b) {
    return a.file != 0 && a == b;
}

}  // namespace vkrt
