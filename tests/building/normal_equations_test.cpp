// The normal equations and their inversion: the inverse of well-conditioned systems, the two
// treatments of a vanishing pivot, and every message of the inversion.
#include "building/NormalEquations.h"
#include "EstimationRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace velmora {
namespace {

using test::MessageOf;

NormalMatrix FromRows(const std::vector<std::vector<double>>& rows)
{
    NormalMatrix n;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        for (std::size_t j = 0; j < rows[i].size(); ++j)
            n(static_cast<int>(i), static_cast<int>(j)) = rows[i][j];
    }
    return n;
}

// A^T A of m + 3 random equations in m unknowns, so symmetric and positive definite.
NormalMatrix RandomNormalMatrix(int m, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<EquationRecord> equations;
    std::vector<double> a(static_cast<std::size_t>(m));
    for (int e = 0; e < m + 3; ++e) {
        for (double& value : a)
            value = static_cast<double>(random() % 2001) / 1000.0 - 1.0;
        equations.push_back(MakeEquation(a, 0.0, 1.0 + e % 3));
    }
    NormalEquations normal;
    AccumulateNormalEquations(equations, m, normal);
    return normal.n;
}

double MaxDeviationFromIdentity(const NormalMatrix& n, const NormalMatrix& q, int m)
{
    double deviation = 0.0;
    for (int i = 0; i < m; ++i) {
        for (int j = 0; j < m; ++j) {
            double sum = 0.0;
            for (int k = 0; k < m; ++k)
                sum += n(i, k) * q(k, j);
            deviation = std::max(deviation, std::fabs(sum - (i == j ? 1.0 : 0.0)));
        }
    }
    return deviation;
}

TEST(NormalEquations, EquationsAddTheirWeightedProductsOverTheirOwnCoefficients)
{
    const double first[] = {1.0, 2.0};
    const double second[] = {3.0, -1.0, 4.0};
    const std::vector<EquationRecord> equations{MakeEquation(first, 5.0, 2.0), MakeEquation(second, 1.0, 0.5)};
    NormalEquations normal;
    normal.n(0, 0) = 99.0; // what an earlier system left is cleared
    normal.b[2] = 99.0;
    AccumulateNormalEquations(equations, 3, normal);
    EXPECT_EQ(normal.n(0, 0), 2.0 * 1 * 1 + 0.5 * 3 * 3);
    EXPECT_EQ(normal.n(0, 1), 2.0 * 1 * 2 + 0.5 * 3 * -1);
    EXPECT_EQ(normal.n(1, 0), normal.n(0, 1));
    EXPECT_EQ(normal.n(2, 2), 0.5 * 4 * 4);
    EXPECT_EQ(normal.n(0, 2), 0.5 * 3 * 4);
    EXPECT_EQ(normal.b[0], 2.0 * 1 * 5 + 0.5 * 3 * 1);
    EXPECT_EQ(normal.b[1], 2.0 * 2 * 5 + 0.5 * -1 * 1);
    EXPECT_EQ(normal.b[2], 0.5 * 4 * 1);
    EXPECT_EQ(equations[1].count, 3);
    EXPECT_EQ(equations[1].columns[2], 3);
}

TEST(NormalEquations, WellConditionedSystemsAreInvertedUnderBothRules)
{
    for (const int m : {1, 2, 4, 7, 25, 60}) {
        for (const SmallPivot rule : {SmallPivot::Replace, SmallPivot::Fatal}) {
            const NormalMatrix n = RandomNormalMatrix(m, static_cast<unsigned>(m));
            NormalMatrix q = n;
            InvertNormalMatrix(q, m, 1e-30, rule);
            EXPECT_LT(MaxDeviationFromIdentity(n, q, m), 1e-9) << "m = " << m;
        }
    }
}

TEST(NormalEquations, AVanishingLastPivotIsReplacedByTheRegressionAndStopsTheHelmert)
{
    // [[1, 1], [1, 1]]: U = [[1, 1], [0, 0]]; the zero diagonal stays 1e-9 itself.
    NormalMatrix q = FromRows({{1, 1}, {1, 1}});
    InvertNormalMatrix(q, 2, 1e-30, SmallPivot::Replace);
    EXPECT_DOUBLE_EQ(q(0, 0), 1.0 + 1e-9);
    EXPECT_DOUBLE_EQ(q(0, 1), -1e-9);
    EXPECT_DOUBLE_EQ(q(1, 0), -1e-9);
    EXPECT_DOUBLE_EQ(q(1, 1), 1e-9);

    NormalMatrix fatal = FromRows({{1, 1}, {1, 1}});
    EXPECT_EQ(MessageOf([&] { InvertNormalMatrix(fatal, 2, 1e-10, SmallPivot::Fatal); }), kZeroDiagonalMessage);
}

TEST(NormalEquations, AVanishingInnerPivotIsReplacedBeforeTheColumnOfL)
{
    // The middle pivot vanishes; replaced by 1e-9 it is inverted like any other.
    const std::vector<std::vector<double>> rows{{1, 1, 0}, {1, 1, 0}, {0, 0, 1}};
    NormalMatrix q = FromRows(rows);
    InvertNormalMatrix(q, 3, 1e-30, SmallPivot::Replace);
    EXPECT_DOUBLE_EQ(q(0, 0), 1e9 + 1.0);
    EXPECT_DOUBLE_EQ(q(0, 1), -1e9);
    EXPECT_DOUBLE_EQ(q(1, 1), 1e9);
    EXPECT_DOUBLE_EQ(q(2, 2), 1.0);
    EXPECT_EQ(q(0, 2), 0.0);

    NormalMatrix fatal = FromRows(rows);
    EXPECT_EQ(MessageOf([&] { InvertNormalMatrix(fatal, 3, 1e-10, SmallPivot::Fatal); }), kDecompositionMessage);
}

TEST(NormalEquations, TheFirstPivotAndValuesThatAreNotNumbersStopBothRules)
{
    for (const SmallPivot rule : {SmallPivot::Replace, SmallPivot::Fatal}) {
        NormalMatrix zero = FromRows({{1e-31, 0}, {0, 1}});
        EXPECT_EQ(MessageOf([&] { InvertNormalMatrix(zero, 2, 1e-30, rule); }), kFirstPivotMessage);

        NormalMatrix overflow = FromRows({{1, 2}, {2, std::numeric_limits<double>::quiet_NaN()}});
        EXPECT_EQ(MessageOf([&] { InvertNormalMatrix(overflow, 2, 1e-30, rule); }), kInversionMessage);

        NormalMatrix infinite = FromRows({{1, std::numeric_limits<double>::infinity()}, {0, 1}});
        EXPECT_EQ(MessageOf([&] { InvertNormalMatrix(infinite, 2, 1e-30, rule); }), kInversionMessage);
    }
    // The threshold is the caller's: a pivot of 1e-20 is fine at 1e-30 and fatal at 1e-10.
    NormalMatrix small = FromRows({{1e-20}});
    InvertNormalMatrix(small, 1, 1e-30, SmallPivot::Fatal);
    EXPECT_DOUBLE_EQ(small(0, 0), 1e20);
    NormalMatrix tooSmall = FromRows({{1e-20}});
    EXPECT_EQ(MessageOf([&] { InvertNormalMatrix(tooSmall, 1, 1e-10, SmallPivot::Fatal); }), kFirstPivotMessage);
}

} // namespace
} // namespace velmora
