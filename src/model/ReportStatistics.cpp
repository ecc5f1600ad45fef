#include "model/ReportStatistics.h"

#include "files/NumberText.h"

#include <algorithm>
#include <cmath>

namespace velmora {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kColumnSeparator = "  ";

double Square(double x)
{
    return x * x;
}

void AppendRow(std::string& out, std::string_view label, std::span<const double> values, int decimals)
{
    out.append(label);
    for (std::size_t c = 0; c < values.size(); ++c) {
        if (c > 0) {
            out.append(kColumnSeparator);
        }
        AppendFixed(out, values[c], 8, decimals);
    }
    out.append(kLineEnd);
}

template <class Field>
void AppendStatisticsRow(std::string& out, std::string_view label, std::span<const ComponentStatistics> columns,
                         Field field)
{
    std::array<double, 3> values{};
    for (std::size_t c = 0; c < columns.size(); ++c) {
        values[c] = field(columns[c]);
    }
    AppendRow(out, label, std::span(values).first(columns.size()), 4);
}

} // namespace

ComponentStatistics AllDataStatistics(std::span<const double> values)
{
    ComponentStatistics s;
    if (values.empty()) {
        return s;
    }
    const auto n = static_cast<double>(values.size());
    s.max = values.front();
    s.min = values.front();
    for (const double v : values) {
        s.mean += v / n;
        s.max = std::max(s.max, v);
        s.min = std::min(s.min, v);
    }
    double squares = 0.0;
    for (const double v : values) {
        squares += Square(v - s.mean);
    }
    s.stdDev = std::sqrt(squares / n);
    s.over = static_cast<std::size_t>(
        std::count_if(values.begin(), values.end(), [&](double v) { return std::fabs(v) > 3.0 * s.stdDev; }));
    return s;
}

ComponentStatistics WithinThreeSigmaStatistics(std::span<const double> values, double sigma)
{
    ComponentStatistics s;
    const double limit = 3.0 * sigma;
    std::vector<double> retained;
    for (const double v : values) {
        if (std::fabs(v) < limit) {
            retained.push_back(v);
        } else if (std::fabs(v) > limit) {
            ++s.over;
        }
    }
    const std::size_t divisor = s.over >= values.size() ? values.size() : values.size() - s.over;
    if (retained.empty() || divisor == 0) {
        return s;
    }
    const auto d = static_cast<double>(divisor);
    double sum = 0.0;
    for (const double v : retained) {
        sum += v;
    }
    s.mean = sum / d;
    double squares = 0.0;
    for (const double v : retained) {
        squares += Square(v - s.mean);
    }
    s.stdDev = std::sqrt(squares / d);
    const auto [lowest, highest] = std::minmax_element(retained.begin(), retained.end());
    s.min = *lowest;
    s.max = *highest;
    return s;
}

std::vector<ComponentStatistics> StatisticsPerComponent(std::span<const PointValues> values, int components,
                                                        bool withinThreeSigma)
{
    std::vector<ComponentStatistics> result;
    std::vector<double> component(values.size());
    for (std::size_t c = 0; c < static_cast<std::size_t>(components); ++c) {
        std::transform(values.begin(), values.end(), component.begin(), [c](const PointValues& v) { return v[c]; });
        ComponentStatistics all = AllDataStatistics(component);
        result.push_back(withinThreeSigma ? WithinThreeSigmaStatistics(component, all.stdDev) : all);
    }
    return result;
}

void AppendStatisticsTable(std::string& out, std::span<const ComponentStatistics> columns,
                           std::span<const CountRow> rows)
{
    // One column is the quasigeoid's height anomaly.
    static constexpr std::array<std::string_view, 3> kHeads{"Statistic                       dZita",
                                                            "Statistic                       East      North ",
                                                            "Statistic                         X         Y        Z    "};
    static constexpr std::array<std::size_t, 3> kRules{38, 48, 58};
    const std::size_t layout = std::clamp<std::size_t>(columns.size(), 1, 3) - 1;
    const std::string rule(kRules[layout], '-');
    const std::string_view head = kHeads[layout];
    out.append(rule).append(kLineEnd).append(head).append(kLineEnd).append(rule).append(kLineEnd);
    AppendStatisticsRow(out, "Mean:                        ", columns, [](const auto& s) { return s.mean; });
    AppendStatisticsRow(out, "Std Dev:                     ", columns, [](const auto& s) { return s.stdDev; });
    AppendStatisticsRow(out, "Max:                         ", columns, [](const auto& s) { return s.max; });
    AppendStatisticsRow(out, "Min:                         ", columns, [](const auto& s) { return s.min; });
    for (const CountRow& row : rows) {
        AppendRow(out, row.label, std::span(row.values).first(columns.size()), row.decimals);
    }
    out.append(rule).append(kLineEnd);
}

void AppendGridLines(std::string& out, const GridGeometry& geometry)
{
    out.append("Grid Step=");
    AppendFixed(out, geometry.step, 14, 5);
    out.append(kLineEnd).append("Nodes Number=");
    AppendFixed(out, static_cast<double>(geometry.nX * geometry.nY), 0, 0);
    out.append(kLineEnd);
}

void AppendCommonStatisticsBlock(std::string& out, std::string_view title, const GridGeometry& geometry,
                                 std::span<const PointValues> values, int components)
{
    out.append(title).append(kLineEnd).append(title.size(), '=').append(kLineEnd);
    AppendGridLines(out, geometry);
    const std::vector<ComponentStatistics> columns = StatisticsPerComponent(values, components, false);
    const auto n = static_cast<double>(values.size());
    std::array<CountRow, 3> rows{{{"# Data:                      ", {}, 0},
                                  {"# Data over +/-3*(Std Dev):  ", {}, 0},
                                  {"% Data within +/-3*(Std Dev):", {}, 2}}};
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const auto over = static_cast<double>(columns[c].over);
        rows[0].values[c] = n;
        rows[1].values[c] = over;
        rows[2].values[c] = values.empty() ? 0.0 : (n - over) * 100.0 / n;
    }
    AppendStatisticsTable(out, columns, rows);
}

void AppendExcludedStatisticsBlocks(std::string& out, std::span<const PointValues> errors, int components,
                                    std::size_t commonCount)
{
    const std::string_view percentLabel =
        components == 2 ? "% Used (within +/-3*StDev):  " : "% Used (within +/-3*StDev): ";
    const std::vector<ComponentStatistics> all = StatisticsPerComponent(errors, components, false);
    const auto m = static_cast<double>(errors.size());
    std::array<CountRow, 4> allRows{{{"# Data:                      ", {}, 0},
                                     {"# Predicted:                 ", {}, 0},
                                     {"# Excluded (over +/-3*StDev):", {}, 0},
                                     {percentLabel, {}, 2}}};
    std::array<CountRow, 4> withinRows = allRows;
    for (std::size_t c = 0; c < all.size(); ++c) {
        const auto over = static_cast<double>(all[c].over);
        const double percent = errors.empty() ? 0.0 : (m - over) * 100.0 / m;
        allRows[0].values[c] = withinRows[0].values[c] = static_cast<double>(commonCount);
        allRows[1].values[c] = m;
        withinRows[1].values[c] = m - over;
        allRows[2].values[c] = withinRows[2].values[c] = over;
        allRows[3].values[c] = withinRows[3].values[c] = percent;
    }
    const std::string equals(41, '=');
    out.append(kLineEnd).append("Statistical Situation for Excluded Points").append(kLineEnd);
    out.append("                All data                 ").append(kLineEnd).append(equals).append(kLineEnd);
    out.append(kLineEnd);
    AppendStatisticsTable(out, all, allRows);
    out.append(kLineEnd).append("Statistical Situation for Excluded Points").append(kLineEnd);
    out.append("          Data within +/-3*StdDev        ").append(kLineEnd).append(equals).append(kLineEnd);
    out.append(kLineEnd);
    AppendStatisticsTable(out, StatisticsPerComponent(errors, components, true), withinRows);
}

} // namespace velmora
