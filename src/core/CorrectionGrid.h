// Compact correction grids (GRD): six header doubles (min1, max1, min2, max2, step1, step2)
// followed by one or two little-endian doubles per node, coordinate 1 varying fastest.
// Lookups interpolate a bicubic patch over the 4 x 4 nodes around the point.
#pragma once

#include "core/CoreEnv.h"
#include "core/CoreResult.h"
#include "core/Geodesy.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

inline constexpr const char* kQuasigeoidGridName = "EGG97_QGRJ.GRD";
inline constexpr const char* kBucharestQuasigeoidGridName = "zitaBucx.grd";

struct GridHeader {
    double min1;
    double max1;
    double min2;
    double max2;
    double step1;
    double step2;
};

// One grid file as read from disk: exactly the header and the nodes it describes, every node
// value finite.
class GridFile {
public:
    // Reads the file; std::nullopt when it is not a regular file, cannot be read, has a header
    // that describes no grid, is not exactly as long as its header says, or holds a node value
    // that is not a finite number.
    static std::optional<GridFile> Read(const std::filesystem::path& path, int valuesPerNode);

    const GridHeader& Header() const { return header_; }
    std::int64_t Columns() const { return columns_; }
    std::int64_t Rows() const { return rows_; }
    // Value v (0 or 1) of node k, 0 <= k < Columns() * Rows().
    double NodeValue(std::int64_t k, int v) const { return values_[static_cast<std::size_t>(k * valuesPerNode_ + v)]; }

private:
    int valuesPerNode_ = 1;
    GridHeader header_{};
    std::int64_t columns_ = 0;
    std::int64_t rows_ = 0;
    std::vector<double> values_;
};

// The grids of one command run: each file is read on first use and kept, so a long batch does
// not reopen it for every point. Files that could not be read are tried again next time.
class GridCache {
public:
    // The grid file name in dir; nullptr when it is not a usable grid (see GridFile::Read).
    const GridFile* Get(const std::filesystem::path& dir, std::string_view name, int valuesPerNode);

private:
    struct Entry {
        std::string dir;
        std::string name;
        int valuesPerNode;
        GridFile grid;
    };
    std::deque<Entry> entries_; // a handful per run; references stay valid as it grows
};

// The bicubic Hermite patch on the unit cell from the values f, the derivatives fx (along
// coordinate 1) and fy (along coordinate 2) and the cross derivatives fxy at the corners
// [p][q] = (p, q), evaluated at (x, y).
double HermitePatch(const double f[2][2], const double fx[2][2], const double fy[2][2], const double fxy[2][2],
                    double x, double y);

// Bicubic Hermite patch over the unit cell; values are the 4 x 4 nodes row by row from the row
// below the cell, each row from the column left of the cell; x, y in [0, 1).
double BicubicPatch(double x, double y, const std::array<double, 16>& values);

// A node value whose integer part is 999 marks a node without data.
inline bool IsNoData(double value)
{
    return value >= 999.0 && value < 1000.0;
}

// Height anomaly at (L, B) in decimal degrees; chooses the Bucharest grid inside its box.
CoreResult<double> ZetaLookup(CoreEnv& env, double L, double B);

// Plane corrections (c1, c2) at (U1, U2) from the two-value grid gridName in the start-up
// directory; its messages name the grid by its full path.
CoreResult<PlanePair> GridShiftLookup(CoreEnv& env, std::string_view gridName, double U1, double U2);

} // namespace velmora
