#pragma once
#include <cstdio>
#include <string>
#include <vector>

// The --profile file: a header row, then one row per frame and entry drawn:
// effect time, entry index, entry name, CPU ms, GPU ms (empty when not
// measured). Rows collect in a fixed buffer written out in large blocks, so a
// frame touches the disk only once per some thousands of rows.
class ProfileCsv {
public:
    // Opens (replaces) path and writes the header; throws when it cannot.
    explicit ProfileCsv(const std::string& path);
    ~ProfileCsv();
    ProfileCsv(const ProfileCsv&) = delete;
    ProfileCsv& operator=(const ProfileCsv&) = delete;

    // field: the entry name as CsvField gives it; gpuMs below 0: not measured.
    void Row(int timeMs, size_t entry, const std::string& field, double cpuMs, double gpuMs);
    // Writes what is buffered and closes the file; false (with errno) when a
    // write failed at any point.
    bool Close();
    const std::string& Path() const { return path_; }

private:
    void Flush();

    std::string path_;
    std::FILE* file_ = nullptr;
    std::vector<char> buffer_;
    size_t used_ = 0;
    bool failed_ = false;
};

// A CSV field: as it is, or in double quotes (doubled inside) when it holds a
// comma, a quote or a line break.
std::string CsvField(const std::string& text);
