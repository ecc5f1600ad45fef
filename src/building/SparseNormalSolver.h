// Least squares on a large sparse design through its normal equations: N = A^T A is assembled
// sparse, ordered to reduce fill, and factored once as a supernodal Cholesky factor L L^T
// (CHOLMOD), which then serves any number of right-hand sides. The diagonal of N^-1 (the
// cofactors of the unknowns) comes from a selected inversion: the entries of N^-1 on the pattern
// of L, supernode by supernode from the last (the Takahashi recurrences in blocks), never a dense
// n x n matrix nor n solves.
//
// Typical use, with one design and several observation vectors sharing it:
//   SparseNormalSolver solver(std::move(design));
//   if (!solver.Factored()) ...                     // N is not positive definite: singular
//   const Eigen::VectorXd q = solver.InverseDiagonal();
//   if (solver.ConditionLowerBound(q) > limit) ...  // too ill-conditioned to trust
//   const Eigen::VectorXd x = solver.Solve(observations);
#pragma once

#include <Eigen/SparseCore>

#include <cstdint>
#include <functional>
#include <memory>

namespace velmora {

// One equation per row, one unknown per column.
using SparseDesign = Eigen::SparseMatrix<double, Eigen::RowMajor, int>;

// Progress of a long computation: done of total.
using SolverProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

class SparseNormalSolver {
public:
    // Forms the normal matrix of the design and factors it; keeps the design for the solves.
    explicit SparseNormalSolver(SparseDesign design);
    ~SparseNormalSolver();
    SparseNormalSolver(const SparseNormalSolver&) = delete;
    SparseNormalSolver& operator=(const SparseNormalSolver&) = delete;

    const SparseDesign& Design() const { return design_; }

    // False when the factorization met a pivot that is not positive: the normal matrix is
    // singular, at least to the precision of the arithmetic. Nothing else may be asked of the
    // solver then.
    bool Factored() const;

    // The unknowns that minimise |A x - l|, for observations l with one value per equation,
    // refined iteratively against the residuals of the design.
    Eigen::VectorXd Solve(const Eigen::VectorXd& observations) const;

    // Diagonal of N^-1, in the order of the unknowns; progress by columns of the factor.
    Eigen::VectorXd InverseDiagonal(const SolverProgress& progress = {}) const;

    // max N_ii * max (N^-1)_ii: a lower bound of the condition number of N (each factor is a
    // lower bound of the norm of its matrix). Infinite when an inverse diagonal value is not
    // positive and finite, which no positive definite N has.
    double ConditionLowerBound(const Eigen::VectorXd& inverseDiagonal) const;

private:
    struct Factor; // the factorization library's state

    // N^-1 b by the factor.
    Eigen::VectorXd SolveNormal(Eigen::VectorXd normalVector) const;

    SparseDesign design_;
    Eigen::VectorXd normalDiagonal_;
    std::unique_ptr<Factor> factor_;
};

} // namespace velmora
