// The command context: what the commands of one program run share, from the start-up directory
// to the choices of the last dialog.
#pragma once

#include <filesystem>
#include <string>

namespace velmora {

// Data files the commands check or read in the start-up directory, besides the dispatcher's own
// grids (see core/TransformPoint.h and core/CorrectionGrid.h).
inline constexpr const char* kQuasigeoidCheckGridName = "EGG97_QGR.GRD";
inline constexpr const char* kStereo70CheckGridName = "ETRS89_KRASOVSCHI42_2D.GRD";
inline constexpr const char* kStereo30CheckGridName = "ETRS89_Stereo30_2D.GRD";
inline constexpr const char* kStereo30ToStereo70ModelName = "Stereo30_Stereo70_2D.GRD";
inline constexpr const char* kStereo70ToStereo30ModelName = "Stereo70_Stereo30_2D.GRD";

struct CommandContext {
    // Where the data files lie: the directory current when the program started.
    std::filesystem::path startDir;
    // Where the work files go: the directory current when the running command started.
    std::filesystem::path workDir;
    char transformationCode = 0;
    std::filesystem::path heightGridPath;
    std::filesystem::path planeGridPath;
    std::filesystem::path parameterPath;
    std::string inputPath;
    std::string resultPath;
    bool dialogConfirmed = false;
    bool interactiveMode = false;
    int tmZone = 34;
    bool regression = false;
};

} // namespace velmora
