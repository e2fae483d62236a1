// The standard streams in binary mode: dates are read byte for byte and the
// records' CR LF must not be translated.
#pragma once

#include <cstdio>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace batch {

inline std::FILE* binary_stdin() {
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    return stdin;
}

inline std::FILE* binary_stdout() {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    return stdout;
}

}  // namespace batch
