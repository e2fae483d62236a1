// Formatted write statements under a format of one repeated G descriptor,
// such as "(g25.16)" or "(3g25.16)", with format reversion and CR LF after
// every record.
#pragma once

#include <cstddef>

#include "diagnostics/locus.hpp"
#include "textio/g_editor.hpp"

namespace vkrt {

// Where the bytes of a statement's records go.
struct ByteSink {
    void (*put)(void* context, const char* bytes, size_t n);
    void* context;
};

// The editing settings in force for the program's statements: sign_zero and
// allow_std from the start-up settings; optional_plus off.
EditSettings statement_edit_settings();

// Applies the format to the values in order and sends the records, each
// ended by CR LF, to the sink. False, with nothing sent, when the format is
// not of the shape "(rGw.d)".
bool write_records(const char* format, const long double* values, int count,
                   const EditSettings& settings, const ByteSink& sink);

// The write statement on unit where.unit: the records are appended at the
// connection's position, then the file is cut after them when needed.
void write_formatted(const Locus& where, const char* format, const long double* values,
                     int count);

}  // namespace vkrt
