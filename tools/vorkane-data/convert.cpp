// Conversion: each input is read by the reader of its kind and every record
// is placed in the temporary data file, which replaces the output only when
// all inputs have been read without fault.
#include "vorkane-data/convert.hpp"

#include <optional>

#include "platform/files.hpp"
#include "vorkane-data/data_error.hpp"
#include "vorkane-data/data_file_writer.hpp"
#include "vorkane-data/de_ascii.hpp"
#include "vorkane-data/de_binary.hpp"
#include "vorkane-data/file_io.hpp"
#include "vorkane-data/input_kind.hpp"
#include "vorkane-data/progress.hpp"

namespace vkdata {

namespace {

int64_t size_of(const std::string& file) { return InputFile(file).size(); }

// An input that is the output file itself would be replaced by the result.
void refuse_output_as_input(const std::vector<std::string>& inputs, const std::string& output) {
    vkrt::os::FileIdentity out;
    if (!vkrt::os::name_identity(output.c_str(), out)) return;
    for (const std::string& file : inputs) {
        vkrt::os::FileIdentity in;
        if (vkrt::os::name_identity(file.c_str(), in) && in == out) {
            throw DataError(std::string(file).append(": is the output file '").append(output).append("' itself"));
        }
    }
}

}  // namespace

ConvertResult convert_de_files(const std::vector<std::string>& inputs, const std::string& output,
                               bool show_progress) {
    if (inputs.empty()) throw DataError("no input files");
    refuse_output_as_input(inputs, output);
    DataFileWriter writer(output);
    std::optional<DeLayout> ascii_layout;
    for (const std::string& file : inputs) {
        const InputKind kind = detect_input_kind(file);
        if (kind == InputKind::ascii_header) {
            ascii_layout = read_de_ascii_header(file);
            continue;
        }
        Progress progress(show_progress, file, size_of(file));
        long records = 0;
        const RecordHandler place = [&](const double* values, int count, const RecordOrigin& at) {
            writer.place(values, count, describe(at));
            progress.update(at.fraction);
            ++records;
        };
        if (kind == InputKind::binary) {
            read_de_binary(file, place);
        } else if (!ascii_layout) {
            throw DataError(file + ": ASCII data file, but no ASCII header file came before it");
        } else {
            read_de_ascii_data(file, *ascii_layout, place);
        }
        progress.finish(records);
    }
    // A file without records would stop the program at every date.
    if (writer.present() == 0) throw DataError("the inputs hold no data record; '" + output + "' left as it was");
    writer.commit();
    return {writer.present(), writer.present_runs()};
}

}  // namespace vkdata
