#include "building/SparseNormalSolver.h"

#include <cholmod.h>

#include <Eigen/Dense>

#include <cmath>
#include <limits>
#include <new>
#include <stdexcept>
#include <vector>

namespace velmora {

namespace {

constexpr int kRefinements = 2;

using Block = Eigen::Map<Eigen::MatrixXd>;
using ConstBlock = Eigen::Map<const Eigen::MatrixXd>;

// The supernodes of a supernodal factor: supernode s holds the columns super[s] .. super[s+1]-1
// of L as one dense column-major block whose rows are rows[pi[s]] .. rows[pi[s+1]-1] (first the
// supernode's own columns, then the rows below them, ascending), at x[px[s]].
struct Supernodes {
    explicit Supernodes(const cholmod_factor& f)
        : count(static_cast<int>(f.nsuper)), super(static_cast<const int*>(f.super)),
          pi(static_cast<const int*>(f.pi)), px(static_cast<const int*>(f.px)), rows(static_cast<const int*>(f.s)),
          x(static_cast<const double*>(f.x))
    {
    }

    int Columns(int s) const { return super[s + 1] - super[s]; }
    int Rows(int s) const { return pi[s + 1] - pi[s]; }

    int count;
    const int* super;
    const int* pi;
    const int* px;
    const int* rows;
    const double* x;
};

// Gathers Z restricted to the rows below supernode s (the lower triangle is filled) from the
// blocks of Z already computed for the later supernodes. Z(a, b) with a >= b is held by the
// supernode owning column b, in the row of a: the rows below any column of a supernode are a
// subset of that supernode's rows.
void GatherBelow(const Supernodes& sn, int s, const std::vector<int>& owner, const std::vector<double>& z,
                 std::vector<int>& place, Eigen::MatrixXd& below)
{
    const int* index = sn.rows + sn.pi[s] + sn.Columns(s);
    const int m = sn.Rows(s) - sn.Columns(s);
    below.resize(m, m);
    for (int b = 0; b < m;) {
        const int t = owner[static_cast<std::size_t>(index[b])];
        const int* tRows = sn.rows + sn.pi[t];
        for (int r = 0; r < sn.Rows(t); ++r) {
            place[static_cast<std::size_t>(tRows[r])] = r;
        }
        const ConstBlock zt(z.data() + sn.px[t], sn.Rows(t), sn.Columns(t));
        for (; b < m && owner[static_cast<std::size_t>(index[b])] == t; ++b) {
            const int column = index[b] - sn.super[t];
            for (int a = b; a < m; ++a) {
                const int r = place[static_cast<std::size_t>(index[a])];
                if (r < 0) {
                    throw std::logic_error("selected inversion: a row outside the factor's pattern");
                }
                below(a, b) = zt(r, column);
            }
        }
        for (int r = 0; r < sn.Rows(t); ++r) {
            place[static_cast<std::size_t>(tRows[r])] = -1;
        }
    }
}

// Diagonal of (L L^T)^-1 in the factor's order. For supernode s with its diagonal block L_JJ
// and the block L_IJ below it, with U = L_IJ L_JJ^-1 and Z = (L L^T)^-1:
//   Z_IJ = -Z_II U,   Z_JJ = (L_JJ L_JJ^T)^-1 - U^T Z_IJ
// Z_II lies on the pattern of the later supernodes, so Z is computed on the pattern of L from the
// last supernode to the first.
Eigen::VectorXd SelectedInverseDiagonal(const cholmod_factor& factor, const SolverProgress& progress)
{
    const Supernodes sn(factor);
    const auto n = static_cast<std::size_t>(factor.n);
    std::vector<int> owner(n);
    for (int s = 0; s < sn.count; ++s) {
        for (int j = sn.super[s]; j < sn.super[s + 1]; ++j) {
            owner[static_cast<std::size_t>(j)] = s;
        }
    }
    std::vector<double> z(factor.xsize, 0.0);
    std::vector<int> place(n, -1);
    Eigen::VectorXd diagonal(static_cast<Eigen::Index>(n));
    Eigen::MatrixXd below;
    for (int s = sn.count - 1; s >= 0; --s) {
        const int k = sn.Columns(s);
        const int m = sn.Rows(s) - k;
        const ConstBlock l(sn.x + sn.px[s], sn.Rows(s), k);
        Block zs(z.data() + sn.px[s], sn.Rows(s), k);

        const auto ljj = l.topRows(k).triangularView<Eigen::Lower>();
        Eigen::MatrixXd ljjInverse = Eigen::MatrixXd::Identity(k, k);
        ljj.solveInPlace(ljjInverse);
        Eigen::MatrixXd zjj = ljjInverse.transpose() * ljjInverse;
        if (m > 0) {
            Eigen::MatrixXd u = l.bottomRows(m);
            ljj.solveInPlace<Eigen::OnTheRight>(u);
            GatherBelow(sn, s, owner, z, place, below);
            zs.bottomRows(m).noalias() = -(below.selfadjointView<Eigen::Lower>() * u);
            zjj.noalias() -= u.transpose() * zs.bottomRows(m);
        }
        zs.topRows(k) = zjj;
        diagonal.segment(sn.super[s], k) = zjj.diagonal();
        if (progress) {
            progress(n - static_cast<std::size_t>(sn.super[s]), n);
        }
    }
    return diagonal;
}

// A view of a compressed column matrix for the factorization library; nothing is copied.
cholmod_sparse SparseView(const Eigen::SparseMatrix<double, Eigen::ColMajor, int>& matrix, int stype)
{
    cholmod_sparse view{};
    view.nrow = static_cast<std::size_t>(matrix.rows());
    view.ncol = static_cast<std::size_t>(matrix.cols());
    view.nzmax = static_cast<std::size_t>(matrix.nonZeros());
    view.p = const_cast<int*>(matrix.outerIndexPtr());
    view.i = const_cast<int*>(matrix.innerIndexPtr());
    view.x = const_cast<double*>(matrix.valuePtr());
    view.stype = stype;
    view.itype = CHOLMOD_INT;
    view.xtype = CHOLMOD_REAL;
    view.dtype = CHOLMOD_DOUBLE;
    view.sorted = 1;
    view.packed = 1;
    return view;
}

} // namespace

struct SparseNormalSolver::Factor {
    Factor()
    {
        cholmod_start(&common);
        common.print = 0;
        common.supernodal = CHOLMOD_SUPERNODAL;
        common.quick_return_if_not_posdef = 1;
    }
    ~Factor()
    {
        cholmod_free_factor(&factor, &common);
        cholmod_finish(&common);
    }
    Factor(const Factor&) = delete;
    Factor& operator=(const Factor&) = delete;

    // A failure of the library itself, not of the matrix.
    void Check() const
    {
        if (common.status == CHOLMOD_OUT_OF_MEMORY) {
            throw std::bad_alloc();
        }
        if (common.status < CHOLMOD_OK) {
            throw std::runtime_error("sparse Cholesky factorization failed");
        }
    }

    cholmod_common common{};
    cholmod_factor* factor = nullptr;
    bool positiveDefinite = false;
};

SparseNormalSolver::SparseNormalSolver(SparseDesign design) : design_(std::move(design)), factor_(std::make_unique<Factor>())
{
    Eigen::SparseMatrix<double, Eigen::ColMajor, int> normal =
        Eigen::SparseMatrix<double, Eigen::ColMajor, int>(design_.transpose() * design_).triangularView<Eigen::Lower>();
    normal.makeCompressed();
    normalDiagonal_ = normal.diagonal();
    cholmod_sparse view = SparseView(normal, -1);
    factor_->factor = cholmod_analyze(&view, &factor_->common);
    factor_->Check();
    cholmod_factorize(&view, factor_->factor, &factor_->common);
    factor_->Check();
    factor_->positiveDefinite = factor_->common.status == CHOLMOD_OK && factor_->factor->minor == factor_->factor->n
                                && factor_->factor->is_super;
}

SparseNormalSolver::~SparseNormalSolver() = default;

bool SparseNormalSolver::Factored() const
{
    return factor_->positiveDefinite;
}

Eigen::VectorXd SparseNormalSolver::SolveNormal(Eigen::VectorXd normalVector) const
{
    cholmod_dense view{};
    view.nrow = view.nzmax = view.d = static_cast<std::size_t>(normalVector.size());
    view.ncol = 1;
    view.x = normalVector.data();
    view.xtype = CHOLMOD_REAL;
    view.dtype = CHOLMOD_DOUBLE;
    cholmod_dense* solution = cholmod_solve(CHOLMOD_A, factor_->factor, &view, &factor_->common);
    factor_->Check();
    const Eigen::VectorXd x = Eigen::Map<const Eigen::VectorXd>(static_cast<const double*>(solution->x),
                                                                normalVector.size());
    cholmod_free_dense(&solution, &factor_->common);
    return x;
}

Eigen::VectorXd SparseNormalSolver::Solve(const Eigen::VectorXd& observations) const
{
    // The rounding of the factor grows with the system: on large grids the first solution can be
    // micrometres off. Corrections from the residuals of the design itself bring it down to the
    // rounding of the data within two steps.
    Eigen::VectorXd x = SolveNormal(design_.transpose() * observations);
    for (int k = 0; k < kRefinements; ++k) {
        x += SolveNormal(design_.transpose() * (observations - design_ * x));
    }
    return x;
}

Eigen::VectorXd SparseNormalSolver::InverseDiagonal(const SolverProgress& progress) const
{
    // The factor is of P N P^T, whose row k is row Perm[k] of N.
    const Eigen::VectorXd permuted = SelectedInverseDiagonal(*factor_->factor, progress);
    const int* perm = static_cast<const int*>(factor_->factor->Perm);
    Eigen::VectorXd diagonal(permuted.size());
    for (Eigen::Index k = 0; k < permuted.size(); ++k) {
        diagonal[perm[k]] = permuted[k];
    }
    return diagonal;
}

double SparseNormalSolver::ConditionLowerBound(const Eigen::VectorXd& inverseDiagonal) const
{
    if (!inverseDiagonal.allFinite() || !(inverseDiagonal.array() > 0.0).all()) {
        return std::numeric_limits<double>::infinity();
    }
    return normalDiagonal_.maxCoeff() * inverseDiagonal.maxCoeff();
}

} // namespace velmora
