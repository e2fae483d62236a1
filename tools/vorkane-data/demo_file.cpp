// The approximate data file: each record's series fitted to the analytic
// model body by body, sub-interval by sub-interval, in the layout of DE440.
#include "vorkane-data/demo_file.hpp"

#include <cerrno>
#include <vector>

#include "platform/files.hpp"
#include "vorkane-data/chebyshev_fit.hpp"
#include "vorkane-data/data_error.hpp"
#include "vorkane-data/data_file_writer.hpp"
#include "vorkane-data/file_io.hpp"
#include "vorkane-data/mean_orbits.hpp"
#include "vorkane-data/progress.hpp"

namespace vkdata {

namespace {

constexpr int moon = 10;
constexpr int sun = 11;

// What the record holds for each body: barycentric planets and Earth-Moon
// barycentre (the model puts the Sun at the barycentre), the geocentric Moon.
Vector3 model_position(int body, double jd) {
    if (body == moon) return moon_position(jd);
    if (body == sun) return {0.0, 0.0, 0.0};
    return mean_orbit_position(body, jd);
}

void fit_body(int body, double record_start, double* record) {
    const Block block = body_block(body - 1);
    const int n = block.coefficients;
    const double length = record_days / block.subintervals;
    double* at = record + block.start - 1;
    for (int m = 0; m < block.subintervals; ++m) {
        const auto position = [body](double jd) { return model_position(body, jd); };
        const std::vector<Vector3> c = chebyshev_fit(position, record_start + m * length, length, n);
        for (int j = 0; j < 3; ++j) {
            for (int k = 0; k < n; ++k) *at++ = c[k][j];
        }
    }
}

// A new file only: an existing one, or a link, is never written through.
void write_new_text_file(const std::string& path, const std::string& text) {
    const int fd = vkrt::os::open_file(path.c_str(), vkrt::os::OpenMode::write_only_new);
    if (fd < 0) throw_system_error("Cannot create '" + path + "'");
    try {
        write_at(fd, path, 0, text.data(), static_cast<int64_t>(text.size()));
    } catch (...) {
        vkrt::os::close_file(fd);
        throw;
    }
    if (!vkrt::os::close_file(fd)) throw_system_error("Cannot write '" + path + "'");
}

// The demo never replaces a data file or a date already in the directory: an
// approximate file must not take the place of a real one unnoticed.
void prepare_directory(const std::string& dir, const std::vector<std::string>& files) {
    if (!vkrt::os::make_directory(dir.c_str())) {
        if (errno == ENOTDIR) throw DataError("'" + dir + "' is not a directory");
        throw_system_error("Cannot create directory '" + dir + "'");
    }
    for (const std::string& file : files) {
        if (vkrt::os::name_exists(file.c_str())) {
            throw DataError("'" + file + "' already exists; the demo writes only new files");
        }
    }
}

}  // namespace

std::array<double, values_per_record> demo_record(int n) {
    std::array<double, values_per_record> record{};
    record[0] = first_date + record_days * (n - 1);
    record[1] = record[0] + record_days;
    for (int body = 1; body <= body_count; ++body) fit_body(body, record[0], record.data());
    return record;
}

void make_demo_directory(const std::string& dir, bool show_progress) {
    const std::string data = dir + "/15502650.440";
    const std::string date = dir + "/vorkane.in";
    prepare_directory(dir, {data, date});
    DataFileWriter writer(data, Replace::never);
    Progress progress(show_progress, data, file_bytes);
    for (int n = 1; n <= record_count; ++n) {
        const std::array<double, values_per_record> record = demo_record(n);
        writer.place(record.data(), values_per_record, data + ": record " + std::to_string(n));
        progress.update(static_cast<double>(n) / record_count);
    }
    writer.commit();
    progress.finish(record_count, "written");
    write_new_text_file(date, "2451545.0\n");
}

}  // namespace vkdata
