// The file system on Windows, through the C run-time's descriptors: _open in
// binary mode, positional transfers by seek and transfer (the program has one
// thread), and the handle behind a descriptor for truncation and identity.
#include "platform/files.hpp"

#include <cerrno>
#include <climits>
#include <cstring>
#include <cwchar>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

namespace vkrt::os {

namespace {

// A descriptor that landed on a closed standard stream is duplicated until
// the copy lies above the three; the standard ones stay closed.
int above_standard_streams(int fd) {
    int held[3];
    int count = 0;
    while (fd >= 0 && fd <= 2 && count < 3) {
        held[count++] = fd;
        fd = ::_dup(fd);
    }
    const int error = errno;
    for (int i = 0; i < count; ++i) ::_close(held[i]);
    errno = error;
    return fd;
}

int open_flags(OpenMode mode) {
    switch (mode) {
    case OpenMode::read_write_create: return _O_RDWR | _O_CREAT;
    case OpenMode::read_only:
    case OpenMode::read_only_no_wait: return _O_RDONLY;  // opens never wait here
    case OpenMode::write_only_create: return _O_WRONLY | _O_CREAT;
    case OpenMode::write_only_new: return _O_WRONLY | _O_CREAT | _O_EXCL;
    case OpenMode::read_write_new: return _O_RDWR | _O_CREAT | _O_EXCL;
    }
    return _O_RDONLY;
}

HANDLE handle_of(int fd) { return reinterpret_cast<HANDLE>(::_get_osfhandle(fd)); }

int errno_of(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_INVALID_HANDLE: return EBADF;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return ENOMEM;
    default: return EIO;
    }
}

bool failed_with_last_error() {
    errno = errno_of(::GetLastError());
    return false;
}

unsigned transfer_size(size_t n) { return n > INT_MAX ? INT_MAX : static_cast<unsigned>(n); }

// A UTF-8 path as the wide string the system's file functions take.
bool wide_path(const char* path, wchar_t* into, int capacity) {
    return ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, into, capacity) > 0;
}

}  // namespace

int open_file(const char* name, OpenMode mode) {
    int fd;
    do {
        fd = ::_open(name, open_flags(mode) | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
    } while (fd < 0 && errno == EINTR);
    return above_standard_streams(fd);
}

bool close_file(int fd) { return ::_close(fd) == 0; }

int64_t read_at(int fd, void* into, size_t n, int64_t offset) {
    if (::_lseeki64(fd, offset, SEEK_SET) < 0) return -1;
    return ::_read(fd, into, transfer_size(n));
}

int64_t write_at(int fd, const void* bytes, size_t n, int64_t offset) {
    if (::_lseeki64(fd, offset, SEEK_SET) < 0) return -1;
    return ::_write(fd, bytes, transfer_size(n));
}

int64_t file_size(int fd) { return ::_filelengthi64(fd); }

// Setting the end-of-file mark by handle leaves the file position alone.
bool truncate_file(int fd, int64_t length) {
    const HANDLE handle = handle_of(fd);
    if (handle == INVALID_HANDLE_VALUE) return errno = EBADF, false;
    FILE_END_OF_FILE_INFO end = {};
    end.EndOfFile.QuadPart = length;
    if (!::SetFileInformationByHandle(handle, FileEndOfFileInfo, &end, sizeof end)) {
        return failed_with_last_error();
    }
    return true;
}

bool regular_file(int fd) {
    struct _stati64 st;
    return ::_fstati64(fd, &st) == 0 && (st.st_mode & _S_IFMT) == _S_IFREG;
}

bool sync_file(int fd) {
    const HANDLE handle = handle_of(fd);
    if (handle == INVALID_HANDLE_VALUE) return errno = EBADF, false;
    return ::FlushFileBuffers(handle) ? true : failed_with_last_error();
}

bool replace_file(const char* from, const char* to) {
    wchar_t wide_from[MAX_PATH * 4], wide_to[MAX_PATH * 4];
    if (!wide_path(from, wide_from, MAX_PATH * 4) || !wide_path(to, wide_to, MAX_PATH * 4)) {
        return errno = ENOENT, false;
    }
    if (!::MoveFileExW(wide_from, wide_to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return failed_with_last_error();
    }
    return true;
}

// A move without MOVEFILE_REPLACE_EXISTING fails where the name is taken.
bool place_new_file(const char* from, const char* to) {
    wchar_t wide_from[MAX_PATH * 4], wide_to[MAX_PATH * 4];
    if (!wide_path(from, wide_from, MAX_PATH * 4) || !wide_path(to, wide_to, MAX_PATH * 4)) {
        return errno = ENOENT, false;
    }
    if (!::MoveFileExW(wide_from, wide_to, MOVEFILE_WRITE_THROUGH)) return failed_with_last_error();
    return true;
}

// Opened for no access at all (links followed), so that any file, directory
// or device can be asked.
NameKind name_kind(const char* path) {
    wchar_t wide[MAX_PATH * 4];
    if (!wide_path(path, wide, MAX_PATH * 4)) return NameKind::none;
    const HANDLE handle = ::CreateFileW(wide, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return NameKind::none;
    BY_HANDLE_FILE_INFORMATION info;
    NameKind kind = NameKind::other;
    if (::GetFileType(handle) == FILE_TYPE_DISK && ::GetFileInformationByHandle(handle, &info)) {
        kind = info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? NameKind::directory : NameKind::regular;
    }
    ::CloseHandle(handle);
    return kind;
}

// A name that is a symbolic link (a reparse point) stands for the file the
// system reaches through it: its final path, without the \\?\ prefix.
bool link_target(const char* path, char* into, size_t capacity) {
    wchar_t wide[MAX_PATH * 4];
    if (!wide_path(path, wide, MAX_PATH * 4)) return errno = ENOENT, false;
    const DWORD attributes = ::GetFileAttributesW(wide);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        if (std::strlen(path) >= capacity) return errno = ENAMETOOLONG, false;
        std::memcpy(into, path, std::strlen(path) + 1);
        return true;
    }
    const HANDLE handle = ::CreateFileW(wide, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return failed_with_last_error();
    wchar_t final_path[MAX_PATH * 4];
    const DWORD n = ::GetFinalPathNameByHandleW(handle, final_path, MAX_PATH * 4, VOLUME_NAME_DOS);
    ::CloseHandle(handle);
    if (n == 0 || n >= MAX_PATH * 4) return errno = n == 0 ? EIO : ENAMETOOLONG, false;
    const wchar_t* name = final_path;
    if (std::wcsncmp(name, L"\\\\?\\", 4) == 0) name += 4;
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, name, -1, into, static_cast<int>(capacity),
                                            nullptr, nullptr);
    if (bytes <= 0) return errno = ENAMETOOLONG, false;
    return true;
}

bool make_directory(const char* path) {
    wchar_t wide[MAX_PATH * 4];
    if (!wide_path(path, wide, MAX_PATH * 4)) return errno = ENOENT, false;
    if (!::CreateDirectoryW(wide, nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) {
        return failed_with_last_error();
    }
    const DWORD attributes = ::GetFileAttributesW(wide);
    if (attributes == INVALID_FILE_ATTRIBUTES) return failed_with_last_error();
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return errno = ENOTDIR, false;
    return true;
}

bool name_exists(const char* path) {
    wchar_t wide[MAX_PATH * 4];
    return wide_path(path, wide, MAX_PATH * 4) && ::GetFileAttributesW(wide) != INVALID_FILE_ATTRIBUTES;
}

namespace {

bool handle_identity(HANDLE handle, FileIdentity& identity) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(handle, &info)) return failed_with_last_error();
    identity = FileIdentity{info.dwVolumeSerialNumber,
                            (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
    return true;
}

}  // namespace

bool file_identity_and_size(int fd, FileIdentity& identity, int64_t& size) {
    const HANDLE handle = handle_of(fd);
    if (handle == INVALID_HANDLE_VALUE) return errno = EBADF, false;
    if (!handle_identity(handle, identity)) return false;
    size = file_size(fd);
    return size >= 0;
}

// Opened for no access at all, so that any file (or directory) can be asked.
bool name_identity(const char* path, FileIdentity& identity) {
    wchar_t wide[MAX_PATH * 4];
    if (!wide_path(path, wide, MAX_PATH * 4)) return errno = ENOENT, false;
    const HANDLE handle = ::CreateFileW(wide, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return failed_with_last_error();
    const bool known = handle_identity(handle, identity);
    ::CloseHandle(handle);
    return known;
}

// Named pipes live in their own name space (\\.\pipe\), never beside the
// program's files: no name it opens is a FIFO, and the rest is never called.
bool names_a_fifo(const char*) { return false; }

int open_fifo_for_reading(const char*) { return errno = ENOSYS, -1; }

bool await_fifo_writer(int) { return errno = ENOSYS, false; }

int open_fifo_for_writing(const char*) { return errno = ENOSYS, -1; }

MappedFile map_file(const char* path) {
    MappedFile file;
    wchar_t wide[MAX_PATH * 4];
    if (!wide_path(path, wide, MAX_PATH * 4)) return file.error = ENOENT, file;
    const HANDLE handle = ::CreateFileW(wide, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return failed_with_last_error(), file.error = errno, file;
    file.opened = true;
    LARGE_INTEGER size = {};
    HANDLE mapping = nullptr;
    if (::GetFileSizeEx(handle, &size) && size.QuadPart > 0) {
        mapping = ::CreateFileMappingW(handle, nullptr, PAGE_READONLY, 0, 0, nullptr);
    }
    const void* view = mapping != nullptr ? ::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0) : nullptr;
    const DWORD error = ::GetLastError();
    if (mapping != nullptr) ::CloseHandle(mapping);  // the view keeps the mapping
    ::CloseHandle(handle);
    if (view == nullptr) return file.error = size.QuadPart > 0 ? errno_of(error) : 0, file;
    file.data = static_cast<const uint8_t*>(view);
    file.size = static_cast<size_t>(size.QuadPart);
    return file;
}

}  // namespace vkrt::os
