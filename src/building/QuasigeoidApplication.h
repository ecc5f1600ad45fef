// A quasigeoid node grid applied to point files: the signal of the third component alone (the
// correction of zeta) and its precision, interpolated at every point inside the grid, and the
// final zeta of each point. Two uses:
//   - the quasigeoid model-building run, on the points of its source, with the report
//     ("REZ_NOI.TXT"): common points, verified points, new points, their statistics and the
//     final results; the drawing gets the height arrows and is ended;
//   - the application of a finished quasigeoid grid to a point file, with a result text file.
//
// Every point record holds L (East), B (North), both in decimal degrees, and zeta in sys1, copied
// into result before the cells were assigned (the quasigeoid model has no Helmert step). The
// signal goes to residual[2], its precision to modelWork2[2]; the final zeta is the model zeta
// result[2] plus the signal (a quasigeoid model has no regression trend). A common or verified
// point keeps its final zeta in modelWork1[2] and its listing mark; a new point its final
// coordinates in modelWork2[3..5].
//
// Report (lines end in CR LF, the last "ENDF" has none):
//   Fisier sursa: <source>
//   Zita corectat, distorsiuni, semnale, erori:
//   COMMON POINTS: the statistics of Helmert zeta - system-2 zeta, every common point's table,
//     the statistics of the errors (final - system-2 zeta)
//   VERIFIED POINTS: every point set aside with its table, the statistics of their errors
//   NEW POINTS: every new point's table (a point outside the grid: systems and model zeta)
//   Rezultate finale (...): one line per new point: name:6, B:12:6, L:12:6, zeta + signal:12:3
//     and " 0 0 0 0", or " - exterior gridului" after B and L for a point outside the grid
//   ENDF
// A point's table:
//                    L [G]         B [G]         Zita [m]
//   Sistem 1 :     25.500000     45.250000       30.125
//   Sistem 2 :   (likewise)
//   Distorsiuni :  system-2 zeta - model zeta      Semnale :  the signal
//   Zita final    :  final zeta      Erori :  final - system-2 zeta      Precizii :  precision
#pragma once

#include "building/Drawing.h"

#include <filesystem>
#include <string>

namespace velmora {

struct QuasigeoidReportJob {
    std::filesystem::path nodeGridPath;
    std::filesystem::path newPointsPath;      // cells assigned in new-point mode
    std::filesystem::path commonPointsPath;   // cells assigned in common mode
    std::filesystem::path excludedPointsPath; // "RAR.REC", cells assigned in new-point mode; may be empty
    std::filesystem::path reportPath;         // replaced
    std::string sourceName;                   // named in the report's head
};

// The model-building run's application with its report; ends the drawing. Throws FatalError:
// kNewPointsInvalidMessage, kNoNewPointsMessage, the interpolators' messages, kResultIoMessage
// when the report cannot be written.
void ApplyQuasigeoidGridWithReport(const QuasigeoidReportJob& job, Drawing& drawing);

// The application to a point file (cells assigned in new-point mode): the result file holds the
// first line of the source file, the final line of every new point as in the report, and "ENDF".
// Throws FatalError like the report's run, kSourceIoMessage when the source cannot be read,
// kResultIoMessage when the result cannot be written.
void ApplyQuasigeoidGridToResult(const std::filesystem::path& nodeGridPath, const std::filesystem::path& newPointsPath,
                                 const std::filesystem::path& inputPath, const std::filesystem::path& resultPath);

} // namespace velmora
