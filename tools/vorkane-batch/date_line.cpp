// The batch input's dates: each line is handed to the free-form scanner as
// if it were the whole of vorkane.in.
#include "date_line.hpp"

#include "diagnostics/error_codes.hpp"
#include "textio/list_scan.hpp"

namespace batch {

namespace {

struct LineBytes {
    const std::string* line;
    size_t next;
};

int take_from_line(void* context) {
    auto& bytes = *static_cast<LineBytes*>(context);
    if (bytes.next >= bytes.line->size()) return -1;
    return static_cast<unsigned char>((*bytes.line)[bytes.next++]);
}

}  // namespace

bool is_blank_line(const std::string& line) {
    for (const char c : line)
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return false;
    return true;
}

bool read_date(const std::string& line, long double& date, std::string& message) {
    date = 0.0L;
    LineBytes bytes{&line, 0};
    vkrt::ListScanResult result;
    vkrt::scan_real_list({take_from_line, &bytes}, result);
    switch (result.outcome) {
    case vkrt::ListScanOutcome::value:
        vkrt::store_extended(result.value, date);
        return true;
    case vkrt::ListScanOutcome::null_value:
        return true;
    case vkrt::ListScanOutcome::failed:
        break;
    }
    message = result.message[0] != '\0' ? result.message : vkrt::generic_error_text(result.code);
    return false;
}

}  // namespace batch
