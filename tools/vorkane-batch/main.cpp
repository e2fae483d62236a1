// vorkane-batch [-d DATA] [-o OUT] [INPUT]: for each date of INPUT (standard
// input by default), one a line, the 1567 bytes vorkane.out holds after a run
// of the program with that date, all in one process. A line the program would
// write no output for is reported on standard error as
// "vorkane-batch: line N: MESSAGE" and skipped; the status is then 1. Usage
// errors and files that cannot be used give status 2.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "date_line.hpp"
#include "platform/process.hpp"
#include "state_records.hpp"
#include "vorkane.h"

namespace {

constexpr const char usage[] = "usage: vorkane-batch [-d DATA] [-o OUT] [INPUT]\n";
// Output is handed on in blocks of about this size.
constexpr size_t flush_size = 1 << 16;

struct Options {
    const char* data = "15502650.440";
    const char* output = nullptr;  // standard output
    const char* input = nullptr;   // standard input
};

// False on a usage error.
bool parse_arguments(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool option = arg.size() > 1 && arg[0] == '-';
        if ((arg == "-d" || arg == "-o") && i + 1 < argc) {
            (arg == "-d" ? options.data : options.output) = argv[++i];
        } else if (option || options.input != nullptr) {
            return false;
        } else {
            options.input = argv[i];
        }
    }
    return true;
}

int fail(const char* what, const char* name, int error) {
    std::fprintf(stderr, "vorkane-batch: %s '%s': %s\n", what, name, std::strerror(error));
    return 2;
}

// The next line with its line feed, if any; false at the end of the input.
bool read_line(std::FILE* in, std::string& line) {
    line.clear();
    int c;
    while ((c = std::getc(in)) != EOF) {
        line.push_back(static_cast<char>(c));
        if (c == '\n') break;
    }
    return !line.empty();
}

// What the program reports where the library returns a status: a NaN date
// reaches the program's record read, which refuses the record number.
std::string status_message(int status, const long double& date, int read_error) {
    if (status == VORKANE_DATE_OUT_OF_RANGE && std::isnan(date))
        return "Record number must be positive";
    if (status == VORKANE_READ_FAILED) return std::strerror(read_error);
    return vorkane_status_text(status);
}

class Batch {
public:
    Batch(vorkane_ephemeris* eph, std::FILE* out) : eph_(eph), out_(out) {
        records_.reserve(flush_size + 2048);
    }

    // One input line; false when it is reported as bad.
    bool take(const std::string& line, long line_number) {
        if (batch::is_blank_line(line)) return true;
        long double date;
        std::string message;
        if (batch::read_date(line, date, message)) {
            long double state[66];
            const int status = vorkane_state(eph_, date, state);
            if (status == VORKANE_OK) {
                batch::append_state_records(date, state, records_);
                return records_.size() < flush_size || flush();
            }
            message = status_message(status, date, errno);
        }
        // Output so far goes first, so that a shared destination keeps the
        // order of the lines.
        flush();
        std::fprintf(stderr, "vorkane-batch: line %ld: %s\n", line_number, message.c_str());
        return false;
    }

    // Hands the records on; false (with errno) when the output fails.
    bool flush() {
        if (!records_.empty() && std::fwrite(records_.data(), 1, records_.size(), out_) != records_.size())
            failed_ = true;
        records_.clear();
        if (std::fflush(out_) != 0) failed_ = true;
        return !failed_;
    }

    bool output_failed() const { return failed_; }

private:
    vorkane_ephemeris* eph_;
    std::FILE* out_;
    std::string records_;
    bool failed_ = false;
};

int run(const Options& options, vorkane_ephemeris* eph, std::FILE* in, std::FILE* out) {
    const char* out_name = options.output != nullptr ? options.output : "standard output";
    Batch batch(eph, out);
    std::string line;
    bool any_bad = false;
    for (long line_number = 1; read_line(in, line); ++line_number) {
        if (!batch.take(line, line_number)) any_bad = true;
        if (batch.output_failed()) return fail("cannot write", out_name, errno);
    }
    if (std::ferror(in)) return fail("cannot read", options.input ? options.input : "standard input", errno);
    if (!batch.flush()) return fail("cannot write", out_name, errno);
    return any_bad ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    // Dates are read byte for byte, the records' CR LF and the messages'
    // line ends are written as they are.
    vkrt::os::use_binary_standard_streams();
    vkrt::os::use_binary_standard_input();
    Options options;
    if (!parse_arguments(argc, argv, options)) {
        std::fputs(usage, stderr);
        return 2;
    }
    vorkane_ephemeris* eph = nullptr;
    if (const int error = vorkane_open(options.data, &eph); error != 0)
        return fail("cannot open data file", options.data, error);

    const bool from_stdin = options.input == nullptr || std::strcmp(options.input, "-") == 0;
    std::FILE* in = from_stdin ? stdin : std::fopen(options.input, "rb");
    std::FILE* out = in == nullptr ? nullptr
                     : options.output == nullptr ? stdout : std::fopen(options.output, "wb");
    if (out == nullptr) {
        // The handle is closed on this way out too.
        const int error = errno;
        vorkane_close(eph);
        if (in != nullptr && in != stdin) std::fclose(in);
        return fail("cannot open", in == nullptr ? options.input : options.output, error);
    }

    int status = run(options, eph, in, out);
    if (out != stdout && std::fclose(out) != 0 && status != 2) status = fail("cannot write", options.output, errno);
    vorkane_close(eph);
    return status;
}
