#include "model/ModelReport.h"

#include "core/Stereo70.h"
#include "files/FatalError.h"
#include "files/NumberText.h"
#include "files/RecordFile.h"
#include "files/ResultWriter.h"
#include "files/TextFile.h"
#include "model/EngineSteps.h"
#include "model/ReportStatistics.h"

#include <cmath>
#include <optional>
#include <span>
#include <string_view>
#include <system_error>
#include <vector>

namespace velmora {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
// Two points of the same name closer than this are reported as a duplicate.
constexpr double kDuplicateDistance = 10.0;
constexpr double kArcSecondsPerRadian = 180.0 * 3600.0 / kPi;

std::vector<PointRecord> ReadAll(PointFile& file)
{
    std::vector<PointRecord> points;
    points.reserve(static_cast<std::size_t>(file.Size()));
    for (std::uint64_t k = 0; k < file.Size(); ++k) {
        points.push_back(file.Read(k));
    }
    return points;
}

PointValues Difference(const PointValues& a, const PointValues& b)
{
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

PointValues Sum(const PointValues& a, const PointValues& b)
{
    return {a[0] + b[0], a[1] + b[1], a[2] + b[2]};
}

// How the listing of the common and of the excluded points differ.
struct KnownPointStyle {
    char helmertArrow;
    char errorArrow;
    std::string_view (*title)(char pointState);
};

std::string_view CommonTitle(char pointState)
{
    return pointState == 'N' ? " (comun)- *** exterior gridului ***" : " (comun)";
}

std::string_view ExcludedTitle(char pointState)
{
    switch (pointState) {
    case 'D': return " (rarit)";
    case 'E': return " (rarit)- *** exterior poligonului de dist. ***";
    default: return " (rarit)- *** exterior gridului de dist. ***";
    }
}

std::string_view NewPointOutsideTitle(const PointRecord& point)
{
    if (point.mark != 0) {
        return " (comun) - EXTERIOR RETELEI DE DISTORSIUNI";
    }
    return point.pointState == 'E' ? " (nou) - EXTERIOR POLIGONULUI DE DISTORSIUNI"
                                   : " (nou) - EXTERIOR RETELEI DE DISTORSIUNI";
}

// The report as it is written, section by section; every section flushes its text point by point.
class ReportWriter {
public:
    ReportWriter(const ModelReportJob& job, const GridGeometry& geometry, char kind, bool regressionApplied,
                 ReportDrawing& drawing)
        : job_(job), geometry_(geometry), spatial_(kind == 'G'), components_(spatial_ ? 3 : 2), kind_(kind),
          regressionApplied_(regressionApplied), drawing_(drawing), file_(job.reportPath)
    {
        if (!file_.IsOpen()) {
            throw FatalError(kResultIoMessage);
        }
    }

    void Head();
    // Returns the number of common points the statistics took.
    std::size_t CommonSection(PointFile& common);
    void ExcludedSection(PointFile& excluded, std::size_t commonCount);
    void NewPointSection(PointFile& newPoints);
    void CartesianListing(PointFile& newPoints);
    void EllipsoidalListing(PointFile& newPoints);
    void Close();

private:
    // The trend coordinates when regression values are in the records, the Helmert ones otherwise.
    PointValues Reg(const PointRecord& point) const { return regressionApplied_ ? point.regression : point.result; }

    void Line(std::string_view text) { text_.append(text).append(kLineEnd); }
    void Flush();
    void Values(std::string_view label, const PointValues& values);
    void PointBlock(const PointRecord& point, const PointValues& distortion, const PointValues& final,
                    const PointValues* error);
    void ShortBlock(const PointRecord& point);
    void Duplicates(std::span<const PointRecord> points, std::size_t i);
    void Arrow(char letter, const PointValues& vector, const PointRecord& at);
    std::vector<PointValues> KnownPoints(PointFile& file, std::span<PointRecord> points, const KnownPointStyle& style);
    void NewPoint(const PointRecord& point);
    void GeodeticLine(const PointRecord& point);
    void PlaneGeodeticLine(const PointRecord& point);

    const ModelReportJob& job_;
    const GridGeometry& geometry_;
    const bool spatial_;
    const int components_;
    const char kind_;
    const bool regressionApplied_;
    ReportDrawing& drawing_;
    TextWriter file_;
    std::string text_;
};

void ReportWriter::Flush()
{
    file_.Write(text_);
    text_.clear();
}

void ReportWriter::Close()
{
    Flush();
    if (!file_.Close()) {
        throw FatalError(kResultIoMessage);
    }
}

void ReportWriter::Values(std::string_view label, const PointValues& values)
{
    text_.append(label);
    for (int c = 0; c < components_; ++c) {
        if (c > 0) {
            text_.append("  ");
        }
        AppendFixed(text_, values[static_cast<std::size_t>(c)], 12, 3);
    }
    text_.append(kLineEnd);
}

void ReportWriter::PointBlock(const PointRecord& point, const PointValues& distortion, const PointValues& final,
                              const PointValues* error)
{
    Line(spatial_ ? "                       X[m]           Y[m]        Z[m]" : "                   Est [m]       Nord [m]");
    Values("Sistem 1 :      ", point.sys1);
    Values("Sistem 2 :      ", point.sys2);
    Values("Trans. Helmert: ", point.result);
    Values("Trans. Regresie:", point.regression);
    Values("Distorsiuni :   ", distortion);
    Values("Semnale :       ", point.residual);
    Values("Coord. finale : ", final);
    if (error != nullptr) {
        Values("Erori :         ", *error);
    }
    Values("Precizii :      ", {point.modelWork2[0], point.modelWork2[1], point.modelWork2[2]});
    Line("");
}

void ReportWriter::ShortBlock(const PointRecord& point)
{
    Line(spatial_ ? "                       X[m]           Y[m]         Z[m]"
                  : "                  Est [m]         Nord [m]");
    Values("Sistem 1 :      ", point.sys1);
    Values("Sistem 2 :      ", point.sys2);
    Values("Trans. Helmert: ", point.result);
    Values("Trans. Regresie:", point.regression);
    Values("Coord. finale : ", Reg(point));
    Line("");
}

// Every later point of the same name within kDuplicateDistance in the source system.
void ReportWriter::Duplicates(std::span<const PointRecord> points, std::size_t i)
{
    const PointRecord& point = points[i];
    for (std::size_t j = i + 1; j < points.size(); ++j) {
        const PointRecord& other = points[j];
        if (other.name.View() != point.name.View()) {
            continue;
        }
        const double dE = other.sys1[0] - point.sys1[0];
        const double dN = other.sys1[1] - point.sys1[1];
        const double distance = std::sqrt(dE * dE + dN * dN);
        if (distance < kDuplicateDistance) {
            text_.append("!!! Punct dublu (dist. in plan=");
            AppendFixed(text_, distance, 7, 3);
            text_.append(") !!!").append(kLineEnd);
        }
    }
}

// Arrows are drawn at the point's target position, at the scale of the grid interval.
void ReportWriter::Arrow(char letter, const PointValues& vector, const PointRecord& at)
{
    drawing_.DxfArrow(letter, geometry_.step, vector[0], vector[1], at.sys2[0], at.sys2[1]);
}

// The listing of the common or excluded points: each point is marked as listed and keeps its
// errors; returns the errors.
std::vector<PointValues> ReportWriter::KnownPoints(PointFile& file, std::span<PointRecord> points,
                                                   const KnownPointStyle& style)
{
    std::vector<PointValues> errors;
    errors.reserve(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        PointRecord& point = points[i];
        const PointValues reg = Reg(point);
        const PointValues final = Sum(reg, point.residual);
        const PointValues error = Difference(final, point.sys2);
        point.mark = 1;
        for (std::size_t c = 0; c < static_cast<std::size_t>(components_); ++c) {
            point.modelWork1[c] = error[c];
        }
        file.Write(i, point);

        text_.append("Punct: ").append(point.name.View()).append(style.title(point.pointState)).append(kLineEnd);
        Duplicates(points, i);
        Arrow(style.helmertArrow, Difference(point.sys2, point.result), point);
        PointBlock(point, Difference(point.sys2, reg), final, &error);
        Arrow(style.errorArrow, Difference(point.sys2, final), point);
        Flush();
        errors.push_back(error);
    }
    return errors;
}

void ReportWriter::Head()
{
    Line("Fisier sursa: " + job_.sourceName);
    Line("Coordonate transformate, distorsiuni, semnale, erori:");
    Line(std::string(53, '-'));
    Line("COMMON POINTS:");
    Line(std::string(14, '='));
    Flush();
}

std::size_t ReportWriter::CommonSection(PointFile& common)
{
    std::vector<PointRecord> points = ReadAll(common);
    // A non-empty selection file narrows the statistics to the points without a "#" name, and
    // receives them (with their marks and errors) in place of the common-points file.
    std::optional<PointFile> selection;
    std::error_code error;
    if (std::filesystem::exists(job_.selectionPath, error) && PointFile::OpenForUpdate(job_.selectionPath).Size() > 0) {
        std::erase_if(points, [](const PointRecord& p) { return p.name.View().starts_with('#'); });
        selection.emplace(PointFile::Create(job_.selectionPath));
        for (const PointRecord& point : points) {
            selection->Append(point);
        }
    }
    PointFile& listed = selection ? *selection : common;

    std::vector<PointValues> differences;
    for (const PointRecord& point : points) {
        differences.push_back(Difference(point.result, point.sys2));
    }
    Line("");
    AppendCommonStatisticsBlock(text_, "Statistical Situation for Common Points before modelling", geometry_,
                                differences, components_);
    Line("");
    Flush();

    const std::vector<PointValues> errors = KnownPoints(listed, points, {'H', 'R', CommonTitle});
    Line("");
    AppendCommonStatisticsBlock(text_, "Statistical Situation for Common Points after modelling", geometry_, errors,
                                components_);
    Flush();
    if (selection) {
        selection->Close();
    }
    return points.size();
}

void ReportWriter::ExcludedSection(PointFile& excluded, std::size_t commonCount)
{
    std::vector<PointRecord> points = ReadAll(excluded);
    Line("EXCLUDED POINTS:");
    Line(std::string(16, '='));
    const std::vector<PointValues> errors = KnownPoints(excluded, points, {'I', 'J', ExcludedTitle});

    AppendExcludedStatisticsBlocks(text_, errors, components_, commonCount);
    Flush();
}

void ReportWriter::NewPoint(const PointRecord& point)
{
    text_.append("Punct: ").append(point.name.View());
    if (point.pointState != 'D') {
        text_.append(NewPointOutsideTitle(point)).append(kLineEnd);
        ShortBlock(point);
        return;
    }
    const bool known = point.mark != 0;
    text_.append(known ? " (comun)" : " (nou)").append(kLineEnd);
    const PointValues final{point.modelWork2[3], point.modelWork2[4], point.modelWork2[5]};
    if (!known) {
        PointBlock(point, PointValues{}, final, nullptr);
        return;
    }
    // A new point also known in the target system shows its distortion and error like a common one.
    Arrow('H', Difference(point.sys2, point.result), point);
    const PointValues error = Difference(final, point.sys2);
    PointBlock(point, Difference(point.sys2, Reg(point)), final, &error);
    Arrow('R', Difference(point.sys2, final), point);
}

void ReportWriter::NewPointSection(PointFile& newPoints)
{
    Line("NEW POINTS:");
    Line(std::string(14, '='));
    for (std::uint64_t k = 0; k < newPoints.Size(); ++k) {
        PointRecord point = newPoints.Read(k);
        SetFinalCoordinates(point, kind_, regressionApplied_);
        NewPoint(point);
        newPoints.Write(k, point);
        Flush();
    }
}

void ReportWriter::CartesianListing(PointFile& newPoints)
{
    Line("");
    Line("Coordonate carteziene transformate:");
    for (std::uint64_t k = 0; k < newPoints.Size(); ++k) {
        const PointRecord point = newPoints.Read(k);
        text_.append(point.name.View());
        const bool inside = point.pointState == 'D';
        if (inside || spatial_) {
            for (int c = 0; c < components_; ++c) {
                text_.append(", ");
                AppendFixed(text_, point.modelWork2[3 + static_cast<std::size_t>(c)], 10, 3);
            }
        }
        if (inside) {
            for (int c = 0; c < components_; ++c) {
                text_.append(", +/-");
                AppendFixed(text_, point.modelWork2[static_cast<std::size_t>(c)], 7, 3);
            }
        } else {
            text_.append(spatial_ ? " - exterior gridului" : " - exterior gridului de distorsiuni");
        }
        text_.append(kLineEnd);
        Flush();
    }
    Line("ENDF");
    Flush();
}

// Plane models: the Stereo70 inverse of the final coordinates on the target ellipsoid, with the
// precisions turned into arc seconds and metres along the meridian and the parallel.
void ReportWriter::PlaneGeodeticLine(const PointRecord& point)
{
    const Ellipsoid& target = job_.target;
    const double east = point.modelWork2[3];
    const double north = point.modelWork2[4];
    const LatLon bl = StereoInverse(target.a, target.invF, east, north);
    const LatLon shifted = StereoInverse(target.a, target.invF, east + std::fabs(point.modelWork2[0]),
                                         north + std::fabs(point.modelWork2[1]));
    const double f = 1.0 / target.invF;
    const double e2 = 2.0 * f - f * f;
    const double sinB = std::sin(bl.phi);
    const double nu = target.a / std::sqrt(1.0 - e2 * sinB * sinB);
    const double meridianArc = std::fabs(MeridianArc(shifted.phi, e2, target.a) - MeridianArc(bl.phi, e2, target.a));
    const double parallelArc = std::fabs(std::cos(bl.phi) * nu * (shifted.lambda - bl.lambda));

    text_.append(",");
    AppendAngleText(text_, RadToDeg(bl.phi) * 3600.0, AngleForm::DegreeSign);
    text_.append("N,");
    AppendAngleText(text_, RadToDeg(bl.lambda) * 3600.0, AngleForm::DegreeSign);
    text_.append("E, +/-");
    AppendFixed(text_, std::fabs(shifted.phi - bl.phi) * kArcSecondsPerRadian, 8, 5);
    text_.append("\" (");
    AppendFixed(text_, meridianArc, 6, 3);
    text_.append(" m), +/-");
    AppendFixed(text_, std::fabs(shifted.lambda - bl.lambda) * kArcSecondsPerRadian, 8, 5);
    text_.append("\" (");
    AppendFixed(text_, parallelArc, 6, 3);
    text_.append(" m)");
}

// Three-dimensional models: latitude, longitude and height of the final X, Y, Z on the target
// ellipsoid; a point known in the target system also shows its height error.
void ReportWriter::GeodeticLine(const PointRecord& point)
{
    const Geodetic blh = CartesianToGeodetic(job_.target, point.modelWork2[3], point.modelWork2[4], point.modelWork2[5]);
    text_.append(", ");
    AppendAngleText(text_, blh.phi * kArcSecondsPerRadian, AngleForm::Blanks);
    text_.append(", ");
    AppendAngleText(text_, blh.lambda * kArcSecondsPerRadian, AngleForm::Blanks);
    text_.append(", ");
    AppendFixed(text_, blh.h, 10, 3);
    if (point.pointState != 'D') {
        text_.append(" - exterior gridului");
    } else if (point.mark != 0) {
        const Geodetic known = CartesianToGeodetic(job_.target, point.sys2[0], point.sys2[1], point.sys2[2]);
        text_.append(", ");
        AppendFixed(text_, blh.h - known.h, 10, 3);
    }
}

void ReportWriter::EllipsoidalListing(PointFile& newPoints)
{
    Line(spatial_ ? "Coordonate elipsoidale (B, L, h (Hn), Er_Hn_MN.) transformate:"
                  : "Coordonate elipsoidale (B, L) transformate:");
    for (std::uint64_t k = 0; k < newPoints.Size(); ++k) {
        const PointRecord point = newPoints.Read(k);
        text_.append(point.name.View());
        if (spatial_) {
            GeodeticLine(point);
        } else if (point.pointState == 'D') {
            PlaneGeodeticLine(point);
        } else {
            text_.append(" - exterior gridului de distorsiuni");
        }
        text_.append(kLineEnd);
        Flush();
    }
    text_.append("ENDF");
    Flush();
}

} // namespace

void ApplyDistortionModelWithReport(const DistortionModel& model, const ModelReportJob& job, ReportDrawing& drawing)
{
    PointFile newPoints = OpenNewPoints(job.newPointsPath);
    const char kind = newPoints.Read(0).coordKind;
    PointFile excluded = PointFile::OpenForUpdate(job.excludedPointsPath);
    PointFile common = PointFile::OpenForUpdate(job.commonPointsPath);

    bool regressionApplied =
        ComputeSignals(newPoints, model, job.modelKind, kind, job.regressionApplied, SignalRule::ByKind);
    if (excluded.Size() > 0) {
        regressionApplied =
            ComputeSignals(excluded, model, job.modelKind, kind, regressionApplied, SignalRule::Weighted);
    }
    ComputeCommonSignals(common, model.grid, kind);

    ReportWriter report(job, model.grid.Geometry(), kind, regressionApplied, drawing);
    report.Head();
    if (job.withStatistics) {
        const std::size_t commonCount = report.CommonSection(common);
        if (excluded.Size() > 0) {
            report.ExcludedSection(excluded, commonCount);
        }
    }
    report.NewPointSection(newPoints);
    report.CartesianListing(newPoints);
    report.EllipsoidalListing(newPoints);
    report.Close();
    newPoints.Close();
    excluded.Close();
    common.Close();
    drawing.WriteDxfEnd();
}

} // namespace velmora
