#include "core/CorrectionGrid.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

namespace velmora {

static_assert(std::endian::native == std::endian::little, "grid files are little-endian doubles");

namespace {

constexpr int kHeaderDoubles = 6;
// Column, row and column count are 16-bit quantities of the file format.
constexpr double kMaxNodeIndex = 65535.0;

// A header describes a grid when it is finite, has positive steps and fits the 16-bit indices.
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
        if (!std::isfinite(span) || std::round(span) + 1.0 > kMaxNodeIndex)
            return false;
    return true;
}

} // namespace

std::optional<GridFile> GridFile::Read(const std::filesystem::path& path, int valuesPerNode)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return std::nullopt;

    GridFile grid;
    grid.valuesPerNode_ = valuesPerNode;
    const std::size_t headerBytes = kHeaderDoubles * sizeof(double);
    if (bytes.size() < headerBytes)
        return grid;
    std::memcpy(&grid.header_, bytes.data(), headerBytes);
    if (!DescribesGrid(grid.header_))
        return grid;
    grid.hasHeader_ = true;
    grid.columns_ =
        static_cast<std::int64_t>(std::round((grid.header_.max1 - grid.header_.min1) / grid.header_.step1)) + 1;

    // Only whole node records count: a trailing partial record cannot be read.
    const std::size_t recordBytes = sizeof(double) * static_cast<std::size_t>(valuesPerNode);
    const std::size_t nodes = (bytes.size() - headerBytes) / recordBytes;
    grid.values_.resize(nodes * static_cast<std::size_t>(valuesPerNode));
    std::memcpy(grid.values_.data(), bytes.data() + headerBytes, nodes * recordBytes);
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
    if (grid == nullptr || !grid->HasHeader())
        return fail("I/O " + messageName() + " File Error!");
    const GridHeader& h = grid->Header();
    if (!(h.min1 + h.step1 < c1 && c1 < h.max1 - h.step1 && h.min2 + h.step2 < c2 && c2 < h.max2 - h.step2))
        return fail("Error: Outside bounding box of " + messageName() + "!");
    // The division may round a point just inside the box into the last cell's neighbour, whose
    // stencil would run past the grid: keep the cell where its 4 x 4 nodes exist.
    const std::int64_t rows = static_cast<std::int64_t>(std::round((h.max2 - h.min2) / h.step2)) + 1;
    const std::int64_t i0 =
        std::max<std::int64_t>(1, std::min(static_cast<std::int64_t>((c1 - h.min1) / h.step1), grid->Columns() - 3));
    const std::int64_t j0 = std::max<std::int64_t>(1, std::min(static_cast<std::int64_t>((c2 - h.min2) / h.step2), rows - 3));
    const double x = (c1 - (h.min1 + static_cast<double>(i0) * h.step1)) / h.step1;
    const double y = (c2 - (h.min2 + static_cast<double>(j0) * h.step2)) / h.step2;

    // Node numbers grow along each row and from row to row: the file holds all 16 nodes when it
    // holds the first and the last.
    const std::int64_t columns = grid->Columns();
    if (!grid->HoldsNodes((i0 - 1) + columns * (j0 - 1), (i0 + 2) + columns * (j0 + 2)))
        return fail("I/O " + messageName() + " File Error!");
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
