// The binary work records: the 312-byte point record shared by every point and grid file, the
// 32-byte ellipsoid pair, and the names of the work files the parsers write. The layouts are file
// formats: every offset is pinned below and must never move.
#pragma once

#include "core/Geodesy.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>

namespace velmora {

static_assert(std::endian::native == std::endian::little, "record files are little-endian byte images");

// A length byte followed by up to N single-byte characters.
template <std::size_t N>
struct ShortString {
    std::uint8_t length;
    std::array<char, N> text;

    // A length byte beyond N (a damaged file) is read as N.
    std::string_view View() const { return {text.data(), std::min<std::size_t>(length, N)}; }

    // Keeps the first N characters.
    void Assign(std::string_view value)
    {
        const std::size_t n = std::min(value.size(), N);
        std::memcpy(text.data(), value.data(), n);
        length = static_cast<std::uint8_t>(n);
    }
};

inline constexpr std::size_t kNameLength = 60;

struct PointRecord {
    std::uint8_t mark;                 // listing mark of the model report
    char pointState;                   // 'N' new, 'D' inside the distortion grid, 'E' touching its exterior
    char coordKind;                    // 'G' or 'P' from the four-line formats, 0 otherwise
    ShortString<kNameLength> name;     // upper-cased point name
    std::array<double, 3> sys1;        // source system: East, North (or B, L), height
    std::array<double, 3> sys2;        // target system of a common point
    std::array<double, 3> result;      // transformed coordinates
    std::array<double, 3> regression;  // after the regression trend
    std::array<double, 3> residual;    // distortion residuals, or a grid node's values
    std::array<double, 3> modelWork1;  // errors after modelling; zeta in [2]
    std::array<double, 6> modelWork2;  // signal precisions [0..2], final new-point coordinates [3..5]
    std::array<double, 4> modelWork3;  // node standard errors; in a grid file [3] holds row and column as two Int32
    std::array<std::int32_t, 4> nodeIndex;
    std::array<std::uint8_t, 5> modelWork4;
    std::uint8_t hasHeight;            // 1 when sys1[2] was read; sys1[2] means nothing otherwise
    std::array<std::uint8_t, 2> padding;
};

static_assert(std::is_trivially_copyable_v<PointRecord> && std::is_standard_layout_v<PointRecord>);
static_assert(offsetof(PointRecord, mark) == 0);
static_assert(offsetof(PointRecord, pointState) == 1);
static_assert(offsetof(PointRecord, coordKind) == 2);
static_assert(offsetof(PointRecord, name) == 3);
static_assert(sizeof(ShortString<kNameLength>) == 61);
static_assert(offsetof(PointRecord, sys1) == 64);
static_assert(offsetof(PointRecord, sys2) == 88);
static_assert(offsetof(PointRecord, result) == 112);
static_assert(offsetof(PointRecord, regression) == 136);
static_assert(offsetof(PointRecord, residual) == 160);
static_assert(offsetof(PointRecord, modelWork1) == 184);
static_assert(offsetof(PointRecord, modelWork2) == 208);
static_assert(offsetof(PointRecord, modelWork3) == 256);
static_assert(offsetof(PointRecord, nodeIndex) == 288);
static_assert(offsetof(PointRecord, modelWork4) == 304);
static_assert(offsetof(PointRecord, hasHeight) == 309);
static_assert(offsetof(PointRecord, padding) == 310);
static_assert(sizeof(PointRecord) == 312);

// Source and target ellipsoids of a transformation.
struct EllipsoidPair {
    double a1;
    double invF1;
    double a2;
    double invF2;
};

static_assert(std::is_trivially_copyable_v<EllipsoidPair> && std::is_standard_layout_v<EllipsoidPair>);
static_assert(offsetof(EllipsoidPair, a1) == 0);
static_assert(offsetof(EllipsoidPair, invF1) == 8);
static_assert(offsetof(EllipsoidPair, a2) == 16);
static_assert(offsetof(EllipsoidPair, invF2) == 24);
static_assert(sizeof(EllipsoidPair) == 32);

constexpr EllipsoidPair MakeEllipsoidPair(const Ellipsoid& source, const Ellipsoid& target)
{
    return {source.a, source.invF, target.a, target.invF};
}

// Work files, in the directory current when the command started.
inline constexpr std::string_view kNewPointsFileName = "PNXYZ.REC";
inline constexpr std::string_view kCommonPointsFileName = "PCXYZ.REC";
inline constexpr std::string_view kEllipsoidFileName = "felips.rec";
// Common points set apart by the model-building sources: "#" names and "&" names.
inline constexpr std::string_view kPolygonPointsFileName = "pcpol.rec";
inline constexpr std::string_view kOtherPointsFileName = "pcnoth.rec";

} // namespace velmora
