// Report mode of the model application engine, run by the model-building commands on the model
// they have just built. Besides the final coordinates of the new points it writes the report
// ("REZ_NOI.TXT"), in this order:
//   the head, with the source file's name;
//   the common points (with statistics): the Helmert differences before modelling, every point's
//     coordinates in both systems with what each layer of the model (Helmert, regression, signal)
//     contributes and its remaining error, and the errors after modelling;
//   the excluded points (with statistics, when "RAR.REC" holds any), which the model never saw:
//     every point as above, then their errors over all of them and within three sigma;
//   every new point with its final coordinates;
//   the cartesian listing of the new points, ended by "ENDF" and a line end, and the ellipsoidal
//     one on the target ellipsoid, ended by "ENDF" alone.
// Lines end in CR LF. The Helmert differences and the errors of the common and excluded points
// are drawn as arrows, and the drawing is ended with the report. The common and excluded records
// keep their listing mark (mark = 1) and their errors (modelWork1).
#pragma once

#include "core/Geodesy.h"
#include "model/DistortionModel.h"
#include "model/ReportDrawing.h"

#include <filesystem>
#include <string>

namespace velmora {

struct ModelReportJob {
    std::filesystem::path newPointsPath;      // prepared by AssignGridCells
    std::filesystem::path commonPointsPath;   // likewise, in common mode
    std::filesystem::path excludedPointsPath; // "RAR.REC", likewise; may be empty, never missing
    // "pcpol.rec": when it holds any record, the statistics take the common points whose name
    // does not begin with "#", and the file is rewritten with them.
    std::filesystem::path selectionPath;
    std::filesystem::path reportPath;         // replaced
    std::string sourceName;                   // named in the report's head
    Ellipsoid target{};                       // of the ellipsoidal listing
    char modelKind = 'P';                     // the kind letter of the regression trend
    bool regressionApplied = false;           // regression values are already in the records
    bool withStatistics = true;               // the common and excluded sections
};

// The report's whole run: the regression trend and the signal of the new and excluded points, the
// signal of the common points (which keep the regression values of its estimation), the report,
// the final coordinates, and the end of the drawing. The points' coordinate kind (the first new
// point's) selects plane ('P': East, North) or three-dimensional ('G': X, Y, Z) listings.
//
// Throws FatalError: the engine's messages for the new-points file (kNewPointsInvalidMessage,
// kNoNewPointsMessage), the interpolators' messages, the record layer's for the other point
// files, kResultIoMessage when the report cannot be written.
void ApplyDistortionModelWithReport(const DistortionModel& model, const ModelReportJob& job, ReportDrawing& drawing);

} // namespace velmora
