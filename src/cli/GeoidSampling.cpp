#include "cli/GeoidSampling.h"

#include "building/Quasigeoid.h"
#include "files/NumberText.h"
#include "files/TextFile.h"

#include <proj.h>

#include <array>
#include <cmath>
#include <memory>
#include <string_view>

namespace velmora {

namespace {

struct ContextDeleter {
    void operator()(PJ_CONTEXT* ctx) const { proj_context_destroy(ctx); }
};
struct OperationDeleter {
    void operator()(PJ* operation) const { proj_destroy(operation); }
};

} // namespace

std::optional<std::string> SampleGeoid(const std::filesystem::path& nodeListPath,
                                       const std::filesystem::path& zitaPath, const std::string& grid)
{
    TextReader list(nodeListPath);
    if (!list.IsOpen())
        return "cannot read the node list " + nodeListPath.string();
    const std::unique_ptr<PJ_CONTEXT, ContextDeleter> ctx(proj_context_create());
    proj_log_level(ctx.get(), PJ_LOG_NONE);
    const std::string definition = "+proj=vgridshift +grids=" + grid + " +multiplier=1";
    const std::unique_ptr<PJ, OperationDeleter> geoid(proj_create(ctx.get(), definition.c_str()));
    if (!geoid)
        return "PROJ cannot open the vertical grid " + grid;

    TextWriter zita(zitaPath);
    if (!zita.IsOpen())
        return "cannot write " + zitaPath.string();
    std::string line;
    std::string out;
    for (int number = 1; list.ReadLine(line); ++number) {
        if (line.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        const auto values = LeadingThreeNumbers(line);
        if (!values)
            return nodeListPath.string() + ", line " + std::to_string(number) + ": not a line \"number B L\"";
        const double B = (*values)[1];
        const double L = (*values)[2];
        const PJ_COORD height = proj_trans(geoid.get(), PJ_FWD, proj_coord(proj_torad(L), proj_torad(B), 0.0, 0.0));
        if (!std::isfinite(height.xyz.z))
            return nodeListPath.string() + ", line " + std::to_string(number) + ": outside the grid " + grid;
        out.clear();
        AppendFixed(out, B, 10, 6);
        out.push_back(' ');
        AppendFixed(out, L, 11, 6);
        out.push_back(' ');
        AppendFixed(out, height.xyz.z, 9, 4);
        out.append("\r\n");
        zita.Write(out);
    }
    if (!zita.Close())
        return "cannot write " + zitaPath.string();
    return std::nullopt;
}

} // namespace velmora
