// vorkane-data: makes the program's data file 15502650.440 from published
// DE files, checks a data file, shows an output file as a table, or prepares
// a demo run directory with an approximate data file.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/process.hpp"
#include "vorkane-data/check.hpp"
#include "vorkane-data/convert.hpp"
#include "vorkane-data/data_error.hpp"
#include "vorkane-data/data_layout.hpp"
#include "vorkane-data/demo_file.hpp"
#include "vorkane-data/published_file.hpp"
#include "vorkane-data/show.hpp"

namespace {

constexpr int status_failed = 1;
constexpr int status_usage = 2;

const char usage_text[] =
    "usage: vorkane-data convert -o OUTPUT INPUT...\n"
    "           make OUTPUT (the program's 15502650.440) from DE440 files: binary files\n"
    "           (linux_p1550p2650.440 or parts), or header.440 followed by ASCII data files\n"
    "       vorkane-data check FILE\n"
    "           report the records a data file holds; status 0 only when well-formed\n"
    "       vorkane-data show [FILE]\n"
    "           print the program's output FILE (default vorkane.out) as a table: the date,\n"
    "           and for each body its position, distance, velocity and speed\n"
    "       vorkane-data demo DIR\n"
    "           write DIR/vorkane.in and an APPROXIMATE DIR/15502650.440 fitted from mean\n"
    "           orbits (not DE440: planets within about 0.02 au near 2000)\n"
    "       vorkane-data help | --help | -h     this text\n"
    "       vorkane-data --version              the version\n"
    "status: 0 done, 1 failed (the message says why), 2 wrong usage\n";

#ifndef VORKANE_VERSION
#define VORKANE_VERSION "unknown"
#endif

int usage() {
    std::fputs(usage_text, stderr);
    return status_usage;
}

int help() {
    std::fputs(usage_text, stdout);
    return 0;
}

void print_runs(const vkdata::ConvertResult& result) {
    for (size_t i = 0; i < result.runs.size() && i < 20; ++i) {
        std::printf("%sJD %.1f to %.1f", i ? ", " : "",
                    vkdata::first_date + vkdata::record_days * (result.runs[i].first - 1),
                    vkdata::first_date + vkdata::record_days * result.runs[i].second);
    }
    if (result.runs.size() > 20) std::printf(", ...");
}

// The closing summary follows the replaced output: failing to write it is
// still a failure, but one that must not read as if the output were kept.
int summary_written(const std::string& written) {
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return 0;
    std::fprintf(stderr, "vorkane-data: %s written; only its summary could not be written to standard output: %s\n",
                 written.c_str(), std::strerror(errno));
    std::clearerr(stdout);
    return status_failed;
}

int convert(const std::vector<std::string>& args) {
    std::string output;
    std::vector<std::string> inputs;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] != "-o") inputs.push_back(args[i]);
        else if (i + 1 < args.size() && output.empty()) output = args[++i];
        else return usage();  // a second -o, or one without a file
    }
    if (output.empty() || inputs.empty()) return usage();
    const vkdata::ConvertResult result = vkdata::convert_de_files(inputs, output, true);
    std::printf("%s: %d of %d records present (", output.c_str(), result.present,
                vkdata::record_count);
    print_runs(result);
    std::printf(")\n");
    return summary_written("'" + output + "'");
}

int demo(const std::string& dir) {
    vkdata::make_demo_directory(dir, true);
    std::printf("%s: vorkane.in (2451545.0) and 15502650.440 written.\n"
                "The data file is an APPROXIMATION fitted from mean orbits and a short lunar\n"
                "series, not DE440: planets within about 0.02 au near 2000, the Moon within\n"
                "a few thousand km. Convert the real DE440 file for true positions.\n",
                dir.c_str());
    return summary_written("'" + dir + "/15502650.440' and '" + dir + "/vorkane.in'");
}

int check(const std::string& file) {
    if (vkdata::report_published_de(file, stdout)) return status_failed;
    return vkdata::check_data_file(file, stdout) ? 0 : status_failed;
}

int show(const std::vector<std::string>& args) {
    if (args.size() > 1 || (!args.empty() && args[0].rfind('-', 0) == 0)) return usage();
    vkdata::show_output_file(args.empty() ? "vorkane.out" : args[0], stdout);
    return 0;
}

int run(const std::vector<std::string>& args) {
    if (args.empty()) return usage();
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    // Help asked for anywhere, after a command too, is help and not a file.
    if (command == "help") return help();
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") return help();
    }
    if (command == "--version" && rest.empty()) {
        std::printf("vorkane-data %s\n", VORKANE_VERSION);
        return 0;
    }
    if (command == "convert") return convert(rest);
    if (command == "check" && rest.size() == 1) return check(rest[0]);
    if (command == "show") return show(rest);
    if (command == "demo" && rest.size() == 1) return demo(rest[0]);
    if (command != "convert" && command != "check" && command != "show" && command != "demo") {
        std::fprintf(stderr, "vorkane-data: unknown command '%s'\n", command.c_str());
    }
    return usage();
}

// The reports on standard output are the tool's answer: losing them is a
// failure, not a success.
int with_output_written(int status) {
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return status;
    std::fprintf(stderr, "vorkane-data: Cannot write standard output: %s\n", std::strerror(errno));
    return status_failed;
}

}  // namespace

int main(int argc, char** argv) {
    // A closed standard stream is opened on the null device, so that no file
    // the tool opens takes its descriptor and receives its messages. The
    // tool's reports end their lines with a line feed on every platform.
    vkrt::os::open_closed_standard_streams();
    vkrt::os::use_binary_standard_streams();
    try {
        return with_output_written(run(std::vector<std::string>(argv + 1, argv + argc)));
    } catch (const vkdata::DataError& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "vorkane-data: %s\n", e.what());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vorkane-data: %s\n", e.what());
    }
    return status_failed;
}
