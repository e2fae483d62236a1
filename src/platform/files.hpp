// The file system as the connection layer needs it, the same on every
// platform: opening by name with creation, positional reads, the size, the
// position and truncation of an open file, and a file's identity. Descriptors
// are the C run-time's; errors are reported through errno, with the C
// run-time's codes and texts.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vkrt::os {

enum class OpenMode {
    read_write_create,  // read and write, creating an empty file when missing
    read_only,          // read only, never creating
    read_only_no_wait,  // read only, never creating, the open never waiting (a FIFO)
    write_only_create,  // write only, creating an empty file when missing
    write_only_new,     // write only, creating the file; fails when the name exists
    read_write_new,     // read and write, creating the file; fails when the name exists
};

// Opens `name` in binary mode (no line-end translation), not inherited by
// child processes, never truncating; a created file gets read and write
// permission for everyone the process's creation mask allows (0666). Retries
// after interruptions. The descriptor is never 0, 1 or 2, so a file cannot
// take the place of a closed standard stream. Returns -1 with errno set.
int open_file(const char* name, OpenMode mode);

// Closes a descriptor; false with errno set when the close reports a failure.
bool close_file(int fd);

// Reads up to n bytes at `offset`: the count read (0 at the end of the file)
// or -1 with errno set. One system call; the caller loops.
int64_t read_at(int fd, void* into, size_t n, int64_t offset);

// Reads n bytes at `offset`, looping over short reads and interruptions: the
// count read (short only at the end of the file) or -1 with errno set.
int64_t read_fully_at(int fd, char* into, size_t n, int64_t offset);

// Writes up to n bytes at `offset`: the count written or -1 with errno set.
int64_t write_at(int fd, const void* bytes, size_t n, int64_t offset);

// The size of an open file, or -1 with errno set.
int64_t file_size(int fd);

// Cuts (or extends) an open file to `length` bytes, retrying after
// interruptions; false with errno set.
bool truncate_file(int fd, int64_t length);

// What tells one file from another whatever name it was opened by: device
// and inode, or volume serial number and file index.
struct FileIdentity {
    uint64_t volume = 0;
    uint64_t file = 0;
    bool operator==(const FileIdentity&) const = default;
};

// True when the open file is a regular file (not a directory, device or
// pipe); false with errno set when it cannot be examined.
bool regular_file(int fd);

// Writes the file's data through to the device; false with errno set.
bool sync_file(int fd);

// Replaces `to` by `from` in one step (a rename over an existing file);
// false with errno set.
bool replace_file(const char* from, const char* to);

// Puts `from` in place as `to` only where no file has that name, so that one
// appearing meanwhile is never replaced; false with errno set (EEXIST when
// one is there). Durable like replace_file.
bool place_new_file(const char* from, const char* to);

// What a name stands for, links followed: nothing (or nothing that can be
// examined), a regular file, a directory, or something else (a FIFO, a
// device).
enum class NameKind { none, regular, directory, other };
NameKind name_kind(const char* path);

// The name of the file `path` stands for: its symbolic links followed to
// their target (at most 40 of them), `path` itself when it is no link.
// Nothing is written and false is returned with errno set when a link
// cannot be followed.
bool link_target(const char* path, char* into, size_t capacity);

// Creates the directory (or finds it there); false with errno set when
// there is no directory by that name afterwards.
bool make_directory(const char* path);

// True when something (a file, a directory, a link) has this name.
bool name_exists(const char* path);

// The identity and the size of an open file, asked of the system once;
// false with errno set.
bool file_identity_and_size(int fd, FileIdentity& identity, int64_t& size);

// The identity of the file a name stands for (links followed); false with
// errno set when there is none.
bool name_identity(const char* path, FileIdentity& identity);

// FIFOs. Opened for reading and writing, a FIFO would count the program
// itself as a writer and never show the end of its data, so it is opened
// for reading without waiting, and the first transfer settles the
// direction. Where there are no FIFOs by name, no name is one. The
// descriptors, like open_file's, are never 0, 1 or 2.

// Whether `name` is a FIFO (checked before any open).
bool names_a_fifo(const char* name);

// Opens the FIFO for reading without waiting for a writer; -1 with errno
// set on failure.
int open_fifo_for_reading(const char* name);

// Before the first read: waits until a writer has sent data or has come and
// gone, then lets reads wait for data again. False with errno set on failure.
bool await_fifo_writer(int fd);

// Before the first write: the FIFO opened for writing (waiting for a
// reader); -1 with errno set on failure.
int open_fifo_for_writing(const char* name);

// A whole file mapped read-only for the rest of the process. When it cannot
// be, `data` is null, `opened` tells whether the file could be opened and
// `error` is the errno code of the failure (0 for an empty file).
struct MappedFile {
    const uint8_t* data = nullptr;
    size_t size = 0;
    bool opened = false;
    int error = 0;
};
MappedFile map_file(const char* path);

}  // namespace vkrt::os
