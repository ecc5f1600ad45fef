// The zita file of the quasigeoid exchange made from a global geoid model: every node of the node
// list BL_EGG.txt ("number B L") is looked up in a vertical grid that PROJ can read (by default
// the EGM96 grid of proj-data), and its line of the zita file holds B, L and the geoid height
// there. A global geoid model is not the national quasigeoid: this makes the exchange workable
// with public data, not its official result.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace velmora {

inline constexpr const char* kDefaultGeoidGrid = "egm96_15.gtx";

// Writes zitaPath: one line per node "B:10:6 L:11:6 N:9:4", in the order of the list. Returns the
// reason when the list cannot be read, the grid cannot be opened, a node lies outside the grid or
// the zita file cannot be written; std::nullopt on success.
std::optional<std::string> SampleGeoid(const std::filesystem::path& nodeListPath,
                                       const std::filesystem::path& zitaPath, const std::string& grid);

} // namespace velmora
