// One model-building run: what its steps share, from the source file to the open drawing. The
// commands create it, the steps of this layer (grid generation, boundary marking, Helmert and
// regression estimation, network adjustment, quasigeoid grids) read and extend it in the order the
// command runs them, and the command names its files at the end.
//
// Work files lie in workDir (the current directory of the command); the files named after the
// source file lie beside it. A fatal condition in any step is a FatalError with the text of the
// error window; nothing here talks to a window.
#pragma once

#include "building/Drawing.h"
#include "files/PointRecord.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

namespace velmora {

// Work files of the model-building commands, in the work folder.
inline constexpr const char* kBuildCommonPointsName = "PCOMUNE.REC";
inline constexpr const char* kBuildNewPointsName = "PNOI.REC";
inline constexpr const char* kBuildExcludedPointsName = "RAR.REC";
inline constexpr const char* kBuildPolygonName = "POLIGON.REC";
// The report of the estimation and regression, and the initial name of the model application
// report.
inline constexpr const char* kEstimationReportName = "REZULT.TXT";
inline constexpr const char* kApplicationReportName = "REZ_NOI.TXT";

// Transformation codes that change what the steps do: the plane command without regression
// (finer grid rounding tolerance) and the quasigeoid command (geographic grid text header, the
// third component only).
inline constexpr char kPlaneWithoutRegressionCode = 31;
inline constexpr char kQuasigeoidCode = 44;

// The grid as the grid generation fixed it: node (row r, column c) lies at
// (minE + c * step, minN + r * step); nE and nN are the numbers of intervals.
struct GridFrame {
    double minE = 0.0;
    double minN = 0.0;
    double maxE = 0.0;
    double maxN = 0.0;
    double step = 0.0;
    int nE = 0;
    int nN = 0;

    std::int64_t NodeCount() const { return std::int64_t{nE + 1} * (nN + 1); }
    // Grid lines are counted from the minimum, never accumulated, so the last one is the maximum.
    double East(int column) const { return minE + column * step; }
    double North(int row) const { return minN + row * step; }
};

struct BuildRun {
    std::filesystem::path sourcePath;
    std::filesystem::path workDir;
    // The command context's transformation code when the step runs: 31 (plane without
    // regression) and 44 (quasigeoid) steer the grid tolerance, the grid text header and the
    // network adjustment.
    char transformationCode = 0;
    char kind = 'P'; // 'P' plane, 'G' geocentric (three-dimensional)

    // Files named after the source: the source path with its extension replaced.
    std::filesystem::path parameterPath; // .PAR
    std::filesystem::path drawingPath;   // .DXF
    std::filesystem::path gridTextPath;  // .GRT
    std::filesystem::path nodeGridPath;  // .GRD
    std::filesystem::path applicationReportName = kApplicationReportName;

    // The source's ellipsoid line, as the point parser read it.
    EllipsoidPair ellipsoids{};

    // Open from the grid generation until the model application ends it.
    std::optional<Drawing> drawing;
    double scale = 0.0;        // drawing scale, rounded to an integer
    double labelHeight = 0.0;  // scale * 0.5 / 200
    double targetRadius = 0.0; // scale * 0.2 / 200
    GridFrame grid;

    bool regression = false; // the regression trend was estimated and is applied

    // Progress of long steps (the network adjustment): done of total; may be empty.
    std::function<void(std::uint64_t done, std::uint64_t total)> progress;

    std::filesystem::path WorkFile(const char* name) const { return workDir / name; }
    void ReportProgress(std::uint64_t done, std::uint64_t total) const
    {
        if (progress)
            progress(done, total);
    }
};

} // namespace velmora
