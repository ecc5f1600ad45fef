// The model application engine: applies a prepared distortion model (a plane Helmert similarity,
// an optional regression trend and a residual signal interpolated from the node grid) to the new
// points of a job and writes the result text file of the Bucharest plane-to-plane commands in one
// of the model layouts of files/ResultWriter.h: Stereo70 targets (code '5') North first, Stereo30
// targets (code '6') East first. The final coordinates also stay in the records (modelWork2[3..5]).
//
// Typical use by the commands of codes '5' and '6', after parsing the source into "PNXYZ.REC":
//   ModelApplicationJob job{layout, newPointsPath, inputPath, resultPath, 'P', regressionFlag, interactive};
//   const auto outcome = RunModelApplication(nodeGridPath, parameterPath, job);
// In interactive mode every new point gives one InteractiveResult, in file order.
#pragma once

#include "files/PointRecord.h"
#include "files/ResultWriter.h"
#include "model/ModelParameters.h"
#include "model/NodeGrid.h"

#include <filesystem>
#include <string>
#include <vector>

namespace velmora {

inline constexpr const char* kNewPointsInvalidMessage = "Eroare: fis. invalid cu puncte noi si referinte la noduri!";
inline constexpr const char* kNoNewPointsMessage = "Eroare: fis. fara puncte de transformat!";
// The message box of interactive mode for a point outside the grid: the text, its caption, and a
// single OK button.
inline constexpr const char* kOutsideGridMessage = "Punctul este in afara gridului de distorsiuni!";
inline constexpr const char* kOutsideGridCaption = "Mesaj de informare";

// A model as the engine uses it: the node grid and record 0 of the parameter file.
struct DistortionModel {
    NodeGrid grid;
    ModelParameterRecord parameters;
};

// Throws FatalError naming the file when either file is missing or unusable.
DistortionModel LoadDistortionModel(const std::filesystem::path& nodeGridPath,
                                    const std::filesystem::path& parameterPath);

struct ModelApplicationJob {
    ResultLayout layout = ResultLayout::ModelNorthFirst; // one of the two model layouts
    std::filesystem::path newPointsPath;   // prepared by AssignGridCells
    std::filesystem::path inputPath;       // the source text file; its first line heads the result
    std::filesystem::path resultPath;      // the result text file, replaced
    char modelKind = 'P';                  // the kind letter of the regression trend
    bool regressionApplied = false;        // regression values are already in the records
    bool interactiveMode = false;          // deliver the interactive dialog's result texts
};

// What the interactive dialog shows for one point.
struct InteractiveResult {
    // The point lies outside the grid: all five result texts are emptied and the message box
    // kOutsideGridMessage (caption kOutsideGridCaption) is shown.
    bool outsideGrid = false;
    // Otherwise result texts 1 and 2 (the dialog's output fields), in the order of the job's
    // layout, each :10:3. Texts 3 to 5 stay as they are.
    std::string resultText1;
    std::string resultText2;
};

// The engine for the plain codes '5' and '6': the regression trend when the model has one, the signal of every point inside the grid, the final
// coordinates and the result file. Returns one result per new point in interactive mode, none
// otherwise. Throws FatalError: kNewPointsInvalidMessage when the new-points file cannot be
// opened, kNoNewPointsMessage when it holds no point, the interpolators' messages for a point that
// cannot be interpolated, the result writer's messages when the source cannot be read or the
// result file cannot be written.
std::vector<InteractiveResult> ApplyDistortionModel(const DistortionModel& model, const ModelApplicationJob& job);

// The whole model step of codes '5' and '6': loads the model, assigns the grid cells of the new
// points (with the model's Helmert step) and applies the model.
std::vector<InteractiveResult> RunModelApplication(const std::filesystem::path& nodeGridPath,
                                                   const std::filesystem::path& parameterPath,
                                                   const ModelApplicationJob& job);

} // namespace velmora
