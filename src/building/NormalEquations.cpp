#include "building/NormalEquations.h"

#include "files/FatalError.h"

#include <algorithm>
#include <cmath>

namespace velmora {

namespace {

constexpr double kReplacedPivot = 1e-9;

bool FiniteBlock(const NormalMatrix& n, int m)
{
    for (int i = 0; i < m; ++i) {
        for (int j = 0; j < m; ++j) {
            if (!std::isfinite(n(i, j)))
                return false;
        }
    }
    return true;
}

// A pivot of U below eps: replaced, or the end of the estimation. Not-a-number is left for the
// finiteness test.
void SmallPivotOf(double& pivot, double eps, SmallPivot rule, const char* message)
{
    if (!(std::fabs(pivot) < eps))
        return;
    if (rule == SmallPivot::Fatal)
        throw FatalError(message);
    pivot = kReplacedPivot;
}

// U^-1 in place, row by row, once its diagonal is inverted; L still lies below it.
void InvertUpper(NormalMatrix& n, int m)
{
    for (int i = 0; i < m - 1; ++i) {
        for (int j = i + 1; j < m; ++j) {
            double sum = 0.0;
            for (int k = i; k < j; ++k)
                sum += n(i, k) * n(k, j);
            n(i, j) = -sum * n(j, j);
        }
    }
}

// L^-1 (unit diagonal) in place, column by column.
void InvertLower(NormalMatrix& n, int m)
{
    for (int j = 0; j < m - 1; ++j) {
        for (int i = j + 1; i < m; ++i) {
            double sum = 0.0;
            for (int k = j + 1; k < i; ++k)
                sum += n(i, k) * n(k, j);
            n(i, j) = -n(i, j) - sum;
        }
    }
}

// U^-1 L^-1 in place: each entry only needs entries of its own row to its right and of the rows
// below, which are still the factors' inverses.
void MultiplyInverses(NormalMatrix& n, int m)
{
    for (int i = 0; i < m; ++i) {
        for (int j = 0; j < m - 1; ++j) {
            double sum = 0.0;
            if (j < i) {
                for (int k = i; k < m; ++k)
                    sum += n(i, k) * n(k, j);
                n(i, j) = sum;
            } else {
                for (int k = j + 1; k < m; ++k)
                    sum += n(i, k) * n(k, j);
                n(i, j) += sum;
            }
        }
    }
}

} // namespace

EquationRecord MakeEquation(std::span<const double> coefficients, double l, double p)
{
    EquationRecord equation{};
    const std::size_t count = std::min<std::size_t>(coefficients.size(), kNormalStride);
    equation.count = static_cast<std::uint16_t>(count);
    for (std::size_t k = 0; k < count; ++k) {
        equation.columns[k] = static_cast<std::uint16_t>(k + 1);
        equation.a[k] = coefficients[k];
    }
    equation.l = l;
    equation.p = p;
    return equation;
}

void AccumulateNormalEquations(std::span<const EquationRecord> equations, int m, NormalEquations& normal)
{
    for (int i = 0; i < m; ++i) {
        normal.b[static_cast<std::size_t>(i)] = 0.0;
        for (int j = 0; j < m; ++j)
            normal.n(i, j) = 0.0;
    }
    for (const EquationRecord& e : equations) {
        const int count = std::min<int>(e.count, m);
        for (int k = 0; k < count; ++k) {
            const double ak = e.a[static_cast<std::size_t>(k)];
            normal.b[static_cast<std::size_t>(k)] += e.p * ak * e.l;
            for (int j = 0; j < count; ++j)
                normal.n(k, j) += e.p * ak * e.a[static_cast<std::size_t>(j)];
        }
    }
}

bool DecomposeLU(NormalMatrix& n, int m, double eps, SmallPivot rule)
{
    if (std::fabs(n(0, 0)) < eps)
        throw FatalError(kFirstPivotMessage);
    for (int k = 1; k < m; ++k)
        n(k, 0) /= n(0, 0);
    for (int i = 1; i < m; ++i) {
        for (int j = i; j < m; ++j) {
            double sum = 0.0;
            for (int k = 0; k < i; ++k)
                sum += n(i, k) * n(k, j);
            n(i, j) -= sum;
        }
        if (i == m - 1)
            break; // the last pivot is judged by the inversion
        SmallPivotOf(n(i, i), eps, rule, kDecompositionMessage);
        for (int j = i + 1; j < m; ++j) {
            double sum = 0.0;
            for (int k = 0; k < i; ++k)
                sum += n(j, k) * n(k, i);
            n(j, i) = (n(j, i) - sum) / n(i, i);
        }
    }
    // Overflowing or not-a-number input would otherwise pass every pivot test and come out as a
    // solution.
    return FiniteBlock(n, m);
}

void InvertNormalMatrix(NormalMatrix& n, int m, double eps, SmallPivot rule)
{
    if (!DecomposeLU(n, m, eps, rule))
        throw FatalError(kInversionMessage);
    for (int i = 0; i < m; ++i) {
        // A diagonal too small to invert becomes 1e-9 itself, not its reciprocal.
        if (std::fabs(n(i, i)) >= eps)
            n(i, i) = 1.0 / n(i, i);
        else
            SmallPivotOf(n(i, i), eps, rule, kZeroDiagonalMessage);
    }
    InvertUpper(n, m);
    InvertLower(n, m);
    MultiplyInverses(n, m);
}

double QuadraticForm(const NormalMatrix& q, std::span<const double> a)
{
    const int m = static_cast<int>(a.size());
    double sum = 0.0;
    for (int i = 0; i < m; ++i) {
        double row = 0.0;
        for (int j = 0; j < m; ++j)
            row += q(i, j) * a[static_cast<std::size_t>(j)];
        sum += a[static_cast<std::size_t>(i)] * row;
    }
    return sum;
}

} // namespace velmora
