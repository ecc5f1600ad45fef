// The model parameter file: record 0 holds the deterministic part of a distortion model, a plane
// Helmert similarity, an optional polynomial regression trend with its statistics, and the
// coordinate means that centre the trend. (A record 1, left by a regression run, belongs to that
// run alone.) The layout is a file format: every offset is pinned below. Also the two rules that
// read it, the Helmert step and the regression trend of a point.
#pragma once

#include "files/PointRecord.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <type_traits>

namespace velmora {

struct RegressionTerm {
    double coefficient;
    std::uint8_t powerU;
    std::uint8_t powerV;
    std::uint8_t inUse; // read only by the regression estimation
    std::array<std::uint8_t, 5> unused;
};

static_assert(std::is_trivially_copyable_v<RegressionTerm> && std::is_standard_layout_v<RegressionTerm>);
static_assert(offsetof(RegressionTerm, coefficient) == 0);
static_assert(offsetof(RegressionTerm, powerU) == 8);
static_assert(offsetof(RegressionTerm, powerV) == 9);
static_assert(offsetof(RegressionTerm, inUse) == 10);
static_assert(offsetof(RegressionTerm, unused) == 11);
static_assert(sizeof(RegressionTerm) == 16);

// Terms per component: slots 1 to 59 of a table of 60 slots of 16 bytes.
inline constexpr int kMaxRegressionTerms = 59;

struct ModelParameterRecord {
    std::uint8_t helmert3DPresent; // a seven-parameter model is stored
    std::array<std::uint8_t, 7> unused0;
    std::array<double, 9> helmert3DRotation; // row by row
    std::array<double, 3> helmert3DShift;    // tX, tY, tZ, metres
    double helmert3DScale;                   // multiplicative
    // The three term tables of 60 slots begin at offset 112 with one slot per component that is
    // not a term; in the first table that slot holds the regression's header fields.
    std::uint8_t regressionPresent; // non-zero: the model application evaluates the trend
    std::array<std::uint8_t, 5> unused1;
    std::array<std::uint16_t, 3> termCount; // East (X), North (Y), third component
    std::uint16_t workingTermCount;         // the regression estimation's own
    std::array<std::uint8_t, 2> unused2;
    // Term k (1..59) of component c is regressionTerm[60 * c + k - 1]; slots 59 and 119 are the
    // unused first slots of the second and third tables. Terms 1 to 4 are always the powers
    // (0,0), (0,1), (1,0), (1,1) of (u, v).
    std::array<RegressionTerm, 179> regressionTerm;
    std::array<std::uint8_t, 16> unused3;
    std::array<double, 3> meanHelmert; // of the common points after the Helmert step, metres
    std::array<double, 3> meanSystem2; // of the common points in the target system, metres
    std::array<std::uint8_t, 24> unused4;
    // Standard error of the coefficient of term k (1..60) of component c: coefficientError[c][k - 1].
    std::array<std::array<double, 60>, 3> coefficientError;
    double helmertShiftE; // added to the first (East) coordinate, metres
    double helmertShiftN; // added to the second (North) coordinate, metres
    double helmertA;      // scale factor times the cosine of the rotation
    double helmertB;      // scale factor times the sine of the rotation

    RegressionTerm& Term(int component, int k) { return regressionTerm[TermSlot(component, k)]; }
    const RegressionTerm& Term(int component, int k) const { return regressionTerm[TermSlot(component, k)]; }

private:
    static std::size_t TermSlot(int component, int k) { return static_cast<std::size_t>(60 * component + k - 1); }
};

static_assert(std::is_trivially_copyable_v<ModelParameterRecord> && std::is_standard_layout_v<ModelParameterRecord>);
static_assert(offsetof(ModelParameterRecord, helmert3DPresent) == 0);
static_assert(offsetof(ModelParameterRecord, unused0) == 1);
static_assert(offsetof(ModelParameterRecord, helmert3DRotation) == 8);
static_assert(offsetof(ModelParameterRecord, helmert3DShift) == 80);
static_assert(offsetof(ModelParameterRecord, helmert3DScale) == 104);
static_assert(offsetof(ModelParameterRecord, regressionPresent) == 112);
static_assert(offsetof(ModelParameterRecord, unused1) == 113);
static_assert(offsetof(ModelParameterRecord, termCount) == 118);
static_assert(offsetof(ModelParameterRecord, workingTermCount) == 124);
static_assert(offsetof(ModelParameterRecord, unused2) == 126);
// Slot k of table c lies at 112 + 960 c + 16 k.
static_assert(offsetof(ModelParameterRecord, regressionTerm) == 112 + 16 * 1);
static_assert(offsetof(ModelParameterRecord, regressionTerm) + sizeof(RegressionTerm) * (60 * 1 + 1 - 1)
              == 112 + 960 * 1 + 16 * 1);
static_assert(offsetof(ModelParameterRecord, regressionTerm) + sizeof(RegressionTerm) * (60 * 2 + 59 - 1)
              == 112 + 960 * 2 + 16 * 59);
static_assert(offsetof(ModelParameterRecord, unused3) == 2992);
static_assert(offsetof(ModelParameterRecord, meanHelmert) == 3008);
static_assert(offsetof(ModelParameterRecord, meanSystem2) == 3032);
static_assert(offsetof(ModelParameterRecord, unused4) == 3056);
// Error of term k of component c at 3080 + 480 c + 8 (k - 1).
static_assert(offsetof(ModelParameterRecord, coefficientError) == 3080);
static_assert(sizeof(std::array<double, 60>) == 480);
static_assert(offsetof(ModelParameterRecord, helmertShiftE) == 4520);
static_assert(offsetof(ModelParameterRecord, helmertShiftN) == 4528);
static_assert(offsetof(ModelParameterRecord, helmertA) == 4536);
static_assert(offsetof(ModelParameterRecord, helmertB) == 4544);
static_assert(sizeof(ModelParameterRecord) == 4552);

// Record 0 of the parameter file. Throws FatalError naming the file when it is missing, not a
// regular file, empty or ragged, when a regression is present with more terms than a table
// holds, or when a value the model application reads is not a finite number.
ModelParameterRecord LoadModelParameters(const std::filesystem::path& path);

// result[0..1] from sys1[0..1] (East, North); result[2] is left alone.
void ApplyModelHelmert(PointRecord& point, const ModelParameterRecord& model);

// result[0..2] = helmert3DScale (R sys1) + helmert3DShift: the seven-parameter model of
// three-dimensional points, R being helmert3DRotation row by row.
void ApplyModelHelmert3D(PointRecord& point, const ModelParameterRecord& model);

// regression[0..1], and regression[2] for the kind letter 'G' ('P' and any other letter set it to
// 0), from the Helmert coordinates result[0..2]. Every term up to the component's count is used.
void EvaluateRegression(PointRecord& point, const ModelParameterRecord& model, char kind);

// The variables of the trend at a point: its Helmert coordinates result[0..1] less meanHelmert,
// in millions of metres. The trend is evaluated in extended precision throughout.
struct TrendPosition {
    long double u;
    long double v;
};
TrendPosition TrendPositionOf(const PointRecord& point, const ModelParameterRecord& model);
// u to the power of the term's powerU times v to the power of its powerV.
long double TermValue(const RegressionTerm& term, TrendPosition position);
// The trend value of component c (0, 1, 2) with its first termCount terms, as EvaluateRegression
// stores it in regression[c].
double EvaluateRegressionComponent(const PointRecord& point, const ModelParameterRecord& model, int component,
                                   int termCount);

} // namespace velmora
