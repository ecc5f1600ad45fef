#include "cli/Cli.h"

#include "cli/CliUi.h"
#include "cli/StreamConsole.h"
#include "cli/GeoidSampling.h"
#include "commands/BatchCommands.h"
#include "commands/CommandTable.h"
#include "commands/InteractiveCommands.h"
#include "commands/ConversionCommands.h"
#include "commands/ModelBuildingCommands.h"
#include "commands/QuasigeoidCommands.h"
#include "commands/WorkFolder.h"
#include "commands/PointTransform.h"
#include "core/CorrectionGrid.h"
#include "core/TransformPoint.h"
#include "files/FatalError.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {
namespace {

// The synopsis of every command, in the order of the help; a line that starts with a blank
// continues the one before it.
constexpr std::array<std::string_view, 12> kSynopsis = {
    "transform CODE SOURCE RESULT [--zone 34|35] [--data DIR]",
    " [--work-dir DIR]",
    "point TYPE P1 P2 [P3] [--zone 34|35] [--data DIR]",
    "build-model plane|plane-regression|3d|3d-regression SOURCE",
    " [--stop-after estimation]",
    "convert CONVERSION SOURCE [--data DIR]",
    "quasigeoid build SOURCE",
    "quasigeoid apply SOURCE RESULT --grid GRID [--data DIR]",
    "quasigeoid export GRID [--geographic]",
    "quasigeoid load-zita ZITA GRID",
    "quasigeoid sample-geoid NODES ZITA [--grid VERTICAL_GRID]",
    "--help",
};

// The synopsis lines, the first after firstPrefix, the other commands after prefix and the
// continuations under the command's first word; both prefixes are equally wide.
std::string Synopsis(std::string_view firstPrefix, std::string_view prefix)
{
    std::string text;
    for (const std::string_view line : kSynopsis) {
        if (line.starts_with(' '))
            text.append(prefix.size(), ' ').append(line.substr(1));
        else
            text.append(text.empty() ? firstPrefix : prefix).append(line);
        text += '\n';
    }
    return text;
}

std::string Usage()
{
    return Synopsis("Usage: velmora-cli ", "       velmora-cli ");
}

constexpr const char* kHelpHead =
    "velmora-cli - coordinate transformations between the Romanian and European systems\n"
    "\n"
    "Usage:\n";

constexpr const char* kHelpBody =
    "\n"
    "transform  Transforms every point of the text file SOURCE and writes the text file\n"
    "           RESULT (its extension becomes .txt), as the menu command \"Din fisier\".\n"
    "           SOURCE and RESULT must be different files; an existing RESULT is replaced\n"
    "           only once the new result is complete. The work files PNXYZ.REC (and\n"
    "           PCXYZ.REC) are written in a temporary directory of the run, removed at\n"
    "           the end, or with --work-dir DIR in DIR, where they are kept; a second\n"
    "           command in DIR waits for the first. CODE is the code or the name of the\n"
    "           command:\n";

// The transformations of the menu, one line each: code, name, what it does.
std::string CommandList()
{
    std::string list;
    char line[160];
    for (const MenuCommand& command : MenuCommands()) {
        if (command.transformation == nullptr || command.hidden)
            continue;
        std::snprintf(line, sizeof line, "    %c  %-17s  %s\n", command.transformation->batch.code, command.name,
                      command.summary);
        list += line;
    }
    return list;
}

constexpr const char* kHelpTail =
    "           A source file has one title line, then one point per line: name, then the\n"
    "           coordinates separated by commas (B and L as degrees minutes seconds, for\n"
    "           example 45 30 15.5), the height optional; a line ENDF ends the points.\n"
    "           On success prints \"Fisierul rezultat este: RESULT.\" (exit status 0).\n"
    "           A refused file choice prints its message (exit status 2). A source that\n"
    "           cannot be read, or a point that cannot be transformed, prints the error and\n"
    "           writes no result file (exit status 1). Progress goes to standard error when\n"
    "           it is a terminal.\n"
    "\n"
    "point      Transforms one point by transformation type TYPE (1 to 15).\n"
    "           P1 is the easting-like coordinate (or the longitude L), P2 the northing-like\n"
    "           coordinate (or the latitude B), P3 the height; without P3 the point is\n"
    "           transformed without height and the third result is 0. Angles are decimal\n"
    "           degrees, plane coordinates and heights metres.\n"
    "           On success prints the three results on one line (%.17g each).\n"
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
    "build-model\n"
    "           Builds a distortion model from the model-building source SOURCE, as the\n"
    "           hidden commands of the menus Transformare_2D and Transformare_3D: plane\n"
    "           (East, North) or three-dimensional (X, Y, Z) points, without or with the\n"
    "           regression trend. The work files (PCOMUNE.REC, PNOI.REC, RAR.REC, ...) and\n"
    "           the reports REZULT.TXT and REZ_NOI.TXT are written in the current\n"
    "           directory; the model files are named after SOURCE and written beside it\n"
    "           (.PAR, .DXF, .GRT, .GRD and, for plane models, the binary grid J.GRD).\n"
    "           Every message of the run goes to standard output, one per line, the names\n"
    "           of the result files last. --stop-after estimation ends after the Helmert\n"
    "           estimation and the regression, whose report and parameter file are then\n"
    "           complete, so that blunders can be weeded out before the adjustment.\n"
    "           A fatal condition prints its error (exit status 1). Progress of the\n"
    "           adjustment goes to standard error when it is a terminal.\n"
    "\n"
    "convert    Converts the coordinates of SOURCE, a file of the model-building format\n"
    "           (four header lines, the kind line G or P, the ellipsoid line, PC and PN\n"
    "           sections), on the ellipsoid of each system, as the hidden commands of the\n"
    "           menu Conversie_Coordonate, into a file of the same format in the current\n"
    "           directory. CONVERSION, its source kind and its result file:\n"
    "    blh-xyz      G  B, L (deg min sec), h -> X, Y, Z                  REZXYZ.TXT\n"
    "    xyz-blh      G  X, Y, Z -> B, L (deg min sec), h                  REZBLH.TXT\n"
    "    bl-stereo70  P  B, L -> East, North Stereo70                      REZXY_ST70.TXT\n"
    "    stereo70-bl  P  East, North Stereo70 -> B, L                      REZBL_ST70.TXT\n"
    "    bl-laea      P  B, L -> East, North LAEA                          REZXY_LAEA.TXT\n"
    "    laea-bl      P  East, North LAEA -> B, L                          REZBL_LAEA.TXT\n"
    "    dms-deg      G  B, L (deg min sec), h -> B, L (degrees), h        REZBLh_gms_g.TXT\n"
    "                    and a listing of B, L for an external quasigeoid program\n"
    "    blh-xyzn     G  B, L, h -> X, Y, Z of the normal heights h - zeta REZXYZ.TXT\n"
    "                    (zeta from the quasigeoid node grid ETRS89_KRASOVSCHI42_2D.grd of\n"
    "                    the data directory), and a report of the heights\n"
    "           Prints \"Rezultatul conversiei se gasesc in fis. RESULT\" when the file holds\n"
    "           points. The work files PCXYZ.REC and PNXYZ.REC are removed afterwards.\n"
    "\n"
    "quasigeoid\n"
    "           The quasigeoid grids, as the hidden quasigeoid commands of the menus:\n"
    "  build SOURCE   builds a quasigeoid grid from the model-building source SOURCE\n"
    "           (points as L, B, zeta in degrees and metres; the grid interval in degrees):\n"
    "           the zeta corrections of the common points adjusted on the grid, the report\n"
    "           REZ_NOI.TXT in the current directory and the .GRD, .GRT, .PAR and .DXF\n"
    "           files beside SOURCE, named on standard output at the end.\n"
    "  apply SOURCE RESULT --grid GRID\n"
    "           applies the quasigeoid node grid GRID to SOURCE (one title line, then\n"
    "           name, B, L, zeta per line, in degrees and metres) and writes RESULT: per\n"
    "           point B, L and the corrected zeta. The file dialog's checks apply: the\n"
    "           data directory holds EGG97_QGR.GRD and EGG97_QGR.PAR.\n"
    "  export GRID [--geographic]\n"
    "           lists the nodes of GRID in BL_EGG.txt (number, B, L) in the current\n"
    "           directory; a plane grid's East and North are Stereo70 on GRS80, a\n"
    "           geographic grid's (--geographic) are L and B.\n"
    "  load-zita ZITA GRID\n"
    "           adds the third number of every line of ZITA (one line per node, in the\n"
    "           order of BL_EGG.txt) to the nodes of GRID, rewrites the values of its .GRT\n"
    "           file and writes its binary grid J.GRD.\n"
    "  sample-geoid NODES ZITA [--grid VERTICAL_GRID]\n"
    "           writes ZITA from the node list NODES (BL_EGG.txt): B, L and the geoid\n"
    "           height there, from a vertical grid PROJ reads, by default egm96_15.gtx of\n"
    "           proj-data. EGM96 is a global geoid model, not the official quasigeoid of\n"
    "           Romania: use it to try the workflow on public data.\n"
    "           The texts of the message boxes go to standard output; an error message\n"
    "           box goes to standard error with exit status 3 (the desktop program would\n"
    "           go on after it).\n"
    "\n"
    "When a point cannot be transformed, the reason and \"Tastati <Enter>...\" go to standard\n"
    "error and one line is read from standard input (end of input continues at once).\n"
    "\n"
    "Options:\n"
    "  --zone 34|35  Transverse Mercator zone (default 34)\n"
    "  --stop-after estimation  (build-model) end after the estimation\n"
    "  --grid FILE   (quasigeoid apply) the quasigeoid node grid; (sample-geoid) the\n"
    "                vertical grid, a name PROJ finds or a path\n"
    "  --geographic  (quasigeoid export) the grid is geographic (L, B)\n"
    "  --work-dir DIR  (transform) keep the work files in DIR\n"
    "  --data DIR    directory of the data files (default: the current directory):\n"
    "                EGG97_QGRJ.GRD, zitaBucx.grd (quasigeoid heights),\n"
    "                ETRS89_KRASOVSCHI42_2DJ.GRD, ETRS89_Stereo30_2DJ.GRD (plane corrections),\n"
    "                Stereo30_Stereo70_2D.GRD/.PAR, Stereo70_Stereo30_2D.GRD/.PAR (the\n"
    "                Bucharest distortion models: node grid and parameter file)\n"
    "  --help        this text\n"
    "\n"
    "Exit status: 0 success, 1 failure, 2 bad arguments or a refused file choice,\n"
    "3 an error message box.\n";

struct Options {
    std::vector<std::string> positional;
    int zone = 34;
    std::filesystem::path dataDir;
    std::optional<std::string> stopAfter;
    std::optional<std::string> grid;
    std::optional<std::filesystem::path> workDir;
    bool geographic = false;
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
        if (arg == "--geographic") {
            options.geographic = true;
            continue;
        }
        std::string name = arg;
        std::optional<std::string> value;
        if (const auto eq = arg.find('='); eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        }
        if (name != "--zone" && name != "--data" && name != "--stop-after" && name != "--grid"
            && name != "--work-dir") {
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
        if (name == "--grid") {
            options.grid = *value;
        } else if (name == "--work-dir") {
            options.workDir = *value;
        } else if (name == "--stop-after") {
            if (*value != "estimation") {
                error = "--stop-after takes estimation, not " + *value;
                return std::nullopt;
            }
            options.stopAfter = *value;
        } else if (name == "--zone") {
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

// Runs a command that reads the source file SOURCE. A syntax error of the source keeps its message
// as it stands and gets the place where it was found as a second line.
int NamingSourceLine(const std::string& source, const std::function<int()>& command)
{
    try {
        return command();
    } catch (const SourceLineError& error) {
        throw FatalError(std::string(error.what()) + "\nla linia " + std::to_string(error.LineNumber()) + " din " +
                         source);
    }
}

int UsageError(std::ostream& err, const std::string& message)
{
    err << "velmora-cli: " << message << "\n" << Usage();
    return kExitUsage;
}

// The data folder and the files every point of the command reads, checked before any point is:
// a missing one is named with its path (exit status 2).
bool DataFilesPresent(const std::filesystem::path& dataDir, const std::vector<std::filesystem::path>& files,
                      std::ostream& err)
{
    std::error_code error;
    if (!std::filesystem::is_directory(dataDir, error)) {
        err << "velmora-cli: the data directory " << dataDir.string() << " does not exist\n";
        return false;
    }
    for (const std::filesystem::path& file : files) {
        if (!std::filesystem::is_regular_file(file, error)) {
            err << "velmora-cli: the data file " << file.string() << " is missing (see --data)\n";
            return false;
        }
    }
    return true;
}

int RunPoint(const Options& options, std::istream& in, std::ostream& out, std::ostream& err)
{
    const auto& p = options.positional;
    if (p.size() < 4 || p.size() > 5)
        return UsageError(err, "point needs TYPE, P1, P2 and optionally P3");
    const auto type = ParseInteger(p[1]);
    if (!type || *type < 1 || *type > 15)
        return UsageError(err, "TYPE must be an integer from 1 to 15, not " + p[1]);
    double values[3] = {0.0, 0.0, 0.0};
    for (std::size_t k = 2; k < p.size(); ++k) {
        const auto value = ParseNumber(p[k]);
        if (!value)
            return UsageError(err, "not a number: " + p[k]);
        values[k - 2] = *value;
    }
    const int heightFlag = p.size() == 5 ? 1 : 0;
    const auto transformationType = static_cast<TransformationType>(*type);
    std::vector<std::filesystem::path> grids;
    for (const char* name : GridsOf(transformationType, heightFlag == 1))
        grids.push_back(options.dataDir / name);
    if (!DataFilesPresent(options.dataDir, grids, err))
        return kExitUsage;

    StreamConsole console(err, in);
    GridCache cache;
    CoreEnv env{options.dataDir, options.zone, cache};
    const ChainResult result = TransformOrStop(env, console, transformationType, heightFlag, values[0], values[1],
                                               values[2], kInteractiveFailureMessage);
    char line[128];
    std::snprintf(line, sizeof line, "%.17g %.17g %.17g\n", result.first, result.second, result.third);
    out << line;
    return kExitOk;
}

int RunTransform(const Options& options, std::istream& in, std::ostream& out, std::ostream& err,
                 bool errIsTerminal)
{
    const auto& p = options.positional;
    if (p.size() != 4)
        return UsageError(err, "transform needs CODE, SOURCE and RESULT");
    const MenuCommand* command = FindTransformation(p[1]);
    if (command == nullptr)
        return UsageError(err, "unknown transformation code " + p[1]);

    if (!DataFilesPresent(options.dataDir, DataFilesOf(*command->transformation, options.dataDir, options.zone), err))
        return kExitUsage;

    // The work files are this run's own: in a private folder removed at the end, or in the
    // folder the user names to keep them.
    std::optional<PrivateWorkFolder> privateFolder;
    std::filesystem::path workDir;
    if (options.workDir) {
        std::error_code error;
        if (!std::filesystem::is_directory(*options.workDir, error))
            return UsageError(err, "the work directory " + options.workDir->string() + " does not exist");
        workDir = std::filesystem::absolute(*options.workDir, error);
    } else {
        workDir = privateFolder.emplace().Path();
    }
    CommandContext ctx;
    ctx.startDir = options.dataDir;
    CliUi ui(p[2], p[3], options.zone, in, out, err, errIsTerminal);
    return NamingSourceLine(p[2], [&] {
        RunBatchCommand(ctx, ui, *command->transformation, workDir);
        return ui.SelectionRefused() ? kExitUsage : kExitOk;
    });
}

std::optional<ModelBuildingCommand> ModelBuildingCommandNamed(std::string_view name)
{
    for (const ModelBuildingName& entry : kModelBuildingNames) {
        if (name == entry.name)
            return entry.command;
    }
    return std::nullopt;
}

// A fresh program: transformation code 0, the work folder the current directory.
int RunBuildModel(const Options& options, std::istream& in, std::ostream& out, std::ostream& err, bool errIsTerminal)
{
    const auto& p = options.positional;
    if (p.size() != 3)
        return UsageError(err, "build-model needs the kind of model and SOURCE");
    const std::optional<ModelBuildingCommand> command = ModelBuildingCommandNamed(p[1]);
    if (!command)
        return UsageError(err, "unknown kind of model " + p[1]);

    CommandContext ctx;
    ctx.startDir = options.dataDir;
    CliUi ui(p[2], "", options.zone, in, out, err, errIsTerminal);
    const ModelBuildingRequest request{*command, ui.SelectSourceFile().value_or(p[2]),
                                       std::filesystem::current_path(), options.stopAfter.has_value()};
    return NamingSourceLine(p[2], [&] {
        RunModelBuilding(ctx, ui, request);
        return ui.SelectionRefused() ? kExitUsage : kExitOk;
    });
}

// The status of a command that may end in an error message box.
int StatusOf(const CliUi& ui)
{
    if (ui.SelectionRefused())
        return kExitUsage;
    return ui.ErrorShown() ? kExitMessage : kExitOk;
}

int RunConvert(const Options& options, std::istream& in, std::ostream& out, std::ostream& err)
{
    const auto& p = options.positional;
    if (p.size() != 3)
        return UsageError(err, "convert needs CONVERSION and SOURCE");
    const ConversionCommand* conversion = FindConversionCommand(p[1]);
    if (conversion == nullptr)
        return UsageError(err, "unknown conversion " + p[1]);
    CommandContext ctx;
    ctx.startDir = options.dataDir;
    CliUi ui(p[2], "", options.zone, in, out, err, false);
    RunConversion(ctx, ui, std::filesystem::current_path(), *conversion);
    return StatusOf(ui);
}

int RunSampleGeoid(const Options& options, std::ostream& err)
{
    const auto& p = options.positional;
    if (p.size() != 4)
        return UsageError(err, "quasigeoid sample-geoid needs NODES and ZITA");
    if (const auto failure = SampleGeoid(p[2], p[3], options.grid.value_or(kDefaultGeoidGrid))) {
        err << "velmora-cli: " << *failure << "\n";
        return kExitFailure;
    }
    return kExitOk;
}

// The quasigeoid commands: their arguments answer the dialogs of the menu commands.
int RunQuasigeoid(const Options& options, std::istream& in, std::ostream& out, std::ostream& err, bool errIsTerminal)
{
    const auto& p = options.positional;
    const std::string action = p.size() > 1 ? p[1] : "";
    if (action == "sample-geoid")
        return RunSampleGeoid(options, err);
    // The positions of the arguments that answer the source dialog, the result name and the grid
    // dialog (0: not asked; apply takes its grid from --grid).
    struct Action {
        const char* name;
        std::size_t arguments;
        CommandRun run;
        std::size_t source;
        std::size_t result;
        std::size_t grid;
    };
    static constexpr Action kActions[] = {
        {"build", 1, QuasigeoidBuildCommand, 2, 0, 0},
        {"apply", 2, QuasigeoidApplyCommand, 2, 3, 0},
        {"export", 1, ExportPlaneGridCommand, 0, 0, 2},
        {"load-zita", 2, LoadZitaCommand, 2, 0, 3},
    };
    const Action* chosen = nullptr;
    for (const Action& candidate : kActions)
        if (action == candidate.name)
            chosen = &candidate;
    if (chosen == nullptr)
        return UsageError(err, "quasigeoid needs build, apply, export, load-zita or sample-geoid");
    if (p.size() != chosen->arguments + 2)
        return UsageError(err, "wrong number of arguments for quasigeoid " + action);
    const bool apply = chosen->run == QuasigeoidApplyCommand;
    if (apply != options.grid.has_value())
        return UsageError(err, "--grid belongs to quasigeoid apply (which needs it) and sample-geoid");
    if (options.geographic && chosen->run != ExportPlaneGridCommand)
        return UsageError(err, "--geographic belongs to quasigeoid export");

    const auto answer = [&p](std::size_t k) { return k == 0 ? std::string() : p[k]; };
    CommandContext ctx;
    ctx.startDir = options.dataDir;
    CliUi ui(answer(chosen->source), answer(chosen->result), options.zone, in, out, err, errIsTerminal);
    ui.SetGridFile(apply ? *options.grid : answer(chosen->grid));
    const CommandRun run = options.geographic ? ExportGeographicGridCommand : chosen->run;
    run(ctx, ui, std::filesystem::current_path());
    return StatusOf(ui);
}

int RunArguments(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err,
                 bool errIsTerminal)
{
    std::string error;
    const auto options = ParseOptions(args, error);
    if (!options)
        return UsageError(err, error);
    if (options->help) {
        out << kHelpHead << Synopsis("  velmora-cli ", "  velmora-cli ") << kHelpBody << CommandList() << kHelpTail;
        return kExitOk;
    }
    if (options->positional.empty())
        return UsageError(err, "no command given");
    const std::string& command = options->positional.front();
    if (options->workDir && command != "transform")
        return UsageError(err, "--work-dir belongs to transform");
    if (command == "point")
        return RunPoint(*options, in, out, err);
    if (command == "build-model")
        return RunBuildModel(*options, in, out, err, errIsTerminal);
    if (options->stopAfter)
        return UsageError(err, "--stop-after belongs to build-model");
    if (command == "quasigeoid")
        return RunQuasigeoid(*options, in, out, err, errIsTerminal);
    if (options->grid || options->geographic)
        return UsageError(err, "--grid and --geographic belong to quasigeoid");
    if (command == "convert")
        return RunConvert(*options, in, out, err);
    if (command == "transform")
        return RunTransform(*options, in, out, err, errIsTerminal);
    return UsageError(err, "unknown command " + command);
}

} // namespace

int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err,
           bool errIsTerminal)
{
    // A fatal error, or any other exception, ends the run with its text on standard error.
    int status = kExitFailure;
    if (const auto failure = FailureOf([&] { status = RunArguments(args, in, out, err, errIsTerminal); })) {
        err << *failure << "\n";
        return kExitFailure;
    }
    return status;
}

} // namespace velmora
