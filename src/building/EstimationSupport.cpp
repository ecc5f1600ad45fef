#include "building/EstimationSupport.h"

#include "files/FatalError.h"
#include "files/NumberText.h"
#include "files/RecordFile.h"
#include "files/ResultWriter.h"

#include <cmath>
#include <numbers>

namespace velmora {

namespace {

using ParameterFile = RecordFile<ModelParameterRecord>;

// The coordinate c of the point that equation e belongs to.
struct EquationOwner {
    std::size_t point;
    std::size_t coordinate;
};

EquationOwner OwnerOf(std::size_t e, int perPoint)
{
    const auto per = static_cast<std::size_t>(perPoint);
    return {e / per, e % per};
}

} // namespace

std::vector<PointRecord> LoadCommonPoints(const std::filesystem::path& path, const char* missingMessage)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        throw FatalError(missingMessage);
    PointFile file = PointFile::OpenForUpdate(path);
    if (file.Size() == 0)
        throw FatalError(missingMessage);
    std::vector<PointRecord> points;
    points.reserve(file.Size());
    for (std::uint64_t k = 0; k < file.Size(); ++k)
        points.push_back(file.Read(k));
    file.Close();
    return points;
}

void StorePoints(const std::filesystem::path& path, std::span<const PointRecord> points)
{
    PointFile file = PointFile::OpenForUpdate(path);
    for (std::size_t k = 0; k < points.size(); ++k)
        file.Write(k, points[k]);
    file.Close();
}

ModelParameterRecord ReadParameterRecord(const std::filesystem::path& path, std::uint64_t index)
{
    ParameterFile file = ParameterFile::OpenForUpdate(path);
    return file.Read(index);
}

void WriteParameterRecord(const std::filesystem::path& path, std::uint64_t index, const ModelParameterRecord& record)
{
    ParameterFile file = ParameterFile::OpenForUpdate(path);
    file.Write(index, record);
    file.Close();
}

LeastSquaresSolution SolveLeastSquares(std::span<const EquationRecord> equations, int m, double eps, SmallPivot rule)
{
    NormalEquations normal;
    AccumulateNormalEquations(equations, m, normal);
    LeastSquaresSolution solution;
    solution.q = normal.n;
    InvertNormalMatrix(solution.q, m, eps, rule);
    for (int i = 0; i < m; ++i) {
        double sum = 0.0;
        for (int j = 0; j < m; ++j)
            sum += solution.q(i, j) * normal.b[static_cast<std::size_t>(j)];
        solution.x[static_cast<std::size_t>(i)] = sum;
    }
    return solution;
}

double StoreDistortions(std::span<EquationRecord> equations, std::span<const PointRecord> points, int perPoint)
{
    double sum = 0.0;
    for (std::size_t e = 0; e < equations.size(); ++e) {
        const EquationOwner owner = OwnerOf(e, perPoint);
        EquationRecord& equation = equations[e];
        equation.residual = points[owner.point].residual[owner.coordinate];
        sum += equation.residual * equation.residual * equation.p;
    }
    return sum;
}

void AssignObservationPrecisions(std::span<EquationRecord> equations, const NormalMatrix& q, double sigma0,
                                 std::span<PointRecord> points, int perPoint, WeightUpdate update)
{
    for (std::size_t e = 0; e < equations.size(); ++e) {
        const EquationOwner owner = OwnerOf(e, perPoint);
        EquationRecord& equation = equations[e];
        PointRecord& point = points[owner.point];
        const double cofactor = QuadraticForm(q, std::span(equation.a).first(equation.count));
        const double precision = std::sqrt(std::fabs(cofactor)) * sigma0;
        if (update == WeightUpdate::Recompute) {
            // Exactly consistent points leave no precision to weigh by: such an observation keeps
            // the unit weight instead of an infinite one.
            equation.p = precision == 0.0 ? 1.0 : 1.0 / (precision * precision);
            point.modelWork3[owner.coordinate] = equation.p;
        }
        point.modelWork2[owner.coordinate] = precision;
        equation.redundancy = 1.0 / equation.p - cofactor;
        equation.cofactor = cofactor;
    }
}

ReportFile::ReportFile(const std::filesystem::path& path, TextWriter::Mode mode) : file_(path, mode)
{
    if (!file_.IsOpen())
        throw FatalError(kResultIoMessage);
}

void ReportFile::Line(std::string_view text)
{
    file_.Write(text);
    file_.Write("\r\n");
}

void ReportFile::Close()
{
    if (!file_.Close())
        throw FatalError(kResultIoMessage);
}

namespace {

std::string TableRow(int number, std::string_view name, std::span<const double> values)
{
    std::string row = "| ";
    AppendFixed(row, number, 6, 0);
    row.append(" | ");
    if (name.size() < 20)
        row.append(20 - name.size(), ' ');
    row.append(name);
    for (const double value : values) {
        row.append(" | ");
        AppendFixed(row, value, 10, 5);
    }
    row.append(" |");
    return row;
}

} // namespace

void WritePointTable(ReportFile& report, std::string_view title, std::string_view header,
                     std::span<const PointRecord> points,
                     const std::function<std::span<const double>(const PointRecord&)>& values, std::size_t closingWidth)
{
    report.Line();
    report.Line(title);
    report.Line();
    report.Line(std::string(header.size(), '='));
    report.Line(header);
    report.Line(std::string(header.size(), '-'));
    int number = 0;
    for (const PointRecord& point : points)
        report.Line(TableRow(++number, point.name.View(), values(point)));
    report.Line(std::string(closingWidth, '='));
}

void WriteCommonPointsHeading(ReportFile& report)
{
    report.Line();
    report.Line("Coordonate transformate, precizii, distorsiuni");
    report.Line("----------------------------------------------");
    report.Line();
    report.Line("Puncte comune");
    report.Line("-------------");
}

std::string ValuesLine(std::string_view label, std::span<const double> values)
{
    std::string line(label);
    for (std::size_t k = 0; k < values.size(); ++k) {
        if (k > 0)
            line.push_back(' ');
        AppendFixed(line, values[k], 12, 4);
    }
    return line;
}

std::string ParameterRow(std::string_view label, double value, double precision, int decimals, std::string_view unit)
{
    std::string row(label);
    AppendFixed(row, value, 15, decimals);
    row.append(" | +/-");
    AppendFixed(row, precision, 15, decimals);
    row.append(unit);
    return row;
}

double ArcSeconds(double radians)
{
    return radians * 180.0 * 3600.0 / std::numbers::pi;
}

void WriteCommonPointBlock(ReportFile& report, const PointRecord& point, int dimensions, std::string_view heading,
                           std::span<const bool> passes)
{
    const auto n = static_cast<std::size_t>(dimensions);
    report.Line(std::string("Punct: ").append(point.name.View()));
    report.Line(heading);
    report.Line(ValuesLine("Sistemul 1:   ", std::span(point.sys1).first(n)));
    report.Line(ValuesLine("Sistemul 2:   ", std::span(point.sys2).first(n)));
    report.Line(ValuesLine("Transformate: ", std::span(point.result).first(n)));
    report.Line(ValuesLine("Distorsiuni:  ", std::span(point.residual).first(n)));
    report.Line(ValuesLine("Precizii:     ", std::span(point.modelWork2).first(n)));
    std::string verdicts = "Er. grosiere: ";
    for (std::size_t k = 0; k < n; ++k) {
        if (k > 0)
            verdicts.push_back(' ');
        verdicts.append(10, ' ').append(passes[k] ? "NU" : "DA");
    }
    report.Line(verdicts);
    report.Line();
}

} // namespace velmora
