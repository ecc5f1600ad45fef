#include "building/HelmertEstimation.h"
#include "building/PlaneSimilarity.h"

#include "files/FatalError.h"
#include "files/NumberText.h"
#include "files/RecordFile.h"

#include <cmath>

namespace velmora {

namespace {

constexpr int kPlaneEquationsPerPoint = 2;
constexpr const char* kPlaneHeading = "                  Est [m]      Nord [m]";

// Stores the similarity in the four Helmert fields of record 0 and returns the record.
ModelParameterRecord StorePlaneHelmert(const std::filesystem::path& parameterPath, const PlaneSimilarity& s)
{
    ModelParameterRecord model = ReadParameterRecord(parameterPath, 0);
    model.helmertShiftE = s.tE;
    model.helmertShiftN = s.tN;
    model.helmertA = s.a;
    model.helmertB = s.b;
    WriteParameterRecord(parameterPath, 0, model);
    return model;
}

void WriteParameterTable(ReportFile& report, std::size_t n, const HelmertMeans& means, const PlaneSimilarity& s,
                         double sigma0)
{
    const NormalMatrix& q = s.solution.q;
    const auto precision = [&](int i) { return std::sqrt(std::fabs(q(i, i))) * sigma0; };
    const ScaleRotationGradient g = ScaleRotationGradients(s.a, s.b);
    const double rotationPrecision = std::sqrt(std::fabs(QuadraticForm(q, g.rotation))) * sigma0;
    const double scalePrecision = std::sqrt(std::fabs(QuadraticForm(q, g.scale))) * sigma0;

    report.Line();
    report.Line("Parametrii Transformarii Helmert in spatiul 2D");
    report.Line();
    report.Line("Numar puncte comune: " + FormatFixed(static_cast<double>(n), 5, 0));
    report.Line("Originea sistemului 1: Est(0) =" + FormatFixed(means[0], 7, 4) + " [m]");
    report.Line("                       Nord(0)=" + FormatFixed(means[1], 7, 4) + " [m]");
    report.Line();
    report.Line(std::string(64, '='));
    report.Line("|    Parametru    |     Valoare     |      Precizie      | UM  |");
    report.Line(std::string(64, '-'));
    report.Line(ParameterRow("| Translatie Est  | ", s.tE, precision(0), 4, " | [m] |"));
    report.Line(ParameterRow("| Translatie Nord | ", s.tN, precision(1), 4, " | [m] |"));
    // The scale precision comes out of the scaled equations in parts per million.
    report.Line(ParameterRow("|Sc. dm=(m-1)*1e+6| ", (s.Scale() - 1.0) * 1e6, scalePrecision, 8, " | ppm |"));
    report.Line(ParameterRow("| Rotatie Rz (K)  | ", ArcSeconds(s.Rotation()), ArcSeconds(rotationPrecision * 1e-6),
                             8, " |  \"  |"));
    report.Line(std::string(64, '='));
    report.Line("Sigma0   = +/-" + FormatFixed(sigma0, 11, 6));
}

void WriteDistortionTables(ReportFile& report, std::span<const PointRecord> points)
{
    WritePointTable(report, "Distorsiuni \"D\" pe Est si Nord in punctele comune:",
                    "|Nr. crt.|        Punct         |  D_Est [m] | D_Nord [m] |", points,
                    [](const PointRecord& point) { return std::span(point.residual).first(2); }, 59);
    WriteCommonPointsHeading(report);
    // The plane estimation has no gross-error test: every coordinate passes.
    const bool passes[] = {true, true};
    for (const PointRecord& point : points)
        WriteCommonPointBlock(report, point, 2, kPlaneHeading, passes);
}

// The further common points of "pcnoth.rec" and then "pcpol.rec", transformed by the model,
// with their distortions, after the last record of "PCOMUNE.REC". Their own files are left as
// they are.
void AppendFurtherCommonPoints(const BuildRun& run, const ModelParameterRecord& model)
{
    PointFile common = PointFile::OpenForUpdate(run.WorkFile(kBuildCommonPointsName));
    for (const std::string_view name : {kOtherPointsFileName, kPolygonPointsFileName}) {
        const std::filesystem::path path = run.workDir / name;
        std::error_code error;
        if (!std::filesystem::is_regular_file(path, error))
            continue;
        PointFile further = PointFile::OpenForUpdate(path);
        for (std::uint64_t k = 0; k < further.Size(); ++k) {
            PointRecord point = further.Read(k);
            ApplyModelHelmert(point, model);
            SetPlaneDistortions(point);
            common.Append(point);
        }
    }
    common.Close();
}

// The new points, transformed by the model in place, listed in the report and drawn: a point and
// a target on "PUNCTE_NOI", the name on "TEXTNOI" one label height to the East.
void TransformNewPoints(BuildRun& run, const ModelParameterRecord& model, ReportFile& report)
{
    report.Line("Puncte noi dupa Tr. Helmert");
    report.Line("---------------------------");
    report.Line("Punct, Est_sistem1, Nord_sistem1, Est_sistem2, Nord_sistem2");
    PointFile newPoints = PointFile::OpenForUpdate(run.WorkFile(kBuildNewPointsName));
    std::string line;
    for (std::uint64_t k = 0; k < newPoints.Size(); ++k) {
        PointRecord point = newPoints.Read(k);
        ApplyModelHelmert(point, model);
        newPoints.Write(k, point);
        line.assign(point.name.View());
        for (const double value : {point.sys1[0], point.sys1[1], point.result[0], point.result[1]}) {
            line.append(", ");
            AppendFixed(line, value, 12, 4);
        }
        report.Line(line);
        if (run.drawing) {
            const double x = point.result[0];
            const double y = point.result[1];
            run.drawing->DxfPoint(kLayerNewPoints, x, y);
            run.drawing->DxfTarget(kLayerNewPoints, x, y, run.targetRadius);
            run.drawing->DxfText(point.name.View(), 0.0, kLayerNewText, run.labelHeight, x + run.labelHeight, y);
        }
    }
    newPoints.Close();
}

} // namespace

void EstimateHelmert2D(BuildRun& run, int /*flag*/)
{
    const std::filesystem::path commonPath = run.WorkFile(kBuildCommonPointsName);
    std::vector<PointRecord> points = LoadCommonPoints(commonPath, kCommonPointsInvalidMessage);
    const std::size_t n = points.size();
    const char kind = points.front().coordKind;
    if (kind == 'P' && n < 3)
        throw FatalError(kTooFewPlanePointsMessage);
    if (kind == 'G' && n < 4)
        throw FatalError(kTooFewSpatialPointsMessage);
    if (kind != 'P')
        return;
    const HelmertMeans means = SystemMeans(points, MeanRule::EachPoint);
    const double redundancy = 2.0 * static_cast<double>(n) - 4.0;

    // First pass, unit weights; its adjusted observations give the weights of the second.
    std::vector<EquationRecord> equations = BuildHelmertEquations(points, means, false);
    ReportFile report(run.WorkFile(kEstimationReportName), TextWriter::Mode::Replace);
    const PlaneSimilarity first = SolvePlaneSimilarity(equations, means);
    ApplyPlaneSimilarity(points, first);
    StorePoints(commonPath, points);
    const double firstSigma0 = std::sqrt(StoreDistortions(equations, points, kPlaneEquationsPerPoint) / redundancy);
    AssignObservationPrecisions(equations, first.solution.q, firstSigma0, points, kPlaneEquationsPerPoint,
                                WeightUpdate::Recompute);

    // Second pass, weighted.
    equations = BuildHelmertEquations(points, means, true);
    const PlaneSimilarity second = SolvePlaneSimilarity(equations, means);
    ApplyPlaneSimilarity(points, second);
    StorePoints(commonPath, points);
    const ModelParameterRecord model = StorePlaneHelmert(run.parameterPath, second);
    const double sigma0 = std::sqrt(StoreDistortions(equations, points, kPlaneEquationsPerPoint) / redundancy);
    WriteParameterTable(report, n, means, second, sigma0);
    AssignObservationPrecisions(equations, second.solution.q, sigma0, points, kPlaneEquationsPerPoint,
                                WeightUpdate::Recompute);
    StorePoints(commonPath, points);

    WriteDistortionTables(report, points);
    AppendFurtherCommonPoints(run, model);
    TransformNewPoints(run, model, report);
    report.Close();
}

} // namespace velmora
