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
    const bool spatial = columns.size() == 3;
    const std::string rule(spatial ? 58 : 48, '-');
    const std::string_view head = spatial ? "Statistic                         X         Y        Z    "
                                          : "Statistic                       East      North ";
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

} // namespace velmora
