// Builds a data file in the program's layout: a temporary file next to the
// output, exactly 12556 records long and sparse, receives each record at its
// place on the grid; only a complete file replaces the output, by rename.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vkdata {

// Whether the finished file may replace one at the output path (a link's
// target, when the output is a symbolic link), or must be a new file.
enum class Replace { existing, never };

class DataFileWriter {
public:
    // Refuses an output that exists and is not a regular file.
    explicit DataFileWriter(const std::string& output, Replace replace = Replace::existing);
    ~DataFileWriter();  // removes the temporary file unless committed
    DataFileWriter(const DataFileWriter&) = delete;
    DataFileWriter& operator=(const DataFileWriter&) = delete;

    // Places a record of `count` values (the rest of the 1138 set to zero)
    // by its start and end dates; `source` names it in messages. A record
    // already placed must be equal, value for value. Returns its number.
    int place(const double* values, int count, const std::string& source);

    // Makes the file durable and renames it to the output; with
    // Replace::never a file that appeared there meanwhile stays.
    void commit();

    int present() const { return present_; }
    // Runs of present records as "JD a to b" spans.
    std::vector<std::pair<int, int>> present_runs() const;

private:
    // Closes and removes the temporary file unless committed.
    void abandon();

    std::string output_;
    Replace replace_;
    std::string temp_;
    int fd_ = -1;
    bool committed_ = false;
    int present_ = 0;
    std::vector<std::string> placed_by_;  // per record: who placed it, "" when free
};

}  // namespace vkdata
