// The inputs of a network adjustment, laid out in a temporary folder as the steps before it leave
// them: the node grid file and the grid text header of the grid generation, the parameter file of
// the estimation, the common points with the distortions the estimation leaves and the cells the
// cell assignment gives them, and the open drawing.
#pragma once

#include "building/BuildRun.h"
#include "files/NumberText.h"
#include "files/PointRecord.h"
#include "files/RecordFile.h"
#include "files/TextFile.h"
#include "model/GridCells.h"
#include "model/ModelParameters.h"
#include "model/NodeGrid.h"
#include "support/PointFiles.h"
#include "support/TestSupport.h"

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace velmora::test {

// Status letter of node (r, c); the grid generation leaves 'E' everywhere, the boundary marking
// sets 'I' and 'G' inside the zone.
using NodeStatus = std::function<char(int r, int c)>;

inline char AllInside(int, int) { return 'I'; }

// The node records as the grid generation writes them.
inline void WriteGridNodeFile(const std::filesystem::path& path, const GridFrame& g, const NodeStatus& status)
{
    PointFile file = PointFile::Create(path);
    const int columns = g.nE + 1;
    for (int r = 0; r <= g.nN; ++r) {
        for (int c = 0; c <= g.nE; ++c) {
            const std::int32_t k = r * columns + c;
            PointRecord node{};
            node.pointState = status(r, c);
            node.sys1 = {g.minE + c * g.step, g.minN + r * g.step, 0.0};
            const std::int32_t place[2] = {r, c};
            std::memcpy(&node.modelWork3[3], place, sizeof place);
            if (c == 0) {
                node.nodeIndex[0] = k + 2, node.nodeIndex[1] = k + 1;
            } else if (c == g.nE) {
                node.nodeIndex[0] = k - 1, node.nodeIndex[1] = k - 2;
            } else {
                node.nodeIndex[0] = k - 1, node.nodeIndex[1] = k + 1;
            }
            if (r == 0) {
                node.nodeIndex[2] = k + 2 * columns, node.nodeIndex[3] = k + columns;
            } else if (r == g.nN) {
                node.nodeIndex[2] = k - columns, node.nodeIndex[3] = k - 2 * columns;
            } else {
                node.nodeIndex[2] = k - columns, node.nodeIndex[3] = k + columns;
            }
            file.Append(node);
        }
    }
    file.Close();
}

// Four free lines and the plane header of the grid text file.
inline std::string GridTextHeader(const GridFrame& g)
{
    const auto value = [](double v) { return FormatFixed(v, 11, 3) + "\r\n"; };
    return "Model de test\r\nlinia 2\r\nlinia 3\r\nlinia 4\r\n"
           "Minimum East (minE):\r\n" + value(g.minE) + "Maximum East (maxE):\r\n" + value(g.maxE)
           + "Minimum North (minN):\r\n" + value(g.minN) + "Maximum North (maxN):\r\n" + value(g.maxN)
           + "East grid interval (stepE):\r\n" + value(g.step) + "North grid interval (stepN):\r\n" + value(g.step)
           + "Number of grid shift values (rows x columns):\r\n" + std::to_string(g.NodeCount()) + "\r\n"
           + "Number of dimensions (2 for dEast and dNorth - grid shift values):\r\n2\r\n"
           + "Grid shift values (dEast dNorth) (columns: minE-->maxE; rows: minN-->maxN):\r\n";
}

inline GridFrame MakeFrame(double minE, double minN, double step, int nE, int nN)
{
    return {minE, minN, minE + nE * step, minN + nN * step, step, nE, nN};
}

// A common point whose Helmert position is (east, north) and whose target coordinates lie the
// distortion (dE, dN, dZ) away; the estimation leaves that distortion in residual.
inline PointRecord CommonPoint(const std::string& name, double east, double north, double dE, double dN,
                               double dZ = 0.0, char kind = 'P')
{
    PointRecord point{};
    point.pointState = 'N';
    point.coordKind = kind;
    point.name.Assign(name);
    point.sys1 = {east, north, 0.0};
    point.result = {east, north, 0.0};
    point.sys2 = {east + dE, north + dN, dZ};
    point.residual = {dE, dN, dZ};
    return point;
}

// A run in its own folder with every input of the adjustment in place.
class NetworkRun {
public:
    NetworkRun(const GridFrame& frame, const std::vector<PointRecord>& commonPoints,
               const NodeStatus& status = AllInside, const ModelParameterRecord& parameters = {})
    {
        run.workDir = dir.Path();
        run.sourcePath = dir / "ZONA.txt";
        run.parameterPath = dir / "ZONA.PAR";
        run.drawingPath = dir / "ZONA.DXF";
        run.gridTextPath = dir / "ZONA.GRT";
        run.nodeGridPath = dir / "ZONA.GRD";
        run.kind = commonPoints.empty() ? 'P' : commonPoints.front().coordKind;
        run.grid = frame;
        run.scale = 1000.0;
        run.labelHeight = run.scale * 0.5 / 200.0;
        run.targetRadius = run.scale * 0.2 / 200.0;

        WriteGridNodeFile(run.nodeGridPath, frame, status);
        WriteBytes(run.gridTextPath, GridTextHeader(frame));
        RecordFile<ModelParameterRecord> file = RecordFile<ModelParameterRecord>::Create(run.parameterPath);
        file.Append(parameters);
        file.Close();
        WritePoints(CommonPath(), commonPoints);
        AssignGridCells(CommonPath(), NodeGrid::Load(run.nodeGridPath), true, nullptr);
        run.drawing.emplace(run.drawingPath);
        run.drawing->WriteDxfHead();
    }

    std::filesystem::path CommonPath() const { return dir / kBuildCommonPointsName; }
    std::vector<PointRecord> Nodes() const { return ReadPoints(run.nodeGridPath); }
    // The drawing as written so far.
    std::string Drawing()
    {
        run.drawing->WriteDxfEnd();
        return ReadBytes(run.drawingPath);
    }

    TempDir dir;
    BuildRun run;
};

} // namespace velmora::test
