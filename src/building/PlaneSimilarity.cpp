#include "building/PlaneSimilarity.h"

#include "building/HelmertEstimation.h"
#include "files/FatalError.h"

#include <cmath>

namespace velmora {

namespace {

constexpr double kPlaneInversionEps = 1e-10;

} // namespace

HelmertMeans SystemMeans(std::span<const PointRecord> points, MeanRule rule)
{
    const auto n = static_cast<double>(points.size());
    HelmertMeans means{};
    for (const PointRecord& point : points) {
        for (std::size_t c = 0; c < 3; ++c) {
            means[c] += rule == MeanRule::EachPoint ? point.sys1[c] / n : point.sys1[c];
            means[3 + c] += rule == MeanRule::EachPoint ? point.sys2[c] / n : point.sys2[c];
        }
    }
    if (rule == MeanRule::Total) {
        for (std::size_t k = 0; k < 6; ++k)
            means[k] /= n;
    }
    return means;
}

std::vector<EquationRecord> BuildHelmertEquations(std::span<const PointRecord> points, const HelmertMeans& means,
                                                  bool weighted)
{
    std::vector<EquationRecord> equations;
    equations.reserve(2 * points.size());
    for (const PointRecord& point : points) {
        if (point.coordKind != points.front().coordKind)
            throw FatalError(kMixedKindsMessage);
        const double cE1 = (point.sys1[0] - means[0]) / kCentringScale;
        const double cN1 = (point.sys1[1] - means[1]) / kCentringScale;
        const double cE2 = (point.sys2[0] - means[3]) / kCentringScale;
        const double cN2 = (point.sys2[1] - means[4]) / kCentringScale;
        const double east[] = {1.0, 0.0, cE1, -cN1};
        const double north[] = {0.0, 1.0, cN1, cE1};
        equations.push_back(MakeEquation(east, cE2, weighted ? point.modelWork3[0] : 1.0));
        equations.push_back(MakeEquation(north, cN2, weighted ? point.modelWork3[1] : 1.0));
    }
    return equations;
}

double PlaneSimilarity::Rotation() const
{
    // In the quadrant of (a, b): arctan(b / a) would put a rotation beyond a right angle (a < 0)
    // 180 degrees off.
    return std::atan2(b, a);
}

double PlaneSimilarity::Scale() const
{
    return std::sqrt(a * a + b * b);
}

PlaneSimilarity SolvePlaneSimilarity(std::span<const EquationRecord> equations, const HelmertMeans& means)
{
    PlaneSimilarity similarity;
    similarity.solution = SolveLeastSquares(equations, 4, kPlaneInversionEps, SmallPivot::Fatal);
    const double a = similarity.solution.x[2];
    const double b = similarity.solution.x[3];
    similarity.a = a;
    similarity.b = b;
    similarity.tE = means[3] - (a * means[0] - b * means[1]);
    similarity.tN = means[4] - (b * means[0] + a * means[1]);
    return similarity;
}

void SetPlaneDistortions(PointRecord& point)
{
    point.residual[0] = point.sys2[0] - point.result[0];
    point.residual[1] = point.sys2[1] - point.result[1];
    point.residual[2] = 0.0;
}

void ApplyPlaneSimilarity(std::span<PointRecord> points, const PlaneSimilarity& similarity)
{
    ModelParameterRecord model{};
    model.helmertA = similarity.a;
    model.helmertB = similarity.b;
    model.helmertShiftE = similarity.tE;
    model.helmertShiftN = similarity.tN;
    for (PointRecord& point : points) {
        ApplyModelHelmert(point, model);
        SetPlaneDistortions(point);
    }
}

ScaleRotationGradient ScaleRotationGradients(double a, double b)
{
    const double ratio = 1.0 + (b / a) * (b / a);
    const double m = std::sqrt(a * a + b * b);
    return {{0.0, 0.0, -b / (a * a * ratio), 1.0 / (a * ratio)}, {0.0, 0.0, a / m, b / m}};
}

} // namespace velmora
