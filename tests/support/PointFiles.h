// Whole files as bytes and record files as vectors of point records, for tests that write their
// inputs and read back what the program wrote.
#pragma once

#include "files/PointRecord.h"
#include "files/RecordFile.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::test {

inline void WriteBytes(const std::filesystem::path& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WritePoints(const std::filesystem::path& path, const std::vector<PointRecord>& points)
{
    PointFile file = PointFile::Create(path);
    for (const PointRecord& point : points)
        file.Append(point);
    file.Close();
}

inline std::vector<PointRecord> ReadPoints(const std::filesystem::path& path)
{
    PointFile file = PointFile::OpenForUpdate(path);
    std::vector<PointRecord> points;
    for (std::uint64_t k = 0; k < file.Size(); ++k)
        points.push_back(file.Read(k));
    return points;
}

} // namespace velmora::test
