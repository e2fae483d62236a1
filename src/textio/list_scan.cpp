// Free-form input of one extended real, character by character: leading
// blanks and empty records, null values, repeat counts, numbers, Infinity and
// NaN, the separator after the item, and the rest of its record. Every helper
// returns false once the scan has failed, the failure being recorded in the
// result.
#include "textio/list_scan.hpp"

#include <cstdint>
#include <cstdio>

#include "diagnostics/error_codes.hpp"
#include "platform/run_data.hpp"
#include "textio/decimal_to_extended.hpp"

namespace vkrt {

namespace {

constexpr int end_of_file = -1;
constexpr int nothing_held = -2;

// The longest NaN payload accepted, in characters between the parentheses.
constexpr int max_payload = 294;
// The largest repeat count allowed.
constexpr uint32_t max_repeat = 200000000;

// A read takes one item, so the messages that number the item name item 1.
constexpr const char bad_real[] = "Bad real number in item 1 of list input";
constexpr const char bad_semicolon[] = "Semicolon not allowed as separator with DECIMAL='point'";
constexpr const char no_digits[] = "Error during floating point read";
constexpr const char zero_repeat[] = "Zero repeat count in item 1 of list input";
constexpr const char repeat_overflow[] = "Repeat count overflow in item 1 of list input";

struct Scanner {
    Scanner(ByteSource from, ListScanResult& into, DecimalNumber& digits)
        : source(from), result(into), number(digits) {}

    ByteSource source;
    ListScanResult& result;
    int held = nothing_held;  // a character given back, taken again first
    bool at_eol = false;      // the last character taken was LF or the end of the file
    uint32_t repeat = 0;      // the leading digits as a repeat count, capped
    DecimalNumber& number;
};

// The number being scanned, 11.6 KB of digits: static, so that a read needs
// little stack. The digit array is not cleared: only the digits counted are
// ever read.
VKRT_RUN_DATA(scanner) DecimalNumber scanned_number;

int take(Scanner& s) {
    int c = s.held;
    if (c == nothing_held) {
        c = s.source.take(s.source.context);
    } else {
        s.held = nothing_held;
    }
    s.at_eol = c == '\n' || c == end_of_file;
    return c;
}

void give_back(Scanner& s, int c) { s.held = c; }

bool is_digit(int c) { return c >= '0' && c <= '9'; }
bool is_blank(int c) { return c == ' ' || c == '\t' || c == '\r'; }
bool is_sign(int c) { return c == '+' || c == '-'; }
// Letters match without regard to case; no other byte folds onto a letter.
bool is_letter(int c, char lower) { return c >= 0 && (c | 0x20) == lower; }
bool is_exponent_letter(int c) { return is_letter(c, 'e') || is_letter(c, 'd') || is_letter(c, 'q'); }
// The three sets of terminating characters, which differ on ";" and the end
// of the file: what ends a number, an Infinity or a NaN; what may not stand
// in a NaN's payload (after a repeat count, it makes the item null); and what
// makes an item null at its start.
enum Terminators { ends_value, ends_payload, ends_null_item, terminator_sets };

struct Terminator {
    int c;
    bool in[terminator_sets];
};

constexpr Terminator terminators[] = {
    //  character     value  payload  null item
    {' ', {true, true, true}},
    {'\t', {true, true, true}},
    {'\r', {true, true, true}},
    {'\n', {true, true, true}},
    {',', {true, true, true}},
    {'/', {true, true, true}},
    {';', {true, true, false}},
    {end_of_file, {true, false, false}},
};

bool terminates(int c, Terminators set) {
    for (const Terminator& t : terminators) {
        if (t.c == c) return t.in[set];
    }
    return false;
}

// Records the failure; its message is the family's own text when `message`
// is null.
bool fail(Scanner& s, LibError code, const char* message) {
    s.result.outcome = ListScanOutcome::failed;
    s.result.code = code;
    s.result.message[0] = '\0';
    if (message != nullptr) std::snprintf(s.result.message, sizeof s.result.message, "%s", message);
    return false;
}

bool fail_end(Scanner& s) { return fail(s, LIBERROR_END, nullptr); }
bool fail_bad(Scanner& s) { return fail(s, LIBERROR_READ_VALUE, bad_real); }

// Takes blanks and gives the first other character back.
void eat_spaces(Scanner& s) {
    int c;
    do {
        c = take(s);
    } while (is_blank(c));
    give_back(s, c);
}

// Blanks, then a comma, a semicolon (read as a comma) or a record end.
void eat_blank_separator(Scanner& s) {
    eat_spaces(s);
    const int c = take(s);
    if (c == ',') {
        eat_spaces(s);
    } else if (c == ';') {
        give_back(s, ',');
    } else if (c != '\n' && c != '/') {
        give_back(s, c);
    }
}

// Takes again the character that ended the item and what belongs with it.
bool eat_separator(Scanner& s) {
    const int c = take(s);
    switch (c) {
    case ';':
        return fail(s, LIBERROR_READ_VALUE, bad_semicolon);
    case '\r': {
        const int next = take(s);
        if (next != '\n') give_back(s, next);
        return true;
    }
    case ',':
        eat_spaces(s);
        return true;
    case ' ':
    case '\t':
        eat_blank_separator(s);
        return true;
    case '\n':
    case '/':
        return true;
    default:
        give_back(s, c);
        return true;
    }
}

bool null_value(Scanner& s, int c) {
    give_back(s, c);
    s.result.outcome = ListScanOutcome::null_value;
    return eat_separator(s);
}

enum class Item { number, infinity, nan };

// Takes the separator after the item that `end` ended, then records its
// value; a number needs at least one digit.
bool accept(Scanner& s, int end, Item item) {
    give_back(s, end);
    if (!eat_separator(s)) return false;
    if (item == Item::number && !s.number.has_digit) return fail(s, LIBERROR_READ_VALUE, no_digits);
    s.result.outcome = ListScanOutcome::value;
    switch (item) {
    case Item::infinity:
        s.result.value = extended_infinity(s.number.negative);
        break;
    case Item::nan:
        s.result.value = extended_quiet_nan(s.number.negative);
        break;
    case Item::number:
        s.result.value = decimal_to_extended(s.number);
        break;
    }
    return true;
}

// Takes the letters of `rest` in order.
bool expect_letters(Scanner& s, const char* rest) {
    for (; *rest != '\0'; ++rest) {
        const int c = take(s);
        if (c == end_of_file) return fail_end(s);
        if (!is_letter(c, *rest)) return fail_bad(s);
    }
    return true;
}

bool match_infinity(Scanner& s) {
    if (!expect_letters(s, "nf")) return false;
    int c = take(s);
    if (is_letter(c, 'i')) {
        if (!expect_letters(s, "nity")) return false;
        c = take(s);
    }
    if (!terminates(c, ends_value)) return fail_bad(s);
    return accept(s, c, Item::infinity);
}

// The payload after "(", through its ")".
bool skip_payload(Scanner& s) {
    for (int length = 0;; ++length) {
        const int c = take(s);
        if (c == ')') return true;
        if (c == end_of_file) return fail_end(s);
        if (terminates(c, ends_payload) || length == max_payload) return fail_bad(s);
    }
}

bool match_nan(Scanner& s) {
    if (!expect_letters(s, "an")) return false;
    int c = take(s);
    if (c == '(') {
        if (!skip_payload(s)) return false;
        c = take(s);
    }
    if (!terminates(c, ends_value)) return fail_bad(s);
    return accept(s, c, Item::nan);
}

bool match_word(Scanner& s, int c) {
    return is_letter(c, 'i') ? match_infinity(s) : match_nan(s);
}

bool read_exponent(Scanner& s, int c) {
    if (c == end_of_file) return fail_end(s);
    if (!is_digit(c)) return fail_bad(s);
    for (; is_digit(c); c = take(s)) s.number.add_exponent_digit(c - '0');
    if (!terminates(c, ends_value)) return fail_bad(s);
    return accept(s, c, Item::number);
}

// After an exponent letter or an exponent sign: the sign, then the digits.
bool read_exponent_sign(Scanner& s, int c) {
    if (c == end_of_file) return fail_end(s);
    if (is_sign(c)) {
        s.number.exponent_negative = c == '-';
        c = take(s);
    }
    return read_exponent(s, c);
}

bool read_repeated(Scanner& s);

bool read_mantissa(Scanner& s, int c, bool may_repeat) {
    for (;; c = take(s)) {
        if (is_digit(c)) {
            s.number.add_digit(c - '0');
            const uint32_t grown = s.repeat * 10 + static_cast<uint32_t>(c - '0');
            s.repeat = grown > max_repeat ? max_repeat + 1 : grown;
        } else if (c == '.') {
            if (s.number.has_point) return fail_bad(s);
            s.number.has_point = true;
            may_repeat = false;
        } else if (c == '*' && may_repeat) {
            return read_repeated(s);
        } else if (is_exponent_letter(c)) {
            return read_exponent_sign(s, take(s));
        } else if (is_sign(c)) {
            return read_exponent_sign(s, c);
        } else if (terminates(c, ends_value)) {
            return accept(s, c, Item::number);
        } else {
            return fail_bad(s);
        }
    }
}

// After a sign (given or implied): a number, an Infinity or a NaN.
bool read_signed(Scanner& s, int c) {
    if (c == end_of_file) return fail_end(s);
    if (is_digit(c) || c == '.') return read_mantissa(s, c, false);
    if (is_letter(c, 'i') || is_letter(c, 'n')) return match_word(s, c);
    return fail_bad(s);
}

// After "r*": a repeated null value, or the item the count applies to.
bool read_repeated(Scanner& s) {
    if (s.repeat == 0) return fail(s, LIBERROR_READ_VALUE, zero_repeat);
    if (s.repeat > max_repeat) return fail(s, LIBERROR_READ_VALUE, repeat_overflow);
    s.number.reset();
    const int c = take(s);
    if (terminates(c, ends_payload)) return null_value(s, c);
    if (is_sign(c)) {
        s.number.negative = c == '-';
        return read_signed(s, take(s));
    }
    return read_signed(s, c);
}

// The value scan, beginning with the character c.
bool read_real(Scanner& s, int c) {
    if (is_digit(c)) return read_mantissa(s, c, true);
    if (c == '.') return read_mantissa(s, c, false);
    if (is_sign(c)) {
        s.number.negative = c == '-';
        return read_signed(s, take(s));
    }
    if (is_letter(c, 'i') || is_letter(c, 'n')) return match_word(s, c);
    if (terminates(c, ends_null_item)) return null_value(s, c);
    if (c == end_of_file) return fail_end(s);
    return fail_bad(s);
}

// Records before the first item that hold nothing but blanks; a comma or a
// slash standing first on such a record is passed over.
bool read_after_empty_records(Scanner& s) {
    for (;;) {
        eat_spaces(s);
        int c = take(s);
        if (c == end_of_file) return fail_end(s);
        if (c == '\n') continue;
        if (c == ',') {
            eat_spaces(s);
            c = take(s);
            if (c == end_of_file) return fail_end(s);
            if (c == '\n') continue;
        } else if (c == '/') {
            c = take(s);
        }
        return read_real(s, c);
    }
}

// The item, starting on the first record.
bool read_item(Scanner& s) {
    eat_spaces(s);
    const int c = take(s);
    switch (c) {
    case end_of_file:
        return fail_end(s);
    case ',':
    case '/':
        return null_value(s, c);
    case ';':
        return fail(s, LIBERROR_READ_VALUE, bad_semicolon);
    case '\n':
        return read_after_empty_records(s);
    default:
        return read_real(s, c);
    }
}

// The rest of the record after the item's separator.
bool finish_list_read(Scanner& s) {
    if (s.at_eol) return true;
    int c = take(s);
    if (c == end_of_file) return fail_end(s);
    while (c != '\n' && c != end_of_file) c = take(s);
    return true;
}

}  // namespace

void scan_real_list(ByteSource source, ListScanResult& result) {
    result = ListScanResult{};
    scanned_number.reset();
    Scanner s(source, result, scanned_number);
    if (read_item(s)) finish_list_read(s);
}

}  // namespace vkrt
