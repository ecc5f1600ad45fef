// Writing compact correction grids (GRD): the six header doubles, then one or two doubles per
// node, coordinate 1 varying fastest, all little-endian.
#pragma once

#include "core/CorrectionGrid.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::demodata {

// Node counts along the two coordinates, rounded as the reader rounds them.
std::int64_t ColumnCount(const GridHeader& header);
std::int64_t RowCount(const GridHeader& header);

// Node values are rounded to this resolution so that small differences in the last bits of the
// underlying libraries do not change the files.
inline constexpr double kNodeScale = 1e6; // micrometres

double RoundNodeValue(double value);

struct GridValues {
    std::vector<double> values; // valuesPerNode per node, node k = i + columns * j
    double min = 0.0;           // smallest and largest value written
    double max = 0.0;
};

// Samples field(coord1, coord2, out) at every node; out receives valuesPerNode values.
GridValues SampleGrid(const GridHeader& header, int valuesPerNode,
                      const std::function<void(double, double, double*)>& field);

// Writes bytes to path, replacing that file only (by way of path + ".partial", removed again on
// failure), so a failed run never leaves a truncated file. Throws std::runtime_error on failure.
void ReplaceFile(const std::filesystem::path& path, std::string_view bytes);

// Writes the grid to path, replacing that file only (by way of path + ".partial", removed again
// on failure). Throws std::runtime_error on failure.
void WriteGrd(const std::filesystem::path& path, const GridHeader& header, int valuesPerNode,
              const std::vector<double>& values);

// One line for the generator's log: extent, steps, node counts and the value range.
std::string DescribeGrid(const std::string& name, const GridHeader& header, const GridValues& values);

} // namespace velmora::demodata
