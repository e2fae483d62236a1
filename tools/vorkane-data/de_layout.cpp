// Checking a DE layout table against the blocks the program evaluates.
#include "vorkane-data/de_layout.hpp"

#include <algorithm>

#include "vorkane-data/data_error.hpp"

namespace vkdata {

namespace {

// Beyond any real table; keeps the products below from overflowing.
constexpr int item_limit = 1 << 20;
constexpr long long values_limit = 1LL << 62;

int components_of_item(size_t index) {
    if (index == 11) return 2;  // nutations: longitude and obliquity
    if (index == 14) return 1;  // TT-TDB
    return 3;
}

std::string block_text(const Block& b) {
    return "start " + std::to_string(b.start) + ", " + std::to_string(b.coefficients) +
           " coefficients, " + std::to_string(b.subintervals) + " sub-intervals";
}

}  // namespace

long long values_needed(const std::vector<Block>& items) {
    long long needed = 0;
    for (size_t i = 0; i < items.size(); ++i) {
        const Block& b = items[i];
        if (b.coefficients <= 0 || b.subintervals <= 0) continue;
        if (b.coefficients > item_limit || b.subintervals > item_limit) return values_limit;
        const long long end = static_cast<long long>(b.start) - 1 +
                              static_cast<long long>(b.coefficients) * b.subintervals *
                                  components_of_item(i);
        needed = std::max(needed, end);
    }
    return needed;
}

void check_layout(const DeLayout& layout, const std::string& file) {
    if (layout.items.size() < body_count) {
        throw DataError(file + ": layout table has " + std::to_string(layout.items.size()) +
                        " items, fewer than the 11 bodies");
    }
    for (int i = 0; i < body_count; ++i) {
        const Block& got = layout.items[i];
        const Block want = body_block(i);
        if (got.start != want.start || got.coefficients != want.coefficients ||
            got.subintervals != want.subintervals) {
            throw DataError(file + ": layout mismatch for item " + std::to_string(i + 1) + " (" +
                            body_name(i) + "): " + block_text(got) + ", expected " +
                            block_text(want));
        }
    }
    if (layout.ncoeff < body_values || layout.ncoeff > values_per_record) {
        throw DataError(file + ": bad header: NCOEFF " + std::to_string(layout.ncoeff) +
                        " is outside 818 to 1138");
    }
    for (const Block& b : layout.items) {
        if (b.start < 1 || b.coefficients < 0 || b.subintervals < 0) {
            throw DataError(file + ": bad header: layout item with " + block_text(b));
        }
    }
    if (values_needed(layout.items) > layout.ncoeff) {
        throw DataError(file + ": bad header: the layout table needs " +
                        std::to_string(values_needed(layout.items)) + " values, NCOEFF is " +
                        std::to_string(layout.ncoeff));
    }
}

std::string describe(const RecordOrigin& origin) {
    std::string text = origin.file + ": data record " + std::to_string(origin.index);
    if (origin.line > 0) text += " (line " + std::to_string(origin.line) + ")";
    return text;
}

}  // namespace vkdata
