#include "building/HelmertEstimation.h"
#include "building/PlaneSimilarity.h"

#include "files/FatalError.h"
#include "files/NumberText.h"
#include "files/RecordFile.h"

#include <cmath>
#include <limits>
#include <optional>

namespace velmora {

namespace {

constexpr int kSpatialEquationsPerPoint = 3;
constexpr int kSevenParameters = 7;
constexpr double kTiltInversionEps = 1e-10;
constexpr double kSpatialInversionEps = 1e-30;
// The iteration ends when no coordinate of any point moves by more than this (metres), or after
// kIterationLimit iterations; the parameter table of a run that does not converge is that of
// iteration kIterationLimit - 1.
constexpr double kConvergenceLimit = 1e-4;
constexpr int kIterationLimit = 50;

constexpr const char* kSpatialHeading = "                  X [m]        Y [m]       Z [m]";

using Matrix3 = std::array<double, 9>;
using Vector3 = std::array<double, 3>;

struct FRow {
    int df;
    double value; // at the 0.01 level
};

constexpr std::array<FRow, 21> kFTable{{{1, 4050.0}, {2, 98.5},  {3, 34.1},   {4, 21.2},   {5, 16.3},   {6, 13.7},
                                        {8, 11.3},   {10, 10.0}, {12, 9.33},  {15, 8.68},  {20, 8.1},   {30, 7.56},
                                        {40, 7.31},  {60, 7.08}, {100, 6.9},  {125, 6.84}, {150, 6.81}, {200, 6.76},
                                        {300, 6.72}, {500, 6.69}, {1000, 6.66}}};

Matrix3 Multiply(const Matrix3& l, const Matrix3& r)
{
    Matrix3 product{};
    for (std::size_t i = 0; i < 3; ++i) {
        for (std::size_t j = 0; j < 3; ++j)
            product[3 * i + j] = l[3 * i] * r[j] + l[3 * i + 1] * r[3 + j] + l[3 * i + 2] * r[6 + j];
    }
    return product;
}

Vector3 Rotate(const Matrix3& r, const Vector3& p)
{
    return {r[0] * p[0] + r[1] * p[1] + r[2] * p[2], r[3] * p[0] + r[4] * p[1] + r[5] * p[2],
            r[6] * p[0] + r[7] * p[1] + r[8] * p[2]};
}

struct SevenParameterModel {
    Vector3 shift{};
    double scale = 1.0; // multiplicative
    Matrix3 rotation{};
    double rx = 0.0;
    double ry = 0.0;
    double rz = 0.0;

    // m (R P1) + t
    Vector3 Transform(const Vector3& p) const
    {
        const Vector3 rotated = Rotate(rotation, p);
        return {scale * rotated[0] + shift[0], scale * rotated[1] + shift[1], scale * rotated[2] + shift[2]};
    }
};

// Corrections of the last solution: shifts of the uncentred model, relative scale, small angles.
struct Corrections {
    Vector3 shift{};
    double scale = 0.0;
    Vector3 angle{};
};

void SetSpatialDistortions(PointRecord& point)
{
    for (std::size_t c = 0; c < 3; ++c)
        point.residual[c] = point.sys2[c] - point.result[c];
}

class SpatialEstimation {
public:
    SpatialEstimation(const BuildRun& run, std::vector<PointRecord> points);
    void Run();

private:
    double Redundancy() const { return 3.0 * static_cast<double>(points_.size()) - kSevenParameters; }
    void PlaneStage();
    void TiltStage();
    void FirstApproximations();
    void UpdateTransformedMeans();
    void BuildEquations(bool weighted);
    void Solve();
    void Iterate(bool weighted);
    void ApplyCorrections();
    void StoreModel() const;
    bool UpdateApproximations();
    void WeighObservations();
    void TestGrossErrors();
    void WriteParameterTable();
    void WritePointTables();
    void TransformNewPoints();

    const BuildRun& run_;
    std::filesystem::path commonPath_;
    std::vector<PointRecord> points_;
    HelmertMeans means_{};
    std::optional<ReportFile> report_;
    std::vector<EquationRecord> equations_;
    SevenParameterModel model_;
    Corrections corrections_;
    NormalMatrix q_;
    double sigma0_ = 0.0;
};

SpatialEstimation::SpatialEstimation(const BuildRun& run, std::vector<PointRecord> points)
    : run_(run), commonPath_(run.WorkFile(kBuildCommonPointsName)), points_(std::move(points))
{
    means_ = SystemMeans(points_, MeanRule::Total);
}

void SpatialEstimation::Run()
{
    PlaneStage();
    TiltStage();
    FirstApproximations();
    BuildEquations(false);
    Solve();
    Iterate(false);
    StorePoints(commonPath_, points_);
    WeighObservations();
    Iterate(true);
    TestGrossErrors();
    StorePoints(commonPath_, points_);
    WritePointTables();
    TransformNewPoints();
    report_->Close();
}

// The plane similarity on X and Y; Z is only scaled and shifted by the difference of the means.
void SpatialEstimation::PlaneStage()
{
    const std::vector<EquationRecord> equations = BuildHelmertEquations(points_, means_, false);
    report_.emplace(run_.WorkFile(kEstimationReportName), TextWriter::Mode::Replace);
    const PlaneSimilarity similarity = SolvePlaneSimilarity(equations, means_);
    model_.shift[0] = similarity.tE;
    model_.shift[1] = similarity.tN;
    model_.rz = similarity.Rotation();
    model_.scale = similarity.Scale();
    ApplyPlaneSimilarity(points_, similarity);
    for (PointRecord& point : points_)
        point.result[2] = model_.scale * point.sys1[2] + means_[5] - means_[2];
    UpdateTransformedMeans();
}

// The two tilts and the Z shift from the heights left over by the plane stage.
void SpatialEstimation::TiltStage()
{
    std::vector<EquationRecord> equations;
    equations.reserve(points_.size());
    for (const PointRecord& point : points_) {
        const double x = (point.result[0] - means_[6]) / kCentringScale;
        const double y = (point.result[1] - means_[7]) / kCentringScale;
        const double z1 = (point.sys1[2] - means_[2]) / kCentringScale;
        const double z2 = (point.sys2[2] - means_[5]) / kCentringScale;
        const double coefficients[] = {y, -x, 1.0};
        equations.push_back(MakeEquation(coefficients, z2 - model_.scale * z1, 1.0));
    }
    const LeastSquaresSolution tilts = SolveLeastSquares(equations, 3, kTiltInversionEps, SmallPivot::Fatal);
    model_.rx = tilts.x[0];
    model_.ry = tilts.x[1];
    model_.shift[2] = means_[5] - model_.scale * means_[2] - model_.rx * means_[7] + model_.ry * means_[6];
}

void SpatialEstimation::FirstApproximations()
{
    model_.rotation = RotationMatrix(model_.rx, model_.ry, model_.rz);
    for (PointRecord& point : points_) {
        point.result = Rotate(model_.rotation, point.result);
        SetSpatialDistortions(point);
    }
    UpdateTransformedMeans();
}

void SpatialEstimation::UpdateTransformedMeans()
{
    const auto n = static_cast<double>(points_.size());
    for (std::size_t c = 0; c < 3; ++c) {
        means_[6 + c] = 0.0;
        for (const PointRecord& point : points_)
            means_[6 + c] += point.result[c] / n;
    }
}

// Three equations per point in the corrections (dtX, dtY, dtZ, dm, e1, e2, e3) of the centred
// approximations; weights 1 or those of the point's coordinates.
void SpatialEstimation::BuildEquations(bool weighted)
{
    equations_.clear();
    for (const PointRecord& point : points_) {
        const double x = (point.result[0] - means_[6]) / kCentringScale;
        const double y = (point.result[1] - means_[7]) / kCentringScale;
        const double z = (point.result[2] - means_[8]) / kCentringScale;
        const double ex[] = {1.0, 0.0, 0.0, x, 0.0, -z, y};
        const double ey[] = {0.0, 1.0, 0.0, y, z, 0.0, -x};
        const double ez[] = {0.0, 0.0, 1.0, z, -y, x, 0.0};
        const std::array<const double*, 3> rows{ex, ey, ez};
        const Vector3 approximation{x, y, z};
        for (std::size_t c = 0; c < 3; ++c) {
            const double l = (point.sys2[c] - means_[3 + c]) / kCentringScale - approximation[c];
            equations_.push_back(MakeEquation(std::span(rows[c], kSevenParameters), l,
                                              weighted ? point.modelWork3[c] : 1.0));
        }
    }
}

// The corrections from the current equations, sigma0 from the current distortions, and the
// shift corrections of the uncentred model.
void SpatialEstimation::Solve()
{
    const LeastSquaresSolution solution =
        SolveLeastSquares(equations_, kSevenParameters, kSpatialInversionEps, SmallPivot::Fatal);
    q_ = solution.q;
    sigma0_ = std::sqrt(StoreDistortions(equations_, points_, kSpatialEquationsPerPoint) / Redundancy());
    const double dm = solution.x[3];
    const double e1 = solution.x[4];
    const double e2 = solution.x[5];
    const double e3 = solution.x[6];
    const HelmertMeans& m = means_;
    corrections_.scale = dm;
    corrections_.angle = {e1, e2, e3};
    corrections_.shift = {m[3] - m[6] - dm * m[6] + e2 * m[8] - e3 * m[7],
                          m[4] - m[7] - dm * m[7] - e1 * m[8] + e3 * m[6],
                          m[5] - m[8] - dm * m[8] + e1 * m[7] - e2 * m[6]};
}

void SpatialEstimation::Iterate(bool weighted)
{
    for (int iteration = 1;;) {
        ApplyCorrections();
        StoreModel();
        const bool converged = UpdateApproximations();
        BuildEquations(weighted);
        if (weighted && (converged || iteration == kIterationLimit - 1))
            WriteParameterTable();
        if (converged)
            return;
        ++iteration;
        Solve();
        if (iteration >= kIterationLimit)
            return;
    }
}

void SpatialEstimation::ApplyCorrections()
{
    const Vector3& e = corrections_.angle;
    model_.rotation = Multiply(RotationMatrix(e[0], e[1], e[2]), model_.rotation);
    for (std::size_t c = 0; c < 3; ++c)
        model_.shift[c] += corrections_.shift[c];
    model_.scale *= 1.0 + corrections_.scale;
    const Matrix3& r = model_.rotation;
    model_.rx = std::atan(-r[7] / r[8]);
    model_.ry = std::asin(r[6]);
    model_.rz = std::atan(-r[3] / r[0]);
}

void SpatialEstimation::StoreModel() const
{
    ModelParameterRecord record = ReadParameterRecord(run_.parameterPath, 0);
    record.helmert3DPresent = 1;
    record.helmert3DRotation = model_.rotation;
    record.helmert3DShift = model_.shift;
    record.helmert3DScale = model_.scale;
    record.regressionPresent = 0;
    WriteParameterRecord(run_.parameterPath, 0, record);
}

// The approximations of the current model; true when none moved by more than the limit.
bool SpatialEstimation::UpdateApproximations()
{
    bool converged = true;
    for (PointRecord& point : points_) {
        const Vector3 approximation = model_.Transform(point.sys1);
        for (std::size_t c = 0; c < 3; ++c) {
            if (!(std::fabs(approximation[c] - point.result[c]) <= kConvergenceLimit))
                converged = false;
        }
        point.result = approximation;
        SetSpatialDistortions(point);
    }
    UpdateTransformedMeans();
    return converged;
}

// The weights of the adjusted observations of the unweighted run, and the first weighted
// solution. As in the plane estimation, sigma0 comes from the distortions the run ended with and
// their unit weights, not from the last solution.
void SpatialEstimation::WeighObservations()
{
    const double sigma0 = std::sqrt(StoreDistortions(equations_, points_, kSpatialEquationsPerPoint) / Redundancy());
    AssignObservationPrecisions(equations_, q_, sigma0, points_, kSpatialEquationsPerPoint, WeightUpdate::Recompute);
    Solve();
}

// Precisions of the final adjusted observations, with the last solution's Q and sigma0 and the
// weights kept; then the F test of each coordinate's final distortion against the weighted sum
// Omega of all of them.
void SpatialEstimation::TestGrossErrors()
{
    const double omega = StoreDistortions(equations_, points_, kSpatialEquationsPerPoint);
    AssignObservationPrecisions(equations_, q_, sigma0_, points_, kSpatialEquationsPerPoint, WeightUpdate::Keep);
    const int df = static_cast<int>(Redundancy()) - 1;
    const double critical = CriticalF(df);
    for (std::size_t e = 0; e < equations_.size(); ++e) {
        const EquationRecord& equation = equations_[e];
        const double share = equation.residual * equation.residual / equation.redundancy;
        const double f = std::fabs(share / ((omega - share) / df));
        // Only a statistic beyond the critical value fails. Exactly consistent points leave every
        // distortion and Omega at 0, and their 0/0 is no sign of a gross error.
        points_[e / kSpatialEquationsPerPoint].modelWork4[e % kSpatialEquationsPerPoint] = f > critical ? 0 : 1;
    }
}

void SpatialEstimation::WriteParameterTable()
{
    ReportFile& report = *report_;
    const auto precision = [&](int i) { return std::sqrt(std::fabs(q_(i, i))) * sigma0_; };
    report.Line();
    report.Line("Parametrii Transformarii Helmert in spatiul 3D");
    report.Line();
    report.Line("Numar puncte comune: " + FormatFixed(static_cast<double>(points_.size()), 5, 0));
    report.Line("Originea sistemului 1: X=" + FormatFixed(means_[0], 7, 4) + " m");
    report.Line("                       Y=" + FormatFixed(means_[1], 7, 4) + " m");
    report.Line("                       Z=" + FormatFixed(means_[2], 7, 4) + " m");
    report.Line();
    report.Line(std::string(66, '='));
    report.Line("|    Parametru      |     Valoare     |      Precizie      | UM  |");
    report.Line(std::string(66, '-'));
    report.Line(ParameterRow("| Translatie Tx     | ", model_.shift[0], precision(0), 4, " |  m  |"));
    report.Line(ParameterRow("| Translatie Ty     | ", model_.shift[1], precision(1), 4, " |  m  |"));
    report.Line(ParameterRow("| Translatie Tz     | ", model_.shift[2], precision(2), 4, " |  m  |"));
    // sigma0 is in metres, so the scale precision is already in parts per million.
    report.Line(ParameterRow("| Sc. dm=(m-1)*1e+6 | ", (model_.scale - 1.0) * 1e6, precision(3), 8, " | ppm |"));
    const double angles[] = {model_.rx, model_.ry, model_.rz};
    const char* labels[] = {"| Rotatie Rx        | ", "| Rotatie Ry        | ", "| Rotatie Rz        | "};
    for (int k = 0; k < 3; ++k) {
        report.Line(ParameterRow(labels[k], ArcSeconds(angles[k]), ArcSeconds(precision(4 + k) * 1e-6), 8,
                                 " |  \"  |"));
    }
    report.Line(std::string(66, '='));
    report.Line("Sigma0   = +/-" + FormatFixed(sigma0_, 11, 6));
}

void SpatialEstimation::WritePointTables()
{
    ReportFile& report = *report_;
    WritePointTable(report, "Distorsiuni \"D\" pe X, Y si Z in punctele comune:",
                    "|Nr. crt.|        Punct         |  D_Est [m] | D_Nord [m] |    D_Z [m] |", points_,
                    [](const PointRecord& point) { return std::span<const double>(point.residual); }, 71);
    WritePointTable(report, "Precizii \"Si\" pe X, Y si Z in punctele comune:",
                    "|Nr. crt.|        Punct         |  Si_X [m]  |  Si_Y [m]  |  Si_Z [m]  |", points_,
                    [](const PointRecord& point) { return std::span(point.modelWork2).first(3); }, 72);
    WriteCommonPointsHeading(report);
    for (const PointRecord& point : points_) {
        const bool passes[] = {point.modelWork4[0] == 1, point.modelWork4[1] == 1, point.modelWork4[2] == 1};
        WriteCommonPointBlock(report, point, 3, kSpatialHeading, passes);
    }
}

void SpatialEstimation::TransformNewPoints()
{
    ReportFile& report = *report_;
    report.Line();
    report.Line("Coordonatele punctelor noi dupa Transf. Helmert 3D");
    report.Line("--------------------------------------------------");
    report.Line("Punct                  X [m]        Y [m]       Z [m]");
    PointFile newPoints = PointFile::OpenForUpdate(run_.WorkFile(kBuildNewPointsName));
    std::string line;
    for (std::uint64_t k = 0; k < newPoints.Size(); ++k) {
        PointRecord point = newPoints.Read(k);
        point.result = model_.Transform(point.sys1);
        newPoints.Write(k, point);
        line.assign(point.name.View());
        for (const double value : point.result) {
            line.append(", ");
            AppendFixed(line, value, 12, 4);
        }
        report.Line(line);
    }
    newPoints.Close();
}

} // namespace

std::array<double, 9> RotationMatrix(double rx, double ry, double rz)
{
    const double cx = std::cos(rx), sx = std::sin(rx);
    const double cy = std::cos(ry), sy = std::sin(ry);
    const double cz = std::cos(rz), sz = std::sin(rz);
    return {cy * cz,  sx * sy * cz + cx * sz,  -cx * sy * cz + sx * sz,
            -cy * sz, -sx * sy * sz + cx * cz, cx * sy * sz + sx * cz,
            sy,       -sx * cy,                cx * cy};
}

double CriticalF(int df)
{
    // Fewer than one degree of freedom leaves nothing to test against: every coordinate passes.
    if (df < kFTable.front().df)
        return std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i + 1 < kFTable.size(); ++i) {
        const FRow& low = kFTable[i];
        const FRow& high = kFTable[i + 1];
        if (df >= low.df && df <= high.df)
            return low.value + (df - low.df) * (high.value - low.value) / (high.df - low.df);
    }
    return kFTable.back().value;
}

void EstimateHelmert3D(BuildRun& run, int /*argument*/)
{
    std::vector<PointRecord> points =
        LoadCommonPoints(run.WorkFile(kBuildCommonPointsName), kCommonPointsInvalidMessage);
    const char kind = points.front().coordKind;
    if ((kind == 'P' || kind == 'G') && points.size() < 3)
        throw FatalError(kTooFewPlanePointsMessage);
    if (kind != 'G')
        return;
    SpatialEstimation(run, std::move(points)).Run();
}

} // namespace velmora
