// Grid generation, the first step of every model-building run. It reads the head of the
// model-building source file:
//   four free header lines (copied to the grid text file),
//   "SC" and a line with the drawing scale,
//   "PAS" and a line with the grid interval (and a second number, checked and not used),
//   "C" and one line per contour vertex (name, East, North) up to "END" or "ENDF",
// then fixes a square grid over the contour, writes the node grid, resets the parameter file,
// starts the drawing (head, grid, zone boundary, common points), hands the rest of the source to
// the common/new point parser and writes the head of the grid text file.
//
// Node grid (.GRD): one point record per node, rows from minN northwards, East fastest, so node
// (row r, column c) is record k = (nE + 1) r + c, at (minE + c d, minN + r d). A node carries
// pointState 'E' (until the boundary marking), its position in sys1[0..1], its row and column as
// two Int32 at offsets 280 and 284, and in nodeIndex the record numbers of the two neighbours
// used along its row (k - 1, k + 1; k + 2, k + 1 in the first column; k - 1, k - 2 in the last)
// and the two along its column (the same rule with rows). Every other byte is 0.
//
// Grid text (.GRT) head: the four header lines, then label and value lines of the extent, the
// intervals, the node count and the dimension, and the line that announces the value lines.
#pragma once

#include "building/BoundaryPolygon.h"
#include "building/BuildRun.h"
#include "files/TextFile.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace velmora {

inline constexpr const char* kGridTooFineMessage = "Pasul gridului este prea mic. Trebuie sa mariti pasul!";
inline constexpr const char* kGridStepNotPositiveMessage =
    "Eroare: pasul gridului (dupa id. PAS) trebuie sa fie mai mare decat zero.";
inline constexpr const char* kContourFlatMessage =
    "Eroare: conturul zonei (dupa id. C) nu are intindere pe Est sau pe Nord pentru stab. limite grid.";
inline constexpr const char* kPointsGenerationMessage = "Eroare generare puncte comune si noi.";
// Completed by the source's name and kSourceWouldBeOverwrittenEnd.
inline constexpr const char* kSourceWouldBeOverwrittenMessage = "Eroare: fisierul sursa ";
inline constexpr const char* kSourceWouldBeOverwrittenEnd =
    " ar fi suprascris de fisierele rezultate ale modelului. Redenumiti-l (de ex. cu extensia .txt).";

// At most this many of (nE + 3) (nN + 3).
inline constexpr double kGridSizeLimit = 120000.0;

// Runs the whole step on run.sourcePath with run.kind and run.transformationCode. Afterwards the
// run names its .PAR, .DXF, .GRT and .GRD files, holds the open drawing, the scale, label height,
// target radius, the final grid and the ellipsoid pair, and the work folder holds POLIGON.REC,
// PCOMUNE.REC, PNOI.REC and RAR.REC (and the parser's felips.rec, pcpol.rec, pcnoth.rec). Every
// failure is a FatalError with the message of the error window. A source that is itself one of
// those files is refused before anything is written, as writing them would destroy it.
void GenerateGrid(BuildRun& run);

// The section readers, on the line after their identifier. ReadScale gives the scale number as
// written; ReadGridStep the grid interval; ReadContour appends the vertices to polygon.
double ReadScale(TextReader& source);
double ReadGridStep(TextReader& source);
void ReadContour(TextReader& source, ContourFile& polygon);

// 0.0001 under the plane command without regression, 1e-9 otherwise: a fractional number of
// intervals up to this is taken as whole.
double GridTolerance(char transformationCode);

// The grid over an extent with interval d: at least four intervals each way (d halved until
// then), the maxima moved to whole intervals. FatalError for d <= 0, a flat extent or a grid
// beyond kGridSizeLimit.
GridFrame FitGrid(const Extent& extent, double d, double tolerance);

// FitGrid, then the node grid file of the result.
GridFrame SetUpGridNodes(const Extent& extent, double d, double tolerance, const std::filesystem::path& nodeGridPath);

// Row and column of a node record (offsets 280 and 284).
struct NodePlace {
    std::int32_t row = 0;
    std::int32_t column = 0;
};
NodePlace NodePlaceOf(const PointRecord& node);
void SetNodePlace(PointRecord& node, NodePlace place);

// Frame, grid lines, coordinate labels and the north arrow.
void DrawGridFrame(Drawing& drawing, const GridFrame& grid, double labelHeight);

// The lines that follow the four copied header lines in the grid text file; geographic under the
// quasigeoid command.
std::string GridTextHeader(const GridFrame& grid, bool geographic);

} // namespace velmora
