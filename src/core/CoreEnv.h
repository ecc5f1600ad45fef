// What one run of the transformation core needs from its caller: where the data files lie,
// the current Transverse Mercator zone, the error console and the grids of the command run.
#pragma once

#include <filesystem>

namespace velmora {

class ErrorConsole;
class GridCache;

struct CoreEnv {
    std::filesystem::path startDir;
    int tmZone;
    ErrorConsole& console;
    GridCache& grids;
};

} // namespace velmora
