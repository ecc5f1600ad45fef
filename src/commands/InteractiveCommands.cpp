#include "commands/InteractiveCommands.h"

#include "commands/BatchCommands.h"
#include "commands/FileSelection.h"
#include "commands/PointTransform.h"
#include "commands/WorkFolder.h"
#include "core/CorrectionGrid.h"
#include "core/Geodesy.h"
#include "files/FatalError.h"
#include "files/NumberText.h"
#include "files/SourceParsers.h"
#include "files/SourceScan.h"
#include "files/TextFile.h"
#include "model/ModelParameters.h"

#include <array>
#include <string_view>
#include <system_error>

namespace velmora {

namespace fs = std::filesystem;

namespace {

using F = PointField;

constexpr std::array<PointFieldLimit, 9> kGeodeticInputs{{{F::BDegrees, 3},
                                                          {F::BMinutes, 2},
                                                          {F::BSeconds, 2},
                                                          {F::BFraction, 5},
                                                          {F::LDegrees, 3},
                                                          {F::LMinutes, 2},
                                                          {F::LSeconds, 2},
                                                          {F::LFraction, 5},
                                                          {F::InputHeight, 10}}};
constexpr std::array<PointFieldLimit, 3> kPlaneInputs{{{F::InputX, 11}, {F::InputY, 11}, {F::InputHeight, 11}}};
constexpr std::array<PointFieldLimit, 2> kModelInputs{{{F::InputX, 11}, {F::InputY, 11}}};
constexpr std::array<PointField, 3> kPointOutputs{F::OutputX, F::OutputY, F::OutputHeight};
constexpr std::array<PointField, 2> kModelOutputs{F::OutputX, F::OutputY};

// The dialogs read at most this many characters of a field.
constexpr std::size_t kFieldLimit = 60;

std::string_view Field(const std::string& text)
{
    return std::string_view(text).substr(0, kFieldLimit);
}

// The height field may stay empty; a point without height is transformed without one.
std::optional<std::string> ReadHeight(const std::string& text, PointInput& point)
{
    point.height.reset();
    const std::string_view field = Field(text);
    if (field.empty())
        return std::nullopt;
    double height = 0.0;
    if (!ParseDecimal(field, height))
        return "Coordonata h invalida!";
    point.height = height;
    return std::nullopt;
}

// Degrees, minutes, seconds and fraction of one angle; coordinate is "B" or "L".
std::optional<std::string> ReadAngle(std::span<const std::string> texts, const std::string& coordinate,
                                     double& degrees)
{
    static constexpr std::array<const char*, 4> kParts{"grade", "minute", "secunde", "fractiuni de secunde"};
    for (std::size_t k = 0; k < kParts.size(); ++k)
        if (Field(texts[k]).empty())
            return "Nu ati introdus " + coordinate + " in " + kParts[k];
    std::string dms;
    dms.append(Field(texts[0])).append(" ").append(Field(texts[1])).append(" ").append(Field(texts[2]));
    dms.append(".").append(Field(texts[3])).append(", ");
    double radians = 0.0;
    switch (ParseDmsAngle(dms, radians)) {
    case 0: degrees = RadToDeg(radians); return std::nullopt;
    case kDmsMinutesTooLarge: return "Coordonata " + coordinate + " are minute >= 60";
    case kDmsMinutesNegative: return "Coordonata " + coordinate + " are minute < 0";
    case kDmsSecondsTooLarge: return "Coordonata " + coordinate + " are secunde >= 60";
    case kDmsSecondsNegative: return "Coordonata " + coordinate + " are secunde < 0";
    default: return "Coordonata " + coordinate + " invalida!";
    }
}

void SetPaths(CommandContext& ctx, const InteractiveSpec& command, const fs::path& workDir)
{
    ctx.interactiveMode = true;
    ctx.transformationCode = command.code;
    ctx.workDir = workDir;
    ctx.heightGridPath = ctx.startDir / command.heightGrid;
    ctx.planeGridPath = ctx.startDir / command.planeGrid;
    if (command.hasParameterFile)
        ctx.parameterPath = fs::path(ctx.planeGridPath).replace_extension(".PAR");
}

void ClearOutputs(PointDialog& dialog, PointDialogKind kind)
{
    for (const PointField field : OutputFields(kind))
        dialog.SetText(field, "");
}

std::optional<std::string> ReadInput(const PointDialog& dialog, const InteractiveSpec& command, PointInput& point)
{
    if (command.dialog == PointDialogKind::Geodetic) {
        std::array<std::string, 9> texts;
        for (std::size_t k = 0; k < texts.size(); ++k)
            texts[k] = dialog.Text(kGeodeticInputs[k].field);
        return ReadGeodeticInput(texts, point);
    }
    return ReadPlaneInput(dialog.Text(F::InputX), dialog.Text(F::InputY), dialog.Text(F::InputHeight),
                          command.xIsEast, point);
}

void ShowOutputs(PointDialog& dialog, const TransformationSpec& transformation, const ChainResult& out,
                 bool hasHeight)
{
    if (transformation.interactive.dialog == PointDialogKind::PlaneToGeodetic) {
        dialog.SetText(F::OutputX, AngleText(out.first * 3600.0, AngleForm::DegreeSign) + "N");
        dialog.SetText(F::OutputY, AngleText(out.second * 3600.0, AngleForm::DegreeSign) + "E");
    } else {
        const bool transverseMercator = transformation.AsksForZone();
        dialog.SetText(F::OutputX, FormatFixed(out.first, 11, 3));
        dialog.SetText(F::OutputY, FormatFixed(out.second, transverseMercator ? 12 : 11, 3));
    }
    if (hasHeight)
        dialog.SetText(F::OutputHeight, FormatFixed(out.third, 8, 3));
}

// One confirmation of a dispatcher command. Every confirmation starts without height: the height
// flag follows the field as it is now, never an earlier point.
void TransformTypedPoint(CommandContext& ctx, Ui& ui, PointDialog& dialog, const TransformationSpec& transformation,
                         GridCache& grids)
{
    ClearOutputs(dialog, transformation.interactive.dialog);
    PointInput point;
    if (const auto message = ReadInput(dialog, transformation.interactive, point)) {
        ui.ShowMessage(*message);
        return;
    }
    if (transformation.AsksForZone() && !ui.SelectZone(ctx))
        return;
    const TransformationType type = *TypeInZone(transformation, ctx.tmZone);
    const int heightFlag = point.height ? 1 : 0;
    ChainResult out{};
    {
        ConsoleScope console(ui);
        CoreEnv env{ctx.startDir, ctx.tmZone, grids};
        out = TransformOrStop(env, console.Console(), type, heightFlag, point.east, point.north,
                              point.height.value_or(0.0), kInteractiveFailureMessage);
    }
    ShowOutputs(dialog, transformation, out, point.height.has_value());
}

void WriteInteractiveSource(const CommandContext& ctx, std::string_view x, std::string_view y)
{
    TextWriter source(ctx.inputPath);
    if (!source.IsOpen())
        return; // the parser reports the source it cannot open
    source.Write("PROIECT:\r\nInteractiv, ");
    source.Write(x);
    source.Write(", ");
    source.Write(y);
    source.Write("\r\nENDF\r\n");
    source.Close();
}

// One confirmation of a Bucharest model command: the point goes through a temporary source file
// and the model's own pipeline, which delivers the two texts of the output fields.
void TransformModelPoint(CommandContext& ctx, Ui& ui, PointDialog& dialog, const TransformationSpec& transformation)
{
    ClearOutputs(dialog, transformation.interactive.dialog);
    const std::string x = dialog.Text(F::InputX);
    const std::string y = dialog.Text(F::InputY);
    double value = 0.0;
    if (!ParseDecimal(Field(x), value)) {
        ui.ShowMessage("Coordonata x invalida!");
        return;
    }
    if (!ParseDecimal(Field(y), value)) {
        ui.ShowMessage("Coordonata y invalida!");
        return;
    }
    WriteInteractiveSource(ctx, Field(x), Field(y));
    const SourceTargets targets = WorkFileTargets(ctx.workDir);
    EllipsoidPair ellipsoids{};
    if (!LoadPlaneSource(ctx.transformationCode, 'P', ctx.inputPath, targets, ellipsoids))
        throw FatalError(kSourceIoMessage);

    const std::vector<InteractiveResult> results = ApplyBucharestModel(ctx, transformation.result, ctx.resultPath);
    for (const InteractiveResult& result : results) {
        if (result.outsideGrid) {
            dialog.ShowNote(kOutsideGridMessage, kOutsideGridCaption);
            continue;
        }
        dialog.SetText(F::OutputX, result.resultText1);
        dialog.SetText(F::OutputY, result.resultText2);
    }
}

// Deletes a temporary file of an earlier command; anything that is not a plain file is left alone.
void RemoveTemporary(const fs::path& path)
{
    std::error_code ec;
    if (fs::is_regular_file(path, ec))
        fs::remove(path, ec);
}

} // namespace

std::span<const PointFieldLimit> InputFields(PointDialogKind kind)
{
    switch (kind) {
    case PointDialogKind::Geodetic: return kGeodeticInputs;
    case PointDialogKind::PlaneToGeodetic:
    case PointDialogKind::Plane: return kPlaneInputs;
    case PointDialogKind::Stereo30Model:
    case PointDialogKind::Stereo70Model: return kModelInputs;
    }
    return {};
}

std::span<const PointField> OutputFields(PointDialogKind kind)
{
    switch (kind) {
    case PointDialogKind::Geodetic:
    case PointDialogKind::PlaneToGeodetic:
    case PointDialogKind::Plane: return kPointOutputs;
    case PointDialogKind::Stereo30Model:
    case PointDialogKind::Stereo70Model: return kModelOutputs;
    }
    return {};
}

std::optional<std::string> ConfirmPointDialog(CommandContext& ctx, PointDialogKind kind)
{
    if (kind == PointDialogKind::Plane) {
        ctx.dialogConfirmed = true;
        return std::nullopt;
    }
    ctx.inputPath = (ctx.workDir / kInteractiveInputName).string();
    ctx.resultPath = (ctx.workDir / kInteractiveResultName).string();
    ctx.dialogConfirmed = false;
    RemoveTemporary(ctx.inputPath);
    RemoveTemporary(ctx.resultPath);

    // The model commands read node grids and parameter records; the others compact grids.
    const bool model = IsModelDialog(kind);
    const std::size_t gridRecord = model ? sizeof(PointRecord) : 1;
    bool gridOk = IsRecordFile(ctx.planeGridPath, gridRecord);
    if (!model)
        gridOk = gridOk && IsRecordFile(ctx.heightGridPath, gridRecord);
    if (model && !IsRecordFile(ctx.parameterPath, sizeof(ModelParameterRecord)))
        return kMessageBadParameters;
    if (!gridOk)
        return kMessageBadGrid;
    ctx.dialogConfirmed = true;
    return std::nullopt;
}

std::optional<std::string> ReadGeodeticInput(std::span<const std::string, 9> texts, PointInput& point)
{
    if (auto message = ReadAngle(texts.subspan(0, 4), "B", point.north))
        return message;
    if (auto message = ReadAngle(texts.subspan(4, 4), "L", point.east))
        return message;
    return ReadHeight(texts[8], point);
}

std::optional<std::string> ReadPlaneInput(const std::string& first, const std::string& second,
                                          const std::string& height, bool firstIsEast, PointInput& point)
{
    double x = 0.0;
    double y = 0.0;
    if (!ParseDecimal(Field(first), x))
        return "Coordonata x invalida!";
    if (!ParseDecimal(Field(second), y))
        return "Coordonata y invalida!";
    point.east = firstIsEast ? x : y;
    point.north = firstIsEast ? y : x;
    return ReadHeight(height, point);
}

void RunInteractiveCommand(CommandContext& ctx, Ui& ui, PointDialog& dialog, const TransformationSpec& transformation,
                           const fs::path& workDir)
{
    const InteractiveSpec& command = transformation.interactive;
    SetPaths(ctx, command, workDir);
    dialog.Prepare(command);
    // The grids are read once for the whole command.
    GridCache grids;
    while (true) {
        ctx.dialogConfirmed = false;
        if (!dialog.Show(ctx))
            break;
        const WorkFolderLock lock(ctx.workDir, ui);
        if (IsModelDialog(command.dialog))
            TransformModelPoint(ctx, ui, dialog, transformation);
        else
            TransformTypedPoint(ctx, ui, dialog, transformation, grids);
    }
    ctx.interactiveMode = false;
}

} // namespace velmora
