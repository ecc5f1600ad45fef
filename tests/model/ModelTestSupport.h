// Node grids, parameter files and point files written by the tests themselves.
#pragma once

#include "files/PointRecord.h"
#include "files/RecordFile.h"
#include "model/ModelParameters.h"
#include "support/PointFiles.h"
#include "support/TestSupport.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace velmora::test {

using NodeValues = std::array<double, 3>;

struct GridSpec {
    double x0;
    double y0;
    double step;
    int nX;
    int nY;

    double East(double column) const { return x0 + column * step; }
    double North(double row) const { return y0 + row * step; }
};

// Node (c, r) holds values(c, r); exterior(c, r) marks nodes outside the model zone.
inline void WriteNodeGrid(const std::filesystem::path& path, const GridSpec& g,
                          const std::function<NodeValues(int, int)>& values,
                          const std::function<bool(int, int)>& exterior = nullptr)
{
    PointFile file = PointFile::Create(path);
    for (int r = 0; r < g.nY; ++r) {
        for (int c = 0; c < g.nX; ++c) {
            PointRecord node{};
            node.pointState = exterior && exterior(c, r) ? 'E' : 'D';
            node.sys1 = {g.East(c), g.North(r), 0.0};
            node.residual = values(c, r);
            file.Append(node);
        }
    }
    file.Close();
}

// A point as a parser leaves it, with its Helmert position already in result.
inline PointRecord MakePoint(const std::string& name, double east, double north)
{
    PointRecord point{};
    point.pointState = 'N';
    point.name.Assign(name);
    point.sys1 = {east, north, 0.0};
    point.result = {east, north, 0.0};
    point.nodeIndex = {1, 2, 3, 4};
    return point;
}

// A model whose Helmert step is a pure shift and which has no regression.
inline ModelParameterRecord ShiftModel(double shiftE, double shiftN)
{
    ModelParameterRecord model{};
    model.helmertA = 1.0;
    model.helmertShiftE = shiftE;
    model.helmertShiftN = shiftN;
    return model;
}

inline void WriteParameters(const std::filesystem::path& path, const ModelParameterRecord& model)
{
    RecordFile<ModelParameterRecord> file = RecordFile<ModelParameterRecord>::Create(path);
    file.Append(model);
    file.Close();
}

} // namespace velmora::test
