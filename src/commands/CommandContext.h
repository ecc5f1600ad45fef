// The command context: what the commands of one program run share, from the start-up directory
// to the choices of the last dialog.
#pragma once

#include <filesystem>
#include <string>

namespace velmora {

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
