// What one run of the transformation core needs from its caller: where the data files lie, the
// current Transverse Mercator zone and the grids of the command run.
#pragma once

#include <filesystem>

namespace velmora {

class GridCache;

struct CoreEnv {
    std::filesystem::path startDir;
    int tmZone;
    GridCache& grids;
};

} // namespace velmora
