#include "core/CorrectionGrid.h"

#include "core/FileHandle.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace velmora {

static_assert(std::endian::native == std::endian::little, "grid files are little-endian doubles");

namespace {

constexpr std::uint64_t kHeaderBytes = 6 * sizeof(double);
// Column, row and column count are 16-bit quantities of the file format.
constexpr double kMaxNodeIndex = 65535.0;

// Round(span / step) + 1, the nodes along one coordinate.
std::int64_t NodeCount(double min, double max, double step)
{
    return static_cast<std::int64_t>(std::round((max - min) / step)) + 1;
}

// A header describes a grid when it is finite, has positive steps, fits the 16-bit indices and
// has the four nodes along each coordinate that one interpolation stencil needs.
bool DescribesGrid(const GridHeader& h)
{
    const double values[] = {h.min1, h.max1, h.min2, h.max2, h.step1, h.step2};
    for (double v : values)
        if (!std::isfinite(v))
            return false;
    if (!(h.step1 > 0.0) || !(h.step2 > 0.0))
        return false;
    const double spans[] = {(h.max1 - h.min1) / h.step1, (h.max2 - h.min2) / h.step2};
    for (double span : spans)
        if (!std::isfinite(span) || !(std::round(span) >= 3.0) || std::round(span) + 1.0 > kMaxNodeIndex)
            return false;
    return true;
}

} // namespace

std::optional<GridFile> GridFile::Read(const std::filesystem::path& path, int valuesPerNode)
{
    std::optional<FileHandle> file = FileHandle::Open(path, FileHandle::Mode::Read);
    if (!file)
        return std::nullopt;
    GridFile grid;
    grid.valuesPerNode_ = valuesPerNode;
    if (!file->ReadAt(0, &grid.header_, kHeaderBytes) || !DescribesGrid(grid.header_))
        return std::nullopt;
    grid.columns_ = NodeCount(grid.header_.min1, grid.header_.max1, grid.header_.step1);
    grid.rows_ = NodeCount(grid.header_.min2, grid.header_.max2, grid.header_.step2);

    // The header bounds what is read: the file must hold its nodes exactly, nothing more.
    const auto values = static_cast<std::uint64_t>(grid.columns_ * grid.rows_ * valuesPerNode);
    if (file->Size() != kHeaderBytes + values * sizeof(double))
        return std::nullopt;
    grid.values_.resize(static_cast<std::size_t>(values));
    if (!file->ReadAt(kHeaderBytes, grid.values_.data(), grid.values_.size() * sizeof(double)))
        return std::nullopt;
    // The no-data mark is a number; a value that is none is damage, not data.
    if (!std::all_of(grid.values_.begin(), grid.values_.end(), [](double v) { return std::isfinite(v); }))
        return std::nullopt;
    return grid;
}

const GridFile* GridCache::Get(const std::filesystem::path& dir, std::string_view name, int valuesPerNode)
{
    for (const Entry& entry : entries_)
        if (entry.name == name && entry.valuesPerNode == valuesPerNode && entry.dir == dir.native())
            return &entry.grid;
    std::optional<GridFile> grid = GridFile::Read(dir / name, valuesPerNode);
    if (!grid)
        return nullptr;
    return &entries_.emplace_back(Entry{dir.native(), std::string(name), valuesPerNode, std::move(*grid)}).grid;
}

double HermitePatch(const double f[2][2], const double fx[2][2], const double fy[2][2], const double fxy[2][2],
                    double x, double y)
{
    // The coefficients are a = M F M^T, with F the corner values and derivatives and M the cubic
    // Hermite basis {1 0 0 0; 0 0 1 0; -3 3 -2 -1; 2 -2 1 1}; hermite() is one product with M.
    struct Cubic {
        double c[4];
    };
    auto hermite = [](double v0, double v1, double d0, double d1) {
        return Cubic{{v0, d0, -3.0 * v0 + 3.0 * v1 - 2.0 * d0 - d1, 2.0 * v0 - 2.0 * v1 + d0 + d1}};
    };
    // The columns of M F, then the rows of (M F) M^T.
    const Cubic column[4] = {hermite(f[0][0], f[1][0], fx[0][0], fx[1][0]), hermite(f[0][1], f[1][1], fx[0][1], fx[1][1]),
                             hermite(fy[0][0], fy[1][0], fxy[0][0], fxy[1][0]),
                             hermite(fy[0][1], fy[1][1], fxy[0][1], fxy[1][1])};
    Cubic a[4];
    for (int i = 0; i < 4; ++i)
        a[i] = hermite(column[0].c[i], column[1].c[i], column[2].c[i], column[3].c[i]);

    const double xp[4] = {1.0, x, x * x, x * x * x};
    const double yp[4] = {1.0, y, y * y, y * y * y};
    double value = 0.0;
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i)
            value += a[i].c[j] * xp[i] * yp[j];
    return value;
}

double BicubicPatch(double x, double y, const std::array<double, 16>& values)
{
    // v(p, q) for column offset p and row offset q from the lower-left corner, p, q in -1..2.
    auto v = [&](int p, int q) { return values[static_cast<std::size_t>((q + 1) * 4 + (p + 1))]; };
    double f[2][2];
    double fx[2][2];
    double fy[2][2];
    double fxy[2][2];
    for (int p = 0; p < 2; ++p) {
        for (int q = 0; q < 2; ++q) {
            f[p][q] = v(p, q);
            // One-sided three-point differences through the opposite corner, in node spacings.
            fx[p][q] = p == 0 ? (4.0 * v(1, q) - v(2, q) - 3.0 * v(0, q)) / 2.0
                              : (3.0 * v(1, q) - 4.0 * v(0, q) + v(-1, q)) / 2.0;
            fy[p][q] = q == 0 ? (4.0 * v(p, 1) - v(p, 2) - 3.0 * v(p, 0)) / 2.0
                              : (3.0 * v(p, 1) - 4.0 * v(p, 0) + v(p, -1)) / 2.0;
            fxy[p][q] = (v(p + 1, q + 1) + v(p - 1, q - 1) - v(p + 1, q - 1) - v(p - 1, q + 1)) / 4.0;
        }
    }
    return HermitePatch(f, fx, fy, fxy, x, y);
}

namespace {

// The shared lookup: bounding box, the 4 x 4 nodes around the cell, no-data test, patch. The
// one-value grids name themselves by file name in their messages, the two-value grids by path.
template <int ValuesPerNode>
CoreResult<std::array<double, ValuesPerNode>> LookupPatch(CoreEnv& env, std::string_view name, double c1, double c2)
{
    // The two-value grids leave the prompt of their no-data message on the message's own line.
    const auto fail = [&](const std::string& message, bool lineEnd = true) {
        return Diagnostic{lineEnd ? message + "\n" : message};
    };
    const auto messageName = [&] {
        return ValuesPerNode == 1 ? std::string(name) : (env.startDir / name).string();
    };
    const GridFile* grid = env.grids.Get(env.startDir, name, ValuesPerNode);
    if (grid == nullptr)
        return fail("I/O " + messageName() + " File Error!");
    const GridHeader& h = grid->Header();
    if (!(h.min1 + h.step1 < c1 && c1 < h.max1 - h.step1 && h.min2 + h.step2 < c2 && c2 < h.max2 - h.step2))
        return fail("Error: Outside bounding box of " + messageName() + "!");
    // The division may round a point just inside the box into the last cell's neighbour, whose
    // stencil would run past the grid: keep the cell where its 4 x 4 nodes exist.
    const std::int64_t columns = grid->Columns();
    const std::int64_t i0 =
        std::max<std::int64_t>(1, std::min(static_cast<std::int64_t>((c1 - h.min1) / h.step1), columns - 3));
    const std::int64_t j0 =
        std::max<std::int64_t>(1, std::min(static_cast<std::int64_t>((c2 - h.min2) / h.step2), grid->Rows() - 3));
    const double x = (c1 - (h.min1 + static_cast<double>(i0) * h.step1)) / h.step1;
    const double y = (c2 - (h.min2 + static_cast<double>(j0) * h.step2)) / h.step2;

    std::array<std::array<double, 16>, ValuesPerNode> nodes;
    bool noData = false;
    for (int q = -1; q <= 2; ++q) {
        for (int p = -1; p <= 2; ++p) {
            const std::int64_t k = (i0 + p) + columns * (j0 + q);
            const auto slot = static_cast<std::size_t>((q + 1) * 4 + (p + 1));
            for (int v = 0; v < ValuesPerNode; ++v) {
                const double value = grid->NodeValue(k, v);
                nodes[static_cast<std::size_t>(v)][slot] = value;
                noData = noData || IsNoData(value);
            }
        }
    }
    if (noData)
        return fail("Error: Outside of border!", ValuesPerNode == 1);
    std::array<double, ValuesPerNode> result{};
    for (int v = 0; v < ValuesPerNode; ++v)
        result[static_cast<std::size_t>(v)] = BicubicPatch(x, y, nodes[static_cast<std::size_t>(v)]);
    return result;
}

bool InBucharestBox(double L, double B)
{
    return 25.98161988 <= L && L <= 26.22410817 && 44.34914006 <= B && B <= 44.51947112;
}

} // namespace

CoreResult<double> ZetaLookup(CoreEnv& env, double L, double B)
{
    const auto zeta =
        LookupPatch<1>(env, InBucharestBox(L, B) ? kBucharestQuasigeoidGridName : kQuasigeoidGridName, L, B);
    if (!zeta)
        return zeta.Failure();
    return (*zeta)[0];
}

CoreResult<PlanePair> GridShiftLookup(CoreEnv& env, std::string_view gridName, double U1, double U2)
{
    const auto shift = LookupPatch<2>(env, gridName, U1, U2);
    if (!shift)
        return shift.Failure();
    return PlanePair{(*shift)[0], (*shift)[1]};
}

} // namespace velmora
