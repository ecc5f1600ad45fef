#include "cli/Cli.h"

#include "cli/StreamConsole.h"
#include "core/CorrectionGrid.h"
#include "core/TransformPoint.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>

namespace velmora {
namespace {

constexpr const char* kUsage =
    "Usage: velmora-cli point TYPE P1 P2 [P3] [--zone 34|35] [--data DIR]\n"
    "       velmora-cli --help\n";

constexpr const char* kHelp =
    "velmora-cli - coordinate transformations between the Romanian and European systems\n"
    "\n"
    "Usage:\n"
    "  velmora-cli point TYPE P1 P2 [P3] [--zone 34|35] [--data DIR]\n"
    "  velmora-cli --help\n"
    "\n"
    "point   Transforms one point by transformation type TYPE (1 to 15).\n"
    "        P1 is the easting-like coordinate (or the longitude L), P2 the northing-like\n"
    "        coordinate (or the latitude B), P3 the height; without P3 the point is\n"
    "        transformed without height and the third result is 0. Angles are decimal\n"
    "        degrees, plane coordinates and heights metres.\n"
    "        On success prints the three results on one line (%.17g each).\n"
    "        On failure writes the diagnostic and \"Tastati <Enter>...\" to standard error,\n"
    "        reads one line from standard input, then reports the failure (exit status 1).\n"
    "\n"
    "  TYPE  from (P2 / P1 / P3)                      to (result 1 / 2 / 3)\n"
    "   1    ETRS89 B / L / h                          Stereo70 x (N) / y (E) / H Marea Neagra 1975\n"
    "   2    Stereo70 x (N) / y (E) / H                ETRS89 B / L / h\n"
    "   3    ETRS89 B / L / h                          Stereo30 x (Est) / y (Nord) / H\n"
    "   4    Stereo30 y (Nord) / x (Est) / H           ETRS89 B / L / h\n"
    "   5    Stereo30 y (Nord) / x (Est) / H           Stereo70 x / y / H\n"
    "   6    Stereo70 x (N) / y (E) / H                Stereo30 x (Est) / y (Nord) / H\n"
    "   7,8  Stereo70 x (N) / y (E) / H                TM zone North / East / H EVRF2007\n"
    "   9,10 TM zone North / East / H EVRF2007         Stereo70 x / y / H\n"
    "  11    Stereo70 x (N) / y (E) / H                LAEA x (E) / y (N) / H EVRF2007\n"
    "  12    LAEA y (N) / x (E) / H EVRF2007           Stereo70 x / y / H\n"
    "  13    Stereo70 x (N) / y (E) / H                B / L / h\n"
    "  14    Stereo30 y (Nord) / x (Est) / H           B / L / h\n"
    "  15    ETRS89 B / L / h                          B / L / h\n"
    "\n"
    "Options:\n"
    "  --zone 34|35  Transverse Mercator zone of types 7 to 10 (default 34)\n"
    "  --data DIR    directory of the data files (default: the current directory):\n"
    "                EGG97_QGRJ.GRD, zitaBucx.grd (quasigeoid heights),\n"
    "                ETRS89_KRASOVSCHI42_2DJ.GRD, ETRS89_Stereo30_2DJ.GRD (plane corrections)\n"
    "  --help        this text\n"
    "\n"
    "Exit status: 0 success, 1 the point could not be transformed, 2 bad arguments.\n";

struct Options {
    std::vector<std::string> positional;
    int zone = 34;
    std::filesystem::path dataDir;
    bool help = false;
};

std::optional<double> ParseNumber(std::string_view text)
{
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double value = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int> ParseInteger(std::string_view text)
{
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

// Options may stand anywhere; an argument that starts with '-' followed by a digit or a point
// is a negative number, not an option.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error)
{
    Options options;
    options.dataDir = std::filesystem::current_path();
    bool optionsEnded = false;
    for (std::size_t k = 0; k < args.size(); ++k) {
        const std::string& arg = args[k];
        const bool looksNumeric = arg.size() > 1 && arg[0] == '-' &&
                                  (std::isdigit(static_cast<unsigned char>(arg[1])) || arg[1] == '.');
        if (optionsEnded || arg.empty() || arg[0] != '-' || looksNumeric || arg == "-") {
            options.positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        std::string name = arg;
        std::optional<std::string> value;
        if (const auto eq = arg.find('='); eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        }
        if (name != "--zone" && name != "--data") {
            error = "unknown option " + arg;
            return std::nullopt;
        }
        if (!value) {
            if (k + 1 >= args.size()) {
                error = "option " + name + " needs a value";
                return std::nullopt;
            }
            value = args[++k];
        }
        if (name == "--zone") {
            const auto zone = ParseInteger(*value);
            if (!zone || (*zone != 34 && *zone != 35)) {
                error = "the zone must be 34 or 35, not " + *value;
                return std::nullopt;
            }
            options.zone = *zone;
        } else {
            if (value->empty()) {
                error = "option --data needs a directory";
                return std::nullopt;
            }
            options.dataDir = std::filesystem::absolute(*value).lexically_normal();
        }
    }
    return options;
}

int UsageError(std::ostream& err, const std::string& message)
{
    err << "velmora-cli: " << message << "\n" << kUsage;
    return kExitUsage;
}

int RunPoint(const Options& options, std::istream& in, std::ostream& out, std::ostream& err)
{
    const auto& p = options.positional;
    if (p.size() < 4 || p.size() > 5)
        return UsageError(err, "point needs TYPE, P1, P2 and optionally P3");
    const auto type = ParseInteger(p[1]);
    if (!type)
        return UsageError(err, "TYPE must be an integer, not " + p[1]);
    double values[3] = {0.0, 0.0, 0.0};
    for (std::size_t k = 2; k < p.size(); ++k) {
        const auto value = ParseNumber(p[k]);
        if (!value)
            return UsageError(err, "not a number: " + p[k]);
        values[k - 2] = *value;
    }
    const int heightFlag = p.size() == 5 ? 1 : 0;

    StreamConsole console(err, in);
    GridCache grids;
    CoreEnv env{options.dataDir, options.zone, console, grids};
    double out1 = 0.0;
    double out2 = 0.0;
    double out3 = 0.0;
    if (TransformPoint(env, *type, heightFlag, values[0], values[1], values[2], out1, out2, out3) != 0) {
        err << "Eroare: nu se poate transforma punctul introdus\n";
        return kExitFailure;
    }
    char line[128];
    std::snprintf(line, sizeof line, "%.17g %.17g %.17g\n", out1, out2, out3);
    out << line;
    return kExitOk;
}

} // namespace

int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err)
{
    std::string error;
    const auto options = ParseOptions(args, error);
    if (!options)
        return UsageError(err, error);
    if (options->help) {
        out << kHelp;
        return kExitOk;
    }
    if (options->positional.empty())
        return UsageError(err, "no command given");
    const std::string& command = options->positional.front();
    if (command == "point")
        return RunPoint(*options, in, out, err);
    return UsageError(err, "unknown command " + command);
}

} // namespace velmora
