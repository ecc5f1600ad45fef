#include "building/SparseNormalSolver.h"

#include <Eigen/Dense>
#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace velmora {
namespace {

// Largest difference relative to the largest reference value.
double RelativeDifference(const Eigen::VectorXd& value, const Eigen::VectorXd& reference)
{
    return (value - reference).cwiseAbs().maxCoeff() / reference.cwiseAbs().maxCoeff();
}

// A sparse design of full column rank: a band that ties neighbouring unknowns plus random rows.
SparseDesign RandomDesign(int unknowns, int extraRows, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> value(-2.0, 2.0);
    std::uniform_int_distribution<int> column(0, unknowns - 1);
    std::vector<Eigen::Triplet<double, int>> entries;
    int row = 0;
    for (int j = 0; j < unknowns; ++j, ++row) {
        entries.emplace_back(row, j, 3.0 + value(random));
        if (j + 1 < unknowns) {
            entries.emplace_back(row, j + 1, value(random));
        }
    }
    for (int k = 0; k < extraRows; ++k, ++row) {
        for (int m = 0; m < 4; ++m) {
            entries.emplace_back(row, column(random), value(random));
        }
    }
    SparseDesign design(row, unknowns);
    design.setFromTriplets(entries.begin(), entries.end());
    return design;
}

// Second differences along the rows and columns of a side x side grid of unknowns, and a few
// unknowns observed directly: a factor with a deep tree of supernodes.
SparseDesign GridDesign(int side)
{
    std::vector<Eigen::Triplet<double, int>> entries;
    int row = 0;
    const auto index = [side](int r, int c) { return r * side + c; };
    for (int r = 0; r < side; ++r) {
        for (int c = 0; c + 2 < side; ++c, ++row) {
            entries.emplace_back(row, index(r, c), 1.0);
            entries.emplace_back(row, index(r, c + 1), -2.0);
            entries.emplace_back(row, index(r, c + 2), 1.0);
            entries.emplace_back(++row, index(c, r), 1.0);
            entries.emplace_back(row, index(c + 1, r), -2.0);
            entries.emplace_back(row, index(c + 2, r), 1.0);
        }
    }
    for (int k = 0; k < side * side; k += 7, ++row) {
        entries.emplace_back(row, k, 1.0 + 0.1 * (k % 5));
    }
    SparseDesign design(row, side * side);
    design.setFromTriplets(entries.begin(), entries.end());
    return design;
}

void ExpectDenseResults(const SparseDesign& design)
{
    const Eigen::MatrixXd a(design);
    const Eigen::MatrixXd normal = a.transpose() * a;
    const Eigen::VectorXd observations = Eigen::VectorXd::LinSpaced(design.rows(), -1.0, 2.0);

    const SparseNormalSolver solver(design);
    ASSERT_TRUE(solver.Factored());
    const Eigen::VectorXd dense = normal.ldlt().solve(a.transpose() * observations);
    EXPECT_LT(RelativeDifference(solver.Solve(observations), dense), 1e-10);
    const Eigen::VectorXd inverse = solver.InverseDiagonal();
    EXPECT_LT(RelativeDifference(inverse, normal.inverse().diagonal()), 1e-10);
    EXPECT_GE(solver.ConditionLowerBound(inverse), 1.0);
}

TEST(SparseNormalSolver, MatchesDenseSolveAndInverseDiagonal)
{
    ExpectDenseResults(RandomDesign(60, 90, 7));
    ExpectDenseResults(GridDesign(24));
}

TEST(SparseNormalSolver, ReportsProgressUpToTheLastColumn)
{
    const SparseNormalSolver solver(RandomDesign(250, 10, 3));
    ASSERT_TRUE(solver.Factored());
    std::uint64_t last = 0;
    int calls = 0;
    solver.InverseDiagonal([&](std::uint64_t done, std::uint64_t total) {
        EXPECT_GT(done, last);
        EXPECT_EQ(total, 250u);
        last = done;
        ++calls;
    });
    EXPECT_EQ(last, 250u);
    EXPECT_GE(calls, 2);
}

TEST(SparseNormalSolver, SingularSystemsAreRecognised)
{
    // An unknown that no equation holds: an exact zero pivot.
    SparseDesign unheld(3, 3);
    unheld.insert(0, 0) = 1.0;
    unheld.insert(1, 1) = 2.0;
    unheld.insert(2, 0) = 1.0;
    EXPECT_FALSE(SparseNormalSolver(unheld).Factored());

    // Two unknowns that only appear as their difference: singular up to rounding.
    SparseDesign design = RandomDesign(40, 20, 5);
    Eigen::MatrixXd a(design);
    a.col(7) = a.col(3) * 0.1;
    const SparseDesign dependent = a.sparseView();
    const SparseNormalSolver solver(dependent);
    EXPECT_TRUE(!solver.Factored() || solver.ConditionLowerBound(solver.InverseDiagonal()) > 1e12);
}

} // namespace
} // namespace velmora
