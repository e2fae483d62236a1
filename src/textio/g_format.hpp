// Parsing of the formats the program writes with: one G edit descriptor with
// an optional repeat count inside one pair of parentheses, such as
// "(g25.16)" or "(3G25.16)". Letters may be either case; blanks are ignored.
#pragma once

namespace vkrt {

struct GDescriptor {
    int repeat;  // values served before the end of the format is reached
    int width;   // w
    int digits;  // d
};

// False when the text is not of that shape or a number is out of range
// (repeat 1 to 999999, w 1 to max_field_width, d 1 to max_g_digits).
bool parse_g_format(const char* text, GDescriptor& descriptor);

}  // namespace vkrt
