// Shared pieces of the test programs: a console that records what the core writes, temporary
// directories, and a writer of compact grid files.
#pragma once

#include "core/ErrorConsole.h"

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <sys/resource.h>

namespace velmora::test {

// Records the diagnostics and counts the waits for Enter.
class RecordingConsole : public ErrorConsole {
public:
    void Write(std::string_view text) override { text_ += text; }
    void ReadLine() override
    {
        text_ += "<read>";
        ++reads_;
    }
    const std::string& Text() const { return text_; }
    int Reads() const { return reads_; }
    void Clear()
    {
        text_.clear();
        reads_ = 0;
    }

private:
    std::string text_;
    int reads_ = 0;
};

// Lets the process write files of at most `bytes` bytes while it lives: the system then refuses
// a write beyond that (the signal it would send is ignored meanwhile), as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

// A fresh directory under the system's temporary directory, removed with the object.
class TempDir {
public:
    TempDir()
    {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() /
                ("velmora-test-" + std::to_string(rd()) + "-" + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

inline void WriteDoubles(std::ostream& out, const std::vector<double>& values)
{
    out.write(reinterpret_cast<const char*>(values.data()),
              static_cast<std::streamsize>(values.size() * sizeof(double)));
}

// Writes a compact grid whose node (i, j) holds field(c1, c2) at the node's coordinates, one value
// per node, or two when field2 is given.
inline void WriteGrid(const std::filesystem::path& path, double min1, double max1, double min2, double max2,
                      double step1, double step2, const std::function<double(double, double)>& field,
                      const std::function<double(double, double)>& field2 = nullptr)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    WriteDoubles(out, {min1, max1, min2, max2, step1, step2});
    const int cols = static_cast<int>(std::lround((max1 - min1) / step1)) + 1;
    const int rows = static_cast<int>(std::lround((max2 - min2) / step2)) + 1;
    std::vector<double> values;
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < cols; ++i) {
            const double c1 = min1 + i * step1;
            const double c2 = min2 + j * step2;
            values.push_back(field(c1, c2));
            if (field2)
                values.push_back(field2(c1, c2));
        }
    }
    WriteDoubles(out, values);
}

// The fields of a point line between its commas.
inline std::vector<std::string> CommaFields(const std::string& line)
{
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, ',');)
        fields.push_back(field);
    return fields;
}

} // namespace velmora::test
