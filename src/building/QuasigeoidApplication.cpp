#include "building/QuasigeoidApplication.h"

#include "building/Quasigeoid.h"
#include "files/FatalError.h"
#include "files/NumberText.h"
#include "files/RecordFile.h"
#include "files/ResultWriter.h"
#include "files/TextFile.h"
#include "model/EngineSteps.h"
#include "model/GridInterpolation.h"
#include "model/NodeGrid.h"
#include "model/ReportStatistics.h"

#include <cmath>
#include <span>
#include <string_view>
#include <vector>

namespace velmora {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kLineEnd = "\r\n";
// Two points of the same name closer than this, in degrees, are reported as a duplicate.
constexpr double kDuplicateDistance = 1e-10;

// The grid's zeta corrections and, as values of their own, their standard errors.
struct QuasigeoidGrids {
    NodeGrid values;
    NodeGrid errors;

    explicit QuasigeoidGrids(const fs::path& path)
        : values(NodeGrid::Load(path)), errors(NodeGrid::Load(path, NodeValueField::StandardError))
    {
    }
};

enum class Prediction { Bicubic, Weighted };

// The third value of the grid at the point; false when the weighted stencil met a node without
// data and the bilinear prediction stood in for it.
bool PredictThird(PointRecord& point, const NodeGrid& grid, Prediction rule)
{
    if (rule == Prediction::Bicubic) {
        InterpolateBicubic(point, grid, kQuasigeoidSignal);
        return true;
    }
    if (InterpolateWeighted(point, grid, kQuasigeoidSignal))
        return true;
    InterpolateBilinear(point, grid, kQuasigeoidSignal);
    return false;
}

// The signal of a point inside the grid, and its precision interpolated alike from the nodes'
// standard errors (0 where the bilinear fallback stood in, as for the distortion models).
void InterpolatePoint(PointRecord& point, const QuasigeoidGrids& grids, Prediction rule)
{
    PointRecord precision = point;
    if (PredictThird(point, grids.values, rule) && PredictThird(precision, grids.errors, rule))
        point.modelWork2[2] = precision.residual[2];
}

void InterpolateFile(PointFile& points, const QuasigeoidGrids& grids, Prediction rule)
{
    for (std::uint64_t k = 0; k < points.Size(); ++k) {
        PointRecord point = points.Read(k);
        if (point.pointState == 'D') {
            InterpolatePoint(point, grids, rule);
            points.Write(k, point);
        }
    }
}

std::vector<PointRecord> ReadAll(PointFile& file)
{
    std::vector<PointRecord> points;
    points.reserve(static_cast<std::size_t>(file.Size()));
    for (std::uint64_t k = 0; k < file.Size(); ++k)
        points.push_back(file.Read(k));
    return points;
}

// The line of a new point in the final results: the name right-aligned in 6, B and L, and the
// corrected zeta, or the mark of a point outside the grid.
void AppendFinalLine(std::string& out, const PointRecord& point)
{
    const std::string_view name = point.name.View();
    if (name.size() < 6)
        out.append(6 - name.size(), ' ');
    out.append(name).push_back(' ');
    AppendFixed(out, point.sys1[1], 12, 6);
    out.push_back(' ');
    AppendFixed(out, point.sys1[0], 12, 6);
    if (point.pointState == 'D') {
        out.push_back(' ');
        AppendFixed(out, point.sys1[2] + point.residual[2], 12, 3);
        out.append(" 0 0 0 0");
    } else {
        out.append(" - exterior gridului");
    }
    out.append(kLineEnd);
}

std::string_view CommonTitle(char pointState)
{
    return pointState == 'N' ? " (comun)- *** exterior gridului ***" : " (comun)";
}

std::string_view VerifiedTitle(char pointState)
{
    switch (pointState) {
    case 'D': return " (rarit)";
    case 'E': return " (rarit)- *** exterior poligonului de dist. ***";
    default: return " (rarit)- *** exterior gridului de dist. ***";
    }
}

std::string_view NewPointOutsideTitle(const PointRecord& point)
{
    if (point.mark != 0)
        return " (comun) - EXTERIOR RETELEI DE DISTORSIUNI";
    return point.pointState == 'E' ? " (nou) - EXTERIOR POLIGONULUI DE DISTORSIUNI"
                                   : " (nou) - EXTERIOR RETELEI DE DISTORSIUNI";
}

class QuasigeoidReport {
public:
    QuasigeoidReport(const fs::path& path, const GridGeometry& geometry, Drawing& drawing)
        : geometry_(geometry), drawing_(drawing), file_(path)
    {
        if (!file_.IsOpen())
            throw FatalError(kResultIoMessage);
    }

    void Head(const std::string& sourceName);
    // Returns the number of common points.
    std::size_t CommonSection(PointFile& common);
    void VerifiedSection(PointFile& verified, std::size_t commonCount);
    void NewPointSection(PointFile& newPoints);
    void FinalResults(PointFile& newPoints);
    void Close();

private:
    void Line(std::string_view text) { text_.append(text).append(kLineEnd); }
    void Flush();
    void Value(std::string_view label, double value, int decimals = 3);
    void System(std::string_view label, const std::array<double, 3>& system);
    void Table(const PointRecord& point, double distortion, double final, const double* error);
    void ShortTable(const PointRecord& point);
    void Duplicates(std::span<const PointRecord> points, std::size_t i);
    void HeightArrow(char letter, double dZ, const PointRecord& at);
    std::vector<PointValues> KnownPoints(PointFile& file, std::span<PointRecord> points,
                                         std::string_view (*title)(char), bool arrows);

    const GridGeometry& geometry_;
    Drawing& drawing_;
    TextWriter file_;
    std::string text_;
};

void QuasigeoidReport::Flush()
{
    file_.Write(text_);
    text_.clear();
}

void QuasigeoidReport::Close()
{
    text_.append("ENDF");
    Flush();
    if (!file_.Close())
        throw FatalError(kResultIoMessage);
}

void QuasigeoidReport::Value(std::string_view label, double value, int decimals)
{
    text_.append(label);
    AppendFixed(text_, value, 12, decimals);
    text_.append(kLineEnd);
}

void QuasigeoidReport::System(std::string_view label, const std::array<double, 3>& system)
{
    text_.append(label);
    AppendFixed(text_, system[0], 12, 6);
    text_.append("  ");
    AppendFixed(text_, system[1], 12, 6);
    text_.append("  ");
    AppendFixed(text_, system[2], 12, 3);
    text_.append(kLineEnd);
}

constexpr std::string_view kTableHead = "                 L [G]         B [G]         Zita [m]";

void QuasigeoidReport::Table(const PointRecord& point, double distortion, double final, const double* error)
{
    Line(kTableHead);
    System("Sistem 1 :  ", point.sys1);
    System("Sistem 2 :  ", point.sys2);
    Value("Distorsiuni :", distortion);
    Value("Semnale :", point.residual[2]);
    Value("Zita final    :", final);
    if (error != nullptr)
        Value("Erori :", *error);
    Value("Precizii :", point.modelWork2[2]);
    Line("");
}

void QuasigeoidReport::ShortTable(const PointRecord& point)
{
    Line(kTableHead);
    System("Sistem 1 :  ", point.sys1);
    System("Sistem 2 :  ", point.sys2);
    Value("Zita final    :", point.modelWork2[5]);
    Line("");
}

// Every later point of the same name at the same place.
void QuasigeoidReport::Duplicates(std::span<const PointRecord> points, std::size_t i)
{
    const PointRecord& point = points[i];
    for (std::size_t j = i + 1; j < points.size(); ++j) {
        const PointRecord& other = points[j];
        if (other.name.View() != point.name.View())
            continue;
        const double distance = std::hypot(other.sys1[0] - point.sys1[0], other.sys1[1] - point.sys1[1]);
        if (distance < kDuplicateDistance) {
            text_.append("!!! Punct dublu (distanta in grade=");
            AppendFixed(text_, distance, 7, 3);
            text_.append(") !!!").append(kLineEnd);
        }
    }
}

// Height arrows stand at the point's system-2 position, at the scale of the grid interval.
void QuasigeoidReport::HeightArrow(char letter, double dZ, const PointRecord& at)
{
    drawing_.DxfHeightArrow(letter, geometry_.step, dZ, at.sys2[1], at.sys2[0]);
}

// The common or verified points, each with its table; each keeps its final zeta and its listing
// mark. Returns the errors.
std::vector<PointValues> QuasigeoidReport::KnownPoints(PointFile& file, std::span<PointRecord> points,
                                                       std::string_view (*title)(char), bool arrows)
{
    std::vector<PointValues> errors;
    errors.reserve(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        PointRecord& point = points[i];
        const double modelZeta = point.result[2];
        const double final = modelZeta + point.residual[2];
        const double error = final - point.sys2[2];
        point.mark = 1;
        point.modelWork1[2] = final;
        file.Write(i, point);

        text_.append("Punct: ").append(point.name.View()).append(title(point.pointState)).append(kLineEnd);
        Duplicates(points, i);
        if (arrows)
            HeightArrow('H', point.sys2[2] - point.result[2], point);
        Table(point, point.sys2[2] - modelZeta, final, &error);
        if (arrows)
            HeightArrow('R', point.sys2[2] - final, point);
        Flush();
        errors.push_back({error, 0.0, 0.0});
    }
    return errors;
}

void QuasigeoidReport::Head(const std::string& sourceName)
{
    Line("Fisier sursa: " + sourceName);
    Line("Zita corectat, distorsiuni, semnale, erori:");
    Line(std::string(43, '-'));
    Line("COMMON POINTS:");
    Line(std::string(14, '='));
    Flush();
}

std::size_t QuasigeoidReport::CommonSection(PointFile& common)
{
    std::vector<PointRecord> points = ReadAll(common);
    std::vector<PointValues> differences;
    for (const PointRecord& point : points)
        differences.push_back({point.result[2] - point.sys2[2], 0.0, 0.0});
    Line("");
    AppendCommonStatisticsBlock(text_, "Statistical Situation for Common Points before modelling", geometry_,
                                differences, 1);
    Line("");
    Flush();
    const std::vector<PointValues> errors = KnownPoints(common, points, CommonTitle, true);
    Line("");
    AppendCommonStatisticsBlock(text_, "Statistical Situation for Common Points after modelling", geometry_, errors, 1);
    Flush();
    return points.size();
}

void QuasigeoidReport::VerifiedSection(PointFile& verified, std::size_t commonCount)
{
    std::vector<PointRecord> points = ReadAll(verified);
    Line("VERIFIED POINTS:");
    Line(std::string(16, '='));
    const std::vector<PointValues> errors = KnownPoints(verified, points, VerifiedTitle, false);
    AppendExcludedStatisticsBlocks(text_, errors, 1, commonCount);
    Flush();
}

void QuasigeoidReport::NewPointSection(PointFile& newPoints)
{
    Line("NEW POINTS:");
    Line(std::string(14, '='));
    for (std::uint64_t k = 0; k < newPoints.Size(); ++k) {
        PointRecord point = newPoints.Read(k);
        SetFinalCoordinates(point, 'G', false);
        newPoints.Write(k, point);
        text_.append("Punct: ").append(point.name.View());
        if (point.pointState != 'D') {
            text_.append(NewPointOutsideTitle(point)).append(kLineEnd);
            ShortTable(point);
        } else if (point.mark == 0) {
            text_.append(" (nou)").append(kLineEnd);
            Table(point, 0.0, point.modelWork2[5], nullptr);
        } else {
            // A new point also known in the target system shows its distortion and error.
            text_.append(" (comun)").append(kLineEnd);
            const double final = point.modelWork2[5];
            const double error = final - point.sys2[2];
            HeightArrow('H', point.sys2[2] - point.result[2], point);
            Table(point, point.sys2[2] - point.result[2], final, &error);
            HeightArrow('R', point.sys2[2] - final, point);
        }
        Flush();
    }
}

void QuasigeoidReport::FinalResults(PointFile& newPoints)
{
    Line("Rezultate finale (folosite si pentru incarcare grid cu zita in noduri):");
    for (std::uint64_t k = 0; k < newPoints.Size(); ++k) {
        AppendFinalLine(text_, newPoints.Read(k));
        Flush();
    }
}

} // namespace

void ApplyQuasigeoidGridWithReport(const QuasigeoidReportJob& job, Drawing& drawing)
{
    const QuasigeoidGrids grids(job.nodeGridPath);
    PointFile newPoints = OpenNewPoints(job.newPointsPath);
    PointFile common = PointFile::OpenForUpdate(job.commonPointsPath);
    PointFile excluded = PointFile::OpenForUpdate(job.excludedPointsPath);
    InterpolateFile(newPoints, grids, Prediction::Bicubic);
    InterpolateFile(common, grids, Prediction::Bicubic);
    InterpolateFile(excluded, grids, Prediction::Weighted);

    QuasigeoidReport report(job.reportPath, grids.values.Geometry(), drawing);
    report.Head(job.sourceName);
    const std::size_t commonCount = report.CommonSection(common);
    if (excluded.Size() > 0)
        report.VerifiedSection(excluded, commonCount);
    report.NewPointSection(newPoints);
    report.FinalResults(newPoints);
    report.Close();
    newPoints.Close();
    common.Close();
    excluded.Close();
    drawing.WriteDxfEnd();
}

void ApplyQuasigeoidGridToResult(const fs::path& nodeGridPath, const fs::path& newPointsPath,
                                 const fs::path& inputPath, const fs::path& resultPath)
{
    const QuasigeoidGrids grids(nodeGridPath);
    PointFile newPoints = OpenNewPoints(newPointsPath);
    const std::string title = ReadTitleLine(inputPath);
    TextWriter result(resultPath);
    if (!result.IsOpen())
        throw FatalError(kResultIoMessage);
    std::string text = title;
    text.append(kLineEnd);
    for (std::uint64_t k = 0; k < newPoints.Size(); ++k) {
        PointRecord point = newPoints.Read(k);
        if (point.pointState == 'D')
            InterpolatePoint(point, grids, Prediction::Bicubic);
        SetFinalCoordinates(point, 'G', false);
        newPoints.Write(k, point);
        AppendFinalLine(text, point);
        result.Write(text);
        text.clear();
    }
    result.Write("ENDF");
    newPoints.Close();
    if (!result.Close())
        throw FatalError(kResultIoMessage);
}

} // namespace velmora
