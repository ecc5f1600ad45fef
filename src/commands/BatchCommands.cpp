#include "commands/BatchCommands.h"

#include "commands/PointTransform.h"
#include "commands/WorkFolder.h"
#include "core/CorrectionGrid.h"
#include "core/Geodesy.h"
#include "files/FatalError.h"
#include "files/PendingFile.h"
#include "files/RecordFile.h"
#include "files/SourceParsers.h"

#include <functional>

namespace velmora {

namespace fs = std::filesystem;

namespace {

// Types whose easting-like input is the record's second source value.
bool EastingIsSecond(TransformationType type)
{
    using enum TransformationType;
    return type != Stereo70ToEtrs && type != Stereo30ToEtrs && type != LaeaToStereo70;
}

fs::path ParameterPath(const BatchSpec& command, const fs::path& dataDir)
{
    return command.parameterFile != nullptr ? dataDir / command.parameterFile
                                            : (dataDir / command.planeGrid).replace_extension(".PAR");
}

void SetPaths(CommandContext& ctx, const BatchSpec& command, const fs::path& workDir)
{
    ctx.dialogConfirmed = false;
    ctx.interactiveMode = false;
    ctx.transformationCode = command.code;
    ctx.workDir = workDir;
    ctx.heightGridPath = ctx.startDir / kQuasigeoidCheckGridName;
    ctx.planeGridPath = ctx.startDir / command.planeGrid;
    ctx.parameterPath = ParameterPath(command, ctx.startDir);
}

void ParseSource(const CommandContext& ctx, SourceFormat format)
{
    const SourceTargets targets = WorkFileTargets(ctx.workDir);
    EllipsoidPair ellipsoids{};
    const bool opened = format == SourceFormat::Geodetic
                            ? LoadGeodeticSource(ctx.transformationCode, 'P', ctx.inputPath, targets, ellipsoids)
                            : LoadPlaneSource(ctx.transformationCode, 'P', ctx.inputPath, targets, ellipsoids);
    if (!opened)
        throw FatalError(std::string(kSourceInvalidMessage) + "\n" + kSourceIoMessage);
}

// Every record of the new-points file through the dispatcher, in place, each result line
// written as its point is done.
void TransformRecords(const CommandContext& ctx, Ui& ui, const TransformationSpec& transformation,
                      TransformationType type, ResultFileWriter& result)
{
    PointFile points = PointFile::OpenForUpdate(ctx.workDir / kNewPointsFileName);
    const std::uint64_t count = points.Size();
    const bool geodetic = transformation.source == SourceFormat::Geodetic;
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

} // namespace

void WriteResult(const CommandContext& ctx, const std::function<void(const fs::path&)>& write)
{
    auto pending = PendingFile::Create(ctx.resultPath);
    if (!pending)
        throw FatalError(kResultIoMessage);
    write(pending->Path());
    if (!pending->Commit())
        throw FatalError(kResultIoMessage);
}

std::vector<fs::path> DataFilesOf(const TransformationSpec& transformation, const fs::path& dataDir, int tmZone)
{
    std::vector<fs::path> paths;
    if (const auto type = TypeInZone(transformation, tmZone)) {
        for (const char* name : GridsOf(*type, false))
            paths.push_back(dataDir / name);
    } else {
        paths.push_back(dataDir / transformation.batch.planeGrid);
        paths.push_back(ParameterPath(transformation.batch, dataDir));
    }
    return paths;
}

std::vector<InteractiveResult> ApplyBucharestModel(const CommandContext& ctx, ResultLayout layout,
                                                   const fs::path& resultPath)
{
    const ModelApplicationJob job{layout, ctx.workDir / kNewPointsFileName, ctx.inputPath, resultPath, 'P',
                                  ctx.regression, ctx.interactiveMode};
    return RunModelApplication(ctx.planeGridPath, ctx.parameterPath, job);
}

void RunBatchCommand(CommandContext& ctx, Ui& ui, const TransformationSpec& transformation, const fs::path& workDir)
{
    SetPaths(ctx, transformation.batch, workDir);
    if (!ui.SelectFiles(ctx, transformation.batch.caption))
        return;
    if (transformation.AsksForZone() && !ui.SelectZone(ctx))
        return;
    const WorkFolderLock lock(ctx.workDir, ui);
    ParseSource(ctx, transformation.source);
    const auto type = TypeInZone(transformation, ctx.tmZone);
    if (!type) {
        // The Bucharest plane-to-plane commands: the distortion model writes the result.
        WriteResult(ctx, [&](const fs::path& path) { ApplyBucharestModel(ctx, transformation.result, path); });
    } else {
        WriteResult(ctx, [&](const fs::path& path) {
            ResultFileWriter result(transformation.result, path, ReadTitleLine(ctx.inputPath));
            TransformRecords(ctx, ui, transformation, *type, result);
            result.Finish();
        });
    }
    ui.ShowInformation(kResultInformationPrefix + ctx.resultPath + ".");
}

} // namespace velmora
