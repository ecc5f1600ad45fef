#include "model/GridCells.h"

#include "files/FatalError.h"
#include "files/RecordFile.h"

#include <cmath>
#include <string>

namespace velmora {

namespace {

constexpr std::uint64_t kMinCommonPoints = 4;

// Cell number, 1-based, of coordinate t along an axis: a point on a grid line belongs to the cell
// below or left of it, and one on the first line to the first cell.
std::int64_t CellNumber(double t, double origin, double step)
{
    const double q = (t - origin) / step;
    const double whole = std::trunc(q);
    std::int64_t i = static_cast<std::int64_t>(whole);
    if (q - whole > 0.00001) {
        ++i;
    }
    return i == 0 ? 1 : i;
}

bool InsideGrid(const PointRecord& point, const GridGeometry& g)
{
    const double e = point.result[0];
    const double n = point.result[1];
    return g.x0 - gridTolerance <= e && e <= g.xLast + gridTolerance && g.y0 - gridTolerance <= n
           && n <= g.yLast + gridTolerance;
}

// A corner outside the model zone, or missing from the node file, puts the cell on the exterior.
bool TouchesExterior(const PointRecord& point, const NodeGrid& grid)
{
    for (const std::int32_t k : point.nodeIndex) {
        const GridNode* corner = grid.Find(k);
        if (corner == nullptr || corner->pointState == 'E') {
            return true;
        }
    }
    return false;
}

std::string CommonCountMessage(std::uint64_t inside)
{
    return "Eroare: Numarul de puncte comune cuprinse in grid=" + std::to_string(inside) + "."
           + " Este necesar ca nr. puncte >= 4. (vezi inversat x, y in poligon?)"
           + " (Verificati si limitele gridului in fisierul de date dupa \"C\").";
}

} // namespace

void AssignGridCells(const std::filesystem::path& pointsPath, const NodeGrid& grid, bool commonMode,
                     const ModelParameterRecord* helmert)
{
    const GridGeometry& g = grid.Geometry();
    const bool applyHelmert = !commonMode && helmert != nullptr;
    PointFile points = PointFile::OpenForUpdate(pointsPath);
    std::uint64_t inside = 0;
    for (std::uint64_t k = 0; k < points.Size(); ++k) {
        PointRecord point = points.Read(k);
        // Every point keeps its Helmert coordinates, also one outside the grid: they are its
        // result there.
        bool changed = applyHelmert;
        if (applyHelmert) {
            ApplyModelHelmert(point, *helmert);
        }
        if (point.pointState == 'N' && InsideGrid(point, g)) {
            ++inside;
            point.pointState = 'D';
            const std::int64_t i = CellNumber(point.result[0], g.x0, g.step);
            const std::int64_t j = CellNumber(point.result[1], g.y0, g.step);
            // The grid's size limits keep every number below within Int32.
            point.nodeIndex[0] = static_cast<std::int32_t>((j - 1) * g.nX + i - 1);
            point.nodeIndex[1] = point.nodeIndex[0] + 1;
            point.nodeIndex[2] = static_cast<std::int32_t>(j * g.nX + i);
            point.nodeIndex[3] = point.nodeIndex[2] - 1;
            if (!commonMode && TouchesExterior(point, grid)) {
                point.pointState = 'E';
            }
            changed = true;
        }
        if (changed) {
            points.Write(k, point);
        }
    }
    points.Close();
    if (commonMode && inside < kMinCommonPoints) {
        throw FatalError(CommonCountMessage(inside));
    }
}

} // namespace velmora
