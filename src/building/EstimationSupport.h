// What the Helmert and regression estimations share: the common-point list (held in memory for
// the estimation, written back to its file after each pass), the model parameter records, the
// least-squares solution of an equation list, the precisions and weights of the adjusted
// observations, and the report "REZULT.TXT" with the line forms its tables use.
#pragma once

#include "building/NormalEquations.h"
#include "files/PointRecord.h"
#include "files/TextFile.h"
#include "model/ModelParameters.h"

#include <array>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// Coordinates enter the equations reduced by their means and divided by a million.
inline constexpr double kCentringScale = 1000000.0;

// All records of a point file. A missing or empty file is a FatalError with missingMessage;
// a damaged one fails in the record layer.
std::vector<PointRecord> LoadCommonPoints(const std::filesystem::path& path, const char* missingMessage);
// Rewrites records 0..size-1 of an existing point file.
void StorePoints(const std::filesystem::path& path, std::span<const PointRecord> points);

ModelParameterRecord ReadParameterRecord(const std::filesystem::path& path, std::uint64_t index);
// index may be the number of records: the record is appended.
void WriteParameterRecord(const std::filesystem::path& path, std::uint64_t index, const ModelParameterRecord& record);

struct LeastSquaresSolution {
    NormalMatrix q;                          // N^-1
    std::array<double, kNormalStride> x{};   // Q b
};

// Normal equations of the m unknowns, their inverse and the solution.
LeastSquaresSolution SolveLeastSquares(std::span<const EquationRecord> equations, int m, double eps, SmallPivot rule);

// Equation e belongs to point e / perPoint and its coordinate e % perPoint. Stores each point's
// distortion residual[c] in its equations and returns the sum of p D^2.
double StoreDistortions(std::span<EquationRecord> equations, std::span<const PointRecord> points, int perPoint);

enum class WeightUpdate { Recompute, Keep };

// For every equation: q = a^T Q a and the precision s = sqrt(|q|) sigma0 of the adjusted
// observation (into modelWork2[c] of its point); with Recompute also the weight p = 1 / s^2 (into
// the equation and modelWork3[c]); then 1/p - q and q into the equation.
void AssignObservationPrecisions(std::span<EquationRecord> equations, const NormalMatrix& q, double sigma0,
                                 std::span<PointRecord> points, int perPoint, WeightUpdate update);

// The report: every line ends in CR LF.
class ReportFile {
public:
    // FatalError with the result file's message when it cannot be opened.
    ReportFile(const std::filesystem::path& path, TextWriter::Mode mode);
    void Line(std::string_view text = {});
    // FatalError with the result file's message when a write failed.
    void Close();

private:
    TextWriter file_;
};

// label, then each value 12:4 with one blank between values.
std::string ValuesLine(std::string_view label, std::span<const double> values);
// A row of the parameter table: label, value:15:decimals, " | +/-", precision:15:decimals, unit.
std::string ParameterRow(std::string_view label, double value, double precision, int decimals, std::string_view unit);

// A numbered table of one row per point: an empty line, title, an empty line, the header between
// rules of its width, the rows of values(point), and a closing rule closingWidth wide. A row is
// "| " number:6 " | " name:20 " | " value:10:5 " | " ... " |"; a name longer than 20 characters
// is written in full.
void WritePointTable(ReportFile& report, std::string_view title, std::string_view header,
                     std::span<const PointRecord> points,
                     const std::function<std::span<const double>(const PointRecord&)>& values, std::size_t closingWidth);
// The heading of the per-point listing "Coordonate transformate, precizii, distorsiuni" and its
// "Puncte comune" section.
void WriteCommonPointsHeading(ReportFile& report);

// Radians as seconds of arc, in the order the tables have always computed them.
double ArcSeconds(double radians);

// The block of one common point in "Coordonate transformate, precizii, distorsiuni": its
// coordinates in both systems, transformed, their distortions and precisions, and the gross error
// verdict of each coordinate ("NU" when it passes).
void WriteCommonPointBlock(ReportFile& report, const PointRecord& point, int dimensions, std::string_view heading,
                           std::span<const bool> passes);

} // namespace velmora
