// Data files through the platform layer: opened read-only, the size asked
// of the open file, a record read at its offset (pread on Linux; on Windows
// a seek and a read, a handle being used by one thread at a time).
#include "library/data_file.hpp"

#include <cerrno>

#include "platform/files.hpp"

namespace vorkane_library {

int open_data_file(const char* path, int* fd) {
    const int opened = vkrt::os::open_file(path, vkrt::os::OpenMode::read_only);
    // Linux opens a directory for reading, Windows refuses it: either way
    // a directory is EISDIR.
    const bool directory = (opened < 0 || !vkrt::os::regular_file(opened)) &&
                           vkrt::os::name_kind(path) == vkrt::os::NameKind::directory;
    const int error = directory ? EISDIR : errno;
    if (opened < 0 || directory) {
        if (opened >= 0) vkrt::os::close_file(opened);
        return error;
    }
    *fd = opened;
    return 0;
}

void close_data_file(int fd) { vkrt::os::close_file(fd); }

RecordRead read_data_record(int fd, int32_t number, int32_t bytes, void* destination) {
    if (number < 1) return RecordRead::missing;
    const int64_t offset = static_cast<int64_t>(number - 1) * bytes;
    const int64_t size = vkrt::os::file_size(fd);
    if (size < 0) return RecordRead::failed;
    if (offset >= size || size - offset < bytes) return RecordRead::missing;
    const int64_t got = vkrt::os::read_fully_at(fd, static_cast<char*>(destination), static_cast<size_t>(bytes), offset);
    if (got < 0) return RecordRead::failed;
    return got < bytes ? RecordRead::missing : RecordRead::done;
}

}  // namespace vorkane_library
