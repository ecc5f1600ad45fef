// The statistics blocks of the model report: per component the mean, the standard deviation, the
// extremes and the three-sigma rule, over the differences or errors of a set of points, and the
// table that shows them:
//   ------------------------------------------------
//   Statistic                       East      North
//   ------------------------------------------------
//   Mean:                          0.0000    -0.0012
//   ...  (Std Dev, Max, Min, then the block's count rows)
//   ------------------------------------------------
// Three-dimensional models have a column per X, Y and Z and longer rules.
#pragma once

#include "model/NodeGrid.h"

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

struct ComponentStatistics {
    double mean = 0.0;
    double stdDev = 0.0;
    double max = 0.0;
    double min = 0.0;
    std::size_t over = 0; // values beyond three standard deviations
};

// All values: the mean as the sum of value / n, the standard deviation with the divisor n, and
// over = the number of values with |value| > 3 s (the values themselves are compared, not their
// distance from the mean). An empty set gives zeros.
ComponentStatistics AllDataStatistics(std::span<const double> values);

// The values with |value| < 3 sigma only, sigma being the all-data standard deviation: the mean
// and the standard deviation divide by the number of values minus over (by the number of values
// when over reaches it); the extremes are 0 when no value is retained. A value of exactly
// 3 sigma is neither retained nor over.
ComponentStatistics WithinThreeSigmaStatistics(std::span<const double> values, double sigma);

// Component c of every point's values, for c < components.
using PointValues = std::array<double, 3>;
std::vector<ComponentStatistics> StatisticsPerComponent(std::span<const PointValues> values, int components,
                                                        bool withinThreeSigma);

// A count row of a table: its label and one value per component, integers (decimals 0) or
// percentages (decimals 2), each in 8 characters.
struct CountRow {
    std::string_view label;
    std::array<double, 3> values;
    int decimals;
};

// The table of one block, every line ending in CR LF; a column per entry of columns: East and
// North, X, Y and Z, or the quasigeoid's dZita alone.
void AppendStatisticsTable(std::string& out, std::span<const ComponentStatistics> columns,
                           std::span<const CountRow> rows);

// "Grid Step=" with the grid interval 14:5 and "Nodes Number=" with the number of nodes, each on
// its line.
void AppendGridLines(std::string& out, const GridGeometry& geometry);

// A block of the common points: the title underlined with equals signs, the grid lines and the
// table of values (differences before modelling, errors after) with the count rows "# Data:",
// "# Data over +/-3*(Std Dev):" and "% Data within +/-3*(Std Dev):".
void AppendCommonStatisticsBlock(std::string& out, std::string_view title, const GridGeometry& geometry,
                                 std::span<const PointValues> values, int components);

// The two blocks of the excluded points' errors, over all of them and within three sigma, with the
// count rows "# Data:" (the number of common points), "# Predicted:", "# Excluded (over
// +/-3*StDev):" and "% Used (within +/-3*StDev):".
void AppendExcludedStatisticsBlocks(std::string& out, std::span<const PointValues> errors, int components,
                                    std::size_t commonCount);

} // namespace velmora
