#include "commands/BatchCommands.h"

#include "core/CorrectionGrid.h"
#include "core/Geodesy.h"
#include "commands/PointTransform.h"
#include "core/TransformPoint.h"
#include "files/FatalError.h"
#include "files/RecordFile.h"
#include "files/ResultWriter.h"
#include "files/SourceParsers.h"
#include "model/DistortionModel.h"

#include <array>
#include <functional>
#include <string_view>
#include <system_error>

namespace velmora {

namespace fs = std::filesystem;

namespace {

constexpr const char* kStereo70Menu = "Transformare_Puncte_Romania";
constexpr const char* kBucharestMenu = "Transformare_Puncte_Bucuresti";

constexpr std::array<BatchCommand, 10> kCommands{{
    {"mm111Click", '3', kStereo70Menu, " (B,L,h) ETRS89-->(x,y,H_MN) Stereo70_Sistem Krasovski42", kStereo70CheckGridName,
     nullptr, "etrs89-stereo70"},
    {"Dinfisier1Click", '4', kStereo70Menu, "(x,y,H_MN) Stereo70_Sistem Krasovski42 --> (B,L,h) ETRS89", kStereo70CheckGridName,
     nullptr, "stereo70-etrs89"},
    {"Dinfisier6Click", 'e', kStereo70Menu,
     "[E,N,(H)]_Stereo70, (Marea Neagra 75)-->[E,N,(H)]_Transverse Mercator, (EVRF2007)", kStereo70CheckGridName, nullptr,
     "stereo70-tm"},
    {"Dinfisier7Click", 'f', kStereo70Menu,
     "[x,y,(H)]_Transverse Mercator, (EVRF2007)-->[x,y,(H)]_Stereo70, (Marea Neagra 75)", kStereo70CheckGridName, nullptr,
     "tm-stereo70"},
    {"Dinfisier8Click", 'g', kStereo70Menu, "[x,y,(H)]_Stereo70, (Marea Neagra 75)-->[x,y,(H)]_LAEA, (EVRF2007)",
     kStereo70CheckGridName, nullptr, "stereo70-laea"},
    {"Dinfisier9Click", 'h', kStereo70Menu, "[x,y,(H)]_LAEA, (EVRF2007)-->[x,y,(H)]_Stereo70, (Marea Neagra 75)",
     kStereo70CheckGridName, nullptr, "laea-stereo70"},
    {"Dinfisier10Click", '8', kBucharestMenu, " (B,L,h) ETRS89-->(x,y,H_MN) Stereo30_Bucuresti", kStereo30CheckGridName,
     nullptr, "etrs89-stereo30"},
    {"Dinfisier11Click", '9', kBucharestMenu, "(x,y,H_MN) Stereo30_Bucuresti --> (B,L,h) ETRS89", kStereo30CheckGridName,
     "Stereo30_ETRS89_2D.par", "stereo30-etrs89"},
    {"Dinfisier12Click", '5', kBucharestMenu, " (x,y) Stereo30_Bucuresti --> (x,y) Stereo70",
     kStereo30ToStereo70ModelName, nullptr, "stereo30-stereo70"},
    {"Dinfisier13Click", '6', kBucharestMenu, " (x,y) Stereo70 --> (x,y) Stereo30_Bucuresti",
     kStereo70ToStereo30ModelName, nullptr, "stereo70-stereo30"},
}};

bool IsGeodeticSource(char code)
{
    return code == '3' || code == '8';
}

// Types whose easting-like input is the record's second source value.
bool EastingIsSecond(TransformationType type)
{
    using enum TransformationType;
    return type != Stereo70ToEtrs && type != Stereo30ToEtrs && type != LaeaToStereo70;
}

ResultLayout LayoutOf(char code)
{
    switch (code) {
    case '4':
    case '9': return ResultLayout::Geodetic;
    case '5': return ResultLayout::ModelNorthFirst;
    case '6': return ResultLayout::ModelEastFirst;
    default: return ResultLayout::Plane;
    }
}

void SetPaths(CommandContext& ctx, const BatchCommand& command, const fs::path& workDir)
{
    ctx.dialogConfirmed = false;
    ctx.interactiveMode = false;
    ctx.transformationCode = command.code;
    ctx.workDir = workDir;
    ctx.heightGridPath = ctx.startDir / kQuasigeoidCheckGridName;
    ctx.planeGridPath = ctx.startDir / command.planeGrid;
    ctx.parameterPath = command.parameterFile != nullptr
                            ? ctx.startDir / command.parameterFile
                            : fs::path(ctx.planeGridPath).replace_extension(".PAR");
}

void ParseSource(const CommandContext& ctx, EllipsoidPair& ellipsoids)
{
    const SourceTargets targets = WorkFileTargets(ctx.workDir);
    const bool opened = IsGeodeticSource(ctx.transformationCode)
                            ? LoadGeodeticSource(ctx.transformationCode, 'P', ctx.inputPath, targets, ellipsoids)
                            : LoadPlaneSource(ctx.transformationCode, 'P', ctx.inputPath, targets, ellipsoids);
    if (!opened)
        throw FatalError(std::string(kSourceInvalidMessage) + "\n" + kSourceIoMessage);
}

// Every record of the new-points file through the dispatcher, in place, each result line
// written as its point is done.
void TransformRecords(const CommandContext& ctx, Ui& ui, TransformationType type, ResultFileWriter& result)
{
    PointFile points = PointFile::OpenForUpdate(ctx.workDir / kNewPointsFileName);
    const std::uint64_t count = points.Size();
    const bool geodetic = IsGeodeticSource(ctx.transformationCode);
    const bool eastingSecond = EastingIsSecond(type);
    constexpr std::uint64_t kProgressStep = 4096;
    {
        ConsoleScope console(ui);
        GridCache grids;
        CoreEnv env{ctx.startDir, ctx.tmZone, grids};
        for (std::uint64_t k = 0; k < count; ++k) {
            PointRecord record = points.Read(k);
            if (geodetic) {
                record.sys1[0] = RadToDeg(record.sys1[0]);
                record.sys1[1] = RadToDeg(record.sys1[1]);
            }
            const double first = eastingSecond ? record.sys1[1] : record.sys1[0];
            const double second = eastingSecond ? record.sys1[0] : record.sys1[1];
            const ChainResult out = TransformOrStop(env, console.Console(), type, record.hasHeight, first, second,
                                                    record.sys1[2], kPointFailurePrefix, record.name.View());
            record.result = {out.first, out.second, out.third};
            points.Write(k, record);
            result.Add(record);
            if ((k + 1) % kProgressStep == 0)
                ui.Progress(k + 1, count);
        }
        ui.Progress(count, count);
    }
    points.Close();
}

// The result goes to a file beside the chosen one and replaces it only once it is complete, so
// a failure never costs the user an earlier file of that name.
void WriteResult(const CommandContext& ctx, const std::function<void(const fs::path&)>& write)
{
    const fs::path result = ctx.resultPath;
    fs::path partial = result;
    partial += ".partial";
    try {
        write(partial);
    } catch (...) {
        std::error_code ec;
        fs::remove(partial, ec);
        throw;
    }
    std::error_code ec;
    fs::rename(partial, result, ec);
    if (ec) {
        fs::remove(partial, ec);
        throw FatalError(kResultIoMessage);
    }
}

} // namespace

std::vector<InteractiveResult> ApplyBucharestModel(const CommandContext& ctx, const fs::path& resultPath)
{
    const ModelApplicationJob job{LayoutOf(ctx.transformationCode), ctx.workDir / kNewPointsFileName, ctx.inputPath, resultPath,
                                  'P', ctx.regression, ctx.interactiveMode};
    return RunModelApplication(ctx.planeGridPath, ctx.parameterPath, job);
}

std::span<const BatchCommand> BatchCommands()
{
    return kCommands;
}

const BatchCommand* FindBatchCommand(std::string_view codeOrName)
{
    for (const BatchCommand& command : kCommands)
        if (codeOrName == command.name || (codeOrName.size() == 1 && codeOrName[0] == command.code))
            return &command;
    return nullptr;
}

std::optional<TransformationType> TransformationTypeOf(char code, int tmZone)
{
    using enum TransformationType;
    const bool zone35 = tmZone == 35;
    switch (code) {
    case '3': return EtrsToStereo70;
    case '4': return Stereo70ToEtrs;
    case '8': return EtrsToStereo30;
    case '9': return Stereo30ToEtrs;
    case 'e': return zone35 ? Stereo70ToTmZone35 : Stereo70ToTm;
    case 'f': return zone35 ? TmZone35ToStereo70 : TmToStereo70;
    case 'g': return Stereo70ToLaea;
    case 'h': return LaeaToStereo70;
    default: return std::nullopt;
    }
}

void RunBatchCommand(CommandContext& ctx, Ui& ui, const BatchCommand& command, const fs::path& workDir)
{
    SetPaths(ctx, command, workDir);
    if (!ui.SelectFiles(ctx, command.dialogCaption))
        return;
    const bool zoned = command.code == 'e' || command.code == 'f';
    if (zoned && !ui.SelectZone(ctx))
        return;
    EllipsoidPair ellipsoids{};
    ParseSource(ctx, ellipsoids);
    const auto type = TransformationTypeOf(command.code, ctx.tmZone);
    if (!type) {
        // The Bucharest plane-to-plane commands: the distortion model writes the result.
        WriteResult(ctx, [&](const fs::path& path) { ApplyBucharestModel(ctx, path); });
    } else {
        WriteResult(ctx, [&](const fs::path& path) {
            ResultFileWriter result(LayoutOf(ctx.transformationCode), path, ReadTitleLine(ctx.inputPath));
            TransformRecords(ctx, ui, *type, result);
            result.Finish();
        });
    }
    ui.ShowInformation(kResultInformationPrefix + ctx.resultPath + ".");
}

} // namespace velmora
