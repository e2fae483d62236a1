// Formatted write statements. The format holds one data descriptor with a
// repeat count; when the count is spent the end of the format is reached and
// the format reverts to its start, setting the reversion flag. The next value
// then first ends the current record. After the last value the current
// record is ended, so no empty record follows a spent format.
#include "textio/format_write.hpp"

#include "diagnostics/error_codes.hpp"
#include "diagnostics/options.hpp"
#include "diagnostics/report.hpp"
#include "fileio/units.hpp"
#include "textio/g_format.hpp"

namespace vkrt {

namespace {

constexpr char record_terminator[] = "\r\n";

// Either class lets a zero under G editing take the fixed form.
constexpr int32_t zero_fixed_form_bits = allow_std_f2003 | allow_std_f2008;

// Position in the format: values served by the descriptor in this pass.
struct FormatPosition {
    GDescriptor descriptor;
    int served = 0;
    bool reversion_flag = false;

    // Scans on after a value: reaching the end of the format reverts.
    void advance() {
        if (++served < descriptor.repeat) return;
        served = 0;
        reversion_flag = true;
    }
};

void end_record(const ByteSink& sink) { sink.put(sink.context, record_terminator, 2); }

void put_to_unit(void* context, const char* bytes, size_t n) {
    put_bytes(*static_cast<Unit*>(context), bytes, n);
}

}  // namespace

EditSettings statement_edit_settings() {
    EditSettings settings{};
    settings.optional_plus = false;
    settings.sign_zero = compile_options.sign_zero != 0;
    settings.zero_fixed = (compile_options.allow_std & zero_fixed_form_bits) != 0;
    return settings;
}

bool write_records(const char* format, const long double* values, int count,
                   const EditSettings& settings, const ByteSink& sink) {
    FormatPosition position{};
    if (!parse_g_format(format, position.descriptor)) return false;
    const GDescriptor& g = position.descriptor;
    char field[max_field_width];
    for (int i = 0; i < count; ++i) {
        if (position.reversion_flag) {
            position.reversion_flag = false;
            end_record(sink);
        }
        edit_g(values[i], g.width, g.digits, settings, field);
        sink.put(sink.context, field, static_cast<size_t>(g.width));
        position.advance();
    }
    end_record(sink);
    return true;
}

void write_formatted(const Locus& where, const char* format, const long double* values,
                     int count) {
    Unit& unit = begin_write(where);
    const ByteSink sink{put_to_unit, &unit};
    if (!write_records(format, values, count, statement_edit_settings(), sink)) {
        runtime_error(where, LIBERROR_FORMAT, nullptr);
    }
    end_write(unit);
}

}  // namespace vkrt
