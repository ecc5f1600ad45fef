// Least squares on small dense systems: the observation equation record shared by the Helmert and
// regression estimations, the normal equations formed from a list of them, and their inversion by
// a Doolittle decomposition without pivoting. Matrices keep a row stride of 60 whatever the number
// of unknowns m; only rows and columns 0..m-1 are used.
//
// The two estimations treat a vanishing pivot differently. The regression replaces it by 1e-9
// and goes on (a candidate term that adds nothing then gets a negligible coefficient); the Helmert
// estimations stop with a message. The first pivot stops both.
//
//   AccumulateNormalEquations(equations, m, normal)
//   InvertNormalMatrix(normal.n, m, eps, SmallPivot::Replace)   // normal.n becomes Q = N^-1
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace velmora {

inline constexpr int kNormalStride = 60;

inline constexpr const char* kFirstPivotMessage = "Eroare n[1,1]=0 in matricea normala!";
inline constexpr const char* kDecompositionMessage = "Eroare: descompunere LU!";
// Written as it stands: the index is not substituted.
inline constexpr const char* kZeroDiagonalMessage = "Eroare: normala N[i,i]=0!";
inline constexpr const char* kInversionMessage = "Eroare: inversare imposibila!";

// One observation equation, laid out as the 656-byte records of the equation work files.
struct EquationRecord {
    std::uint16_t count;                            // number of coefficients
    std::array<std::uint16_t, kNormalStride> columns; // unknowns' numbers 1..count
    std::array<std::uint8_t, 6> unused0;
    std::array<double, kNormalStride> a;            // coefficients
    double l;                                       // observation
    double p;                                       // weight
    double unused1;
    double residual;   // distortion of the coordinate, metres
    double redundancy; // 1/p - q
    double cofactor;   // q = a^T Q a, of the adjusted observation
};

static_assert(offsetof(EquationRecord, count) == 0);
static_assert(offsetof(EquationRecord, columns) == 2);
static_assert(offsetof(EquationRecord, unused0) == 122);
static_assert(offsetof(EquationRecord, a) == 128);
static_assert(offsetof(EquationRecord, l) == 608);
static_assert(offsetof(EquationRecord, p) == 616);
static_assert(offsetof(EquationRecord, unused1) == 624);
static_assert(offsetof(EquationRecord, residual) == 632);
static_assert(offsetof(EquationRecord, redundancy) == 640);
static_assert(offsetof(EquationRecord, cofactor) == 648);
static_assert(sizeof(EquationRecord) == 656);

// An equation with the given coefficients (at most 60), observation and weight.
EquationRecord MakeEquation(std::span<const double> coefficients, double l, double p);

// 60 x 60 doubles, row by row; (i, j) counts from 0.
class NormalMatrix {
public:
    NormalMatrix() : values_(kNormalStride * kNormalStride, 0.0) {}
    double& operator()(int i, int j) { return values_[Index(i, j)]; }
    double operator()(int i, int j) const { return values_[Index(i, j)]; }

private:
    static std::size_t Index(int i, int j) { return static_cast<std::size_t>(i * kNormalStride + j); }
    std::vector<double> values_;
};

struct NormalEquations {
    NormalMatrix n;
    std::array<double, kNormalStride> b{};
};

// Clears rows and columns 0..m-1 of n and entries 0..m-1 of b, then adds every equation:
// n_ij += p a_i a_j and b_i += p a_i l over the equation's own coefficients (at most m).
void AccumulateNormalEquations(std::span<const EquationRecord> equations, int m, NormalEquations& normal);

enum class SmallPivot {
    Replace, // a pivot below eps becomes 1e-9
    Fatal,   // a pivot below eps stops with kDecompositionMessage or kZeroDiagonalMessage
};

// Unit lower L and upper U of n in place (no pivoting). A first pivot below eps is a FatalError
// with kFirstPivotMessage; a later one (but the last) is replaced or fatal as the rule says.
// Returns false when the decomposition holds a value that is not finite.
[[nodiscard]] bool DecomposeLU(NormalMatrix& n, int m, double eps, SmallPivot rule);

// n becomes its inverse, through DecomposeLU (FatalError kInversionMessage when it fails), the
// inverse of U and of L, and their product. A diagonal of U below eps is replaced by 1e-9, or is a
// FatalError with kZeroDiagonalMessage under the fatal rule.
void InvertNormalMatrix(NormalMatrix& n, int m, double eps, SmallPivot rule);

// a^T Q a over the first a.size() unknowns.
double QuadraticForm(const NormalMatrix& q, std::span<const double> a);

} // namespace velmora
