// File connections: units connected to files by name, direct-access record
// reads, sequential formatted reads and writes, and closing. Every failure
// ends the run with a run-time error report at the statement's locus.
#pragma once

#include <cstddef>
#include <cstdint>

#include "diagnostics/locus.hpp"

namespace vkrt {

enum class Access { sequential, direct };

struct Unit;

// Connects where.unit to the file `name` (kept by pointer: it must outlive the
// connection), creating it empty when missing and never truncating it. A
// sequential unit is formatted and buffered; a direct unit is unformatted and
// reads each record of `record_length` bytes straight into the caller's array.
void open_unit(const Locus& where, const char* name, Access access, int32_t record_length);

// Reads record `record` of a direct-access unit into `destination`, which
// receives exactly one record length of bytes.
void read_record(const Locus& where, int32_t record, void* destination);

// Sequential formatted reading: begin_read checks the connection and its
// direction; take_byte returns the next byte (0 to 255), or -1 at the end of
// the file (a failed read counts as the end of the file).
Unit& begin_read(const Locus& where);
int take_byte(Unit& unit);

// Sequential formatted writing: a statement is begin_write, any number of
// put_bytes, then end_write, which cuts the file after what was written when
// the connection is not at the end of the file.
Unit& begin_write(const Locus& where);
void put_bytes(Unit& unit, const char* bytes, size_t n);
void end_write(Unit& unit);

// Closes where.unit, keeping the file. A failure to write out or close a
// unit that was written to is reported at `where`; other failures are not.
void close_unit(const Locus& where);

}  // namespace vkrt
