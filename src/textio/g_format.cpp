// Format parsing for "(rGw.d)": a cursor over the text with one helper per
// syntactic element; blanks between elements are skipped.
#include "textio/g_format.hpp"

#include "textio/g_editor.hpp"

namespace vkrt {

namespace {

struct Cursor {
    const char* at;

    void skip_blanks() {
        while (*at == ' ') ++at;
    }
    bool take(char wanted) {
        skip_blanks();
        if (*at != wanted) return false;
        ++at;
        return true;
    }
    bool take_letter(char lower) { return take(lower) || take(static_cast<char>(lower - 32)); }
    bool at_digit() {
        skip_blanks();
        return *at >= '0' && *at <= '9';
    }
    // An unsigned number from 1 to limit; false when absent or out of range.
    bool take_number(int limit, int& value) {
        if (!at_digit()) return false;
        long long number = 0;
        while (*at >= '0' && *at <= '9') {
            number = number * 10 + (*at++ - '0');
            if (number > limit) return false;
        }
        value = static_cast<int>(number);
        return value >= 1;
    }
};

constexpr int max_repeat = 999999;

}  // namespace

bool parse_g_format(const char* text, GDescriptor& descriptor) {
    Cursor cursor{text};
    descriptor.repeat = 1;
    if (!cursor.take('(')) return false;
    if (cursor.at_digit() && !cursor.take_number(max_repeat, descriptor.repeat)) return false;
    if (!cursor.take_letter('g')) return false;
    if (!cursor.take_number(max_field_width, descriptor.width)) return false;
    if (!cursor.take('.')) return false;
    if (!cursor.take_number(max_g_digits, descriptor.digits)) return false;
    if (!cursor.take(')')) return false;
    cursor.skip_blanks();
    return *cursor.at == '\0';
}

}  // namespace vkrt
