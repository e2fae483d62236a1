// The table of connected units, shared by the connection layer's files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <sys/types.h>

#include "fileio/open_file_facts.hpp"
#include "fileio/units.hpp"

namespace vkrt {

enum class Direction { read_write, read_only, write_only };

struct Unit {
    int number = 0;  // 0: slot free
    int fd = -1;
    const char* name = nullptr;
    FileIdentity identity;        // which file the unit holds
    Direction direction = Direction::read_write;
    int32_t record_length = 0;
    int64_t size_at_connection = -1;  // direct: the size when connected, until the first read
    bool at_end_of_file = false;  // sequential: the connection is at the end
    bool wrote = false;           // something was written through this unit
    bool read_exhausted = false;  // sequential read met the end of the file
    bool fifo_pending = false;    // a FIFO whose direction its first transfer settles
    Locus last_statement{};       // the latest statement on this unit
    char* buffer = nullptr;  // used by sequential units only
    size_t capacity = 0;
    size_t fill = 0;      // bytes held in the buffer
    size_t consumed = 0;  // bytes of the buffer already taken (reading)
    int64_t offset = 0;   // the descriptor's offset: what reads and writes moved it by
};

inline constexpr size_t formatted_buffer_size = 8192;

// The connected unit with this number, or nullptr.
Unit* find_unit(int number);

// A free slot with its buffer, or nullptr when every slot is taken.
Unit* new_unit(int number);

// Looks up the statement's unit; reports "Unattached unit" when none.
Unit& connected_unit(const Locus& where);

// A connected unit other than `self` that holds this file, or nullptr.
Unit* unit_holding(const FileIdentity& identity, const Unit* self);

// The first transfer on a FIFO unit: reading waits for a writer, writing
// reopens the FIFO for writing; failures are reported at `where`.
void settle_fifo_direction(Unit& unit, Direction direction, const Locus& where);

// Writes out the buffer of a unit; false with errno set on failure.
bool flush_unit(Unit& unit);

// Writes out and closes a unit's file; the unit stays in the table (with no
// file) so that a report can still name it. False with errno set when the
// write-out or the close failed.
bool flush_and_close(Unit& unit);

// Frees the slot of a unit whose file is closed.
void free_unit(Unit& unit);

// Closes every unit still connected; runs as an exit handler, so the
// descriptors of units that wrote nothing are left to the process's end.
void close_all_units();

}  // namespace vkrt
