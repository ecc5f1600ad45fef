// The plane similarity of the Helmert estimations: the 2D estimation in both its passes, and the
// first stage of the 3D one on X and Y. Unknowns, numbered from 1: the two shifts of the centred
// systems (in millions of metres), a = m cos K and b = m sin K.
#pragma once

#include "building/EstimationSupport.h"

#include <array>
#include <span>
#include <vector>

namespace velmora {

// Means 1..9 (indices 0..8): of sys1[0..2], of sys2[0..2] and of the current transformed
// coordinates result[0..2].
using HelmertMeans = std::array<double, 9>;

enum class MeanRule {
    EachPoint, // every value divided by n before it is added
    Total,     // the sum divided by n once
};

// Means 1..6 of the points; means 7..9 are 0.
HelmertMeans SystemMeans(std::span<const PointRecord> points, MeanRule rule);

// Two equations per point, East then North, from the centred coordinates; weights 1, or
// modelWork3[0] and modelWork3[1] when weighted. A point whose kind letter differs from the
// first point's is a FatalError with kMixedKindsMessage.
std::vector<EquationRecord> BuildHelmertEquations(std::span<const PointRecord> points, const HelmertMeans& means,
                                                  bool weighted);

struct PlaneSimilarity {
    double a = 1.0;
    double b = 0.0;
    double tE = 0.0; // shifts of the uncentred model, metres
    double tN = 0.0;
    LeastSquaresSolution solution;

    double Rotation() const; // K, radians, with cos K and sin K of the signs of a and b
    double Scale() const;    // m = sqrt(a^2 + b^2)
};

// Solves the equations (inversion threshold 1e-10, a vanishing pivot is fatal).
PlaneSimilarity SolvePlaneSimilarity(std::span<const EquationRecord> equations, const HelmertMeans& means);

// result[0..1] of every point by the similarity, distortions residual[0..1] = sys2 - result,
// residual[2] = 0.
void ApplyPlaneSimilarity(std::span<PointRecord> points, const PlaneSimilarity& similarity);

// residual[0..1] = sys2[0..1] - result[0..1] and residual[2] = 0.
void SetPlaneDistortions(PointRecord& point);

struct ScaleRotationGradient {
    std::array<double, 4> rotation; // of K
    std::array<double, 4> scale;    // of m
};
ScaleRotationGradient ScaleRotationGradients(double a, double b);

} // namespace velmora
