#include "GrdWriter.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace velmora::demodata {

static_assert(std::endian::native == std::endian::little, "grid files are little-endian doubles");

std::int64_t ColumnCount(const GridHeader& header)
{
    return static_cast<std::int64_t>(std::round((header.max1 - header.min1) / header.step1)) + 1;
}

std::int64_t RowCount(const GridHeader& header)
{
    return static_cast<std::int64_t>(std::round((header.max2 - header.min2) / header.step2)) + 1;
}

double RoundNodeValue(double value)
{
    const double rounded = std::nearbyint(value * kNodeScale) / kNodeScale;
    return rounded == 0.0 ? 0.0 : rounded; // no negative zero in the files
}

GridValues SampleGrid(const GridHeader& header, int valuesPerNode,
                      const std::function<void(double, double, double*)>& field)
{
    const std::int64_t columns = ColumnCount(header);
    const std::int64_t rows = RowCount(header);
    GridValues grid;
    grid.values.resize(static_cast<std::size_t>(columns * rows * valuesPerNode));
    std::vector<double> node(static_cast<std::size_t>(valuesPerNode));
    for (std::int64_t j = 0; j < rows; ++j) {
        for (std::int64_t i = 0; i < columns; ++i) {
            const double c1 = header.min1 + static_cast<double>(i) * header.step1;
            const double c2 = header.min2 + static_cast<double>(j) * header.step2;
            field(c1, c2, node.data());
            for (int v = 0; v < valuesPerNode; ++v) {
                const double value = RoundNodeValue(node[static_cast<std::size_t>(v)]);
                if (!std::isfinite(value))
                    throw std::runtime_error("non-finite grid value");
                grid.values[static_cast<std::size_t>((i + columns * j) * valuesPerNode + v)] = value;
            }
        }
    }
    const auto [lo, hi] = std::minmax_element(grid.values.begin(), grid.values.end());
    grid.min = *lo;
    grid.max = *hi;
    return grid;
}

void WriteGrd(const std::filesystem::path& path, const GridHeader& header, int valuesPerNode,
              const std::vector<double>& values)
{
    const auto expected = static_cast<std::size_t>(ColumnCount(header) * RowCount(header) * valuesPerNode);
    if (values.size() != expected)
        throw std::runtime_error("grid " + path.string() + " has the wrong number of node values");
    const double head[] = {header.min1, header.max1, header.min2, header.max2, header.step1, header.step2};
    std::string bytes(reinterpret_cast<const char*>(head), sizeof head);
    bytes.append(reinterpret_cast<const char*>(values.data()), values.size() * sizeof(double));
    ReplaceFile(path, bytes);
}

void ReplaceFile(const std::filesystem::path& path, std::string_view bytes)
{
    std::filesystem::path partial = path;
    partial += ".partial";
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    std::error_code ec;
    if (out)
        std::filesystem::rename(partial, path, ec);
    if (!out || ec) {
        std::filesystem::remove(partial, ec);
        throw std::runtime_error("cannot write " + path.string());
    }
}

std::string DescribeGrid(const std::string& name, const GridHeader& header, const GridValues& values)
{
    std::ostringstream text;
    text.precision(10);
    text << name << ": coordinate 1 " << header.min1 << " .. " << header.max1 << " step " << header.step1
         << ", coordinate 2 " << header.min2 << " .. " << header.max2 << " step " << header.step2 << ", "
         << ColumnCount(header) << " x " << RowCount(header) << " nodes, values " << values.min << " .. "
         << values.max << " m";
    return text.str();
}

} // namespace velmora::demodata
