#include "building/Quasigeoid.h"

#include "core/Geodesy.h"
#include "files/RecordFile.h"
#include "model/GridCells.h"
#include "model/GridInterpolation.h"

namespace velmora {

namespace fs = std::filesystem;

void PlaceGeodeticPoint(PointRecord& point)
{
    point.result[0] = RadToDeg(point.sys1[1]);
    point.result[1] = RadToDeg(point.sys1[0]);
}

void SubtractQuasigeoidHeights(const NodeGrid& grid, const fs::path& pointsPath)
{
    {
        PointFile points = PointFile::OpenForUpdate(pointsPath);
        for (std::uint64_t k = 0; k < points.Size(); ++k) {
            PointRecord point = points.Read(k);
            PlaceGeodeticPoint(point);
            points.Write(k, point);
        }
        points.Close();
    }
    AssignGridCells(pointsPath, grid, false, nullptr);
    PointFile points = PointFile::OpenForUpdate(pointsPath);
    for (std::uint64_t k = 0; k < points.Size(); ++k) {
        PointRecord point = points.Read(k);
        point.residual[2] = 0.0;
        if (point.pointState == 'D')
            InterpolateBicubic(point, grid, kQuasigeoidSignal);
        point.modelWork1[2] = point.residual[2];
        point.sys1[2] -= point.residual[2];
        points.Write(k, point);
    }
    points.Close();
}

} // namespace velmora
