#include "commands/InteractiveCommands.h"

#include "commands/FileSelection.h"
#include "core/CorrectionGrid.h"
#include "core/Geodesy.h"
#include "commands/PointTransform.h"
#include "core/TransformPoint.h"
#include "files/FatalError.h"
#include "files/NumberText.h"
#include "files/ResultWriter.h"
#include "files/SourceParsers.h"
#include "files/SourceScan.h"
#include "files/TextFile.h"
#include "model/DistortionModel.h"

#include <array>
#include <string_view>
#include <system_error>

namespace velmora {

namespace fs = std::filesystem;

namespace {

constexpr const char* kStereo30Caption = " (B,L,h) ETRS89-->(x,y,H_MN) Stereo30_Bucuresti";
constexpr const char* kStereo30InverseCaption = "(x,y,H_MN) Stereo30_Bucuresti --> (B,L,h) ETRS89";

constexpr PointDialogLabels kOutNorthEast{.outputX = "x (Nord)", .outputY = "y (Est)"};
constexpr PointDialogLabels kOutEastNorth{.outputX = "x (Est)", .outputY = "y (Nord)"};
constexpr PointDialogLabels kInNorthEast{.inputX = "x (Nord)", .inputY = "y (Est)"};
constexpr PointDialogLabels kInEastNorth{.inputX = "x (Est)", .inputY = "y (Nord)"};

using T = TransformationType;

const std::array<InteractiveCommand, 14> kCommands{{
    {"mm121Click", '3', PointDialogKind::Geodetic, " (B,L,h) ETRS89-->(x,y,H_MN) Stereo70_Sistem Krasovski42",
     kQuasigeoidGridName, kStereo70GridName, false, T::EtrsToStereo70, {}, false, kOutNorthEast},
    {"Iteractiv1Click", '4', PointDialogKind::PlaneToGeodetic,
     "(x,y,H_MN) Stereo70_Sistem Krasovski42 --> (B,L,h) ETRS89", kQuasigeoidGridName, kStereo70GridName, false, T::Stereo70ToEtrs, {}, false,
     kInNorthEast},
    {"Interactiv5Click", 'e', PointDialogKind::Plane,
     "[x,y,(H)]_Stereo70, (Marea Neagra 75)-->[x,y,(H)]_Transverse Mercator, (EVRF2007)", kQuasigeoidGridName,
     kStereo70GridName, false, T::Stereo70ToTm, T::Stereo70ToTmZone35, false,
     {"Intrare:[x,y,(H)]_St70 (MN75)", "Iesire:[x,y,(H)]_TMzn (EVRF)", "x (Nord)", "y (Est)", "H_MN", "x (Nord)",
      "y (Est)", "H_EVRF"}},
    {"Interactiv6Click", 'e', PointDialogKind::Plane,
     "[x,y,(H)]_Transverse Mercator, (EVRF2007)-->[x,y,(H)]_Stereo70, (Marea Neagra 75)", kQuasigeoidGridName,
     kStereo70GridName, false, T::TmToStereo70, T::TmZone35ToStereo70, false,
     {"Intrare:[x,y,(H)]_TMzn (EVRF)", "Iesire:[x,y,(H)]_St70 (MN75)", "x (Nord)", "y (Est)", "H_EVRF", "x (Nord)",
      "y (Est)", "H_MN"}},
    {"Interactiv7Click", 'g', PointDialogKind::Plane,
     "[x,y,(H)]_Stereo70, (Marea Neagra 75)-->[x,y,(H)]_LAEA, (EVRF2007)", kQuasigeoidGridName, kStereo70GridName, false, T::Stereo70ToLaea,
     {}, false,
     {"Intrare:[x,y,(H)]_St70 (MN75)", "Iesire:[x,y,(H)]_LAEA (EVRF)", "x (Nord)", "y (Est)", "H_MN", "x (Est)",
      "y (Nord)", "H_EVRF"}},
    {"Interactiv8Click", 'h', PointDialogKind::Plane,
     "[x,y,(H)]_LAEA, (EVRF2007)-->[x,y,(H)]_Stereo70, (Marea Neagra 75)", kQuasigeoidGridName, kStereo70GridName, false, T::LaeaToStereo70,
     {}, true,
     {"Intrare:[x,y,(H)]_LAEA (EVRF)", "Iesire:[x,y,(H)]_St70 (MN75)", "x (Est)", "y (Nord)", "H_EVRF", "x (Nord)",
      "y (Est)", "H_MN"}},
    {"Interactiv9Click", '8', PointDialogKind::Geodetic, kStereo30Caption, kQuasigeoidGridName, kStereo30GridName, false, T::EtrsToStereo30, {},
     false, kOutEastNorth},
    {"Interactiv10Click", '9', PointDialogKind::PlaneToGeodetic, kStereo30InverseCaption, kQuasigeoidGridName,
     kStereo30GridName, false, T::Stereo30ToEtrs, {}, true, kInEastNorth},
    {"Interactiv11Click", '5', PointDialogKind::Stereo30Model, " (x,y) Stereo30 Bucuresti --> (x,y) Stereo70",
     kQuasigeoidCheckGridName, kStereo30ToStereo70ModelName, true, {}, {}, false, {}},
    {"Interactiv12Click", '6', PointDialogKind::Stereo70Model, " (x,y) Stereo70 --> (x,y) Stereo30 Bucuresti",
     kQuasigeoidCheckGridName, kStereo70ToStereo30ModelName, true, {}, {}, false, {}},
    // The hidden items of "Transformare_Puncte_Romania".
    {"Interactiv1Click", '5', PointDialogKind::Stereo30Model,
     " (x,y) Stereo30 Bucuresti --> (x,precizie_x,y,precizie_y) Stereo70", kQuasigeoidCheckGridName, kStereo30ToStereo70ModelName,
     true, {}, {}, false, {}},
    {"Interactiv2Click", '6', PointDialogKind::Stereo70Model,
     " (x,y) Stereo70 --> (x,precizie_x,y,precizie_y) Stereo30 Bucuresti", kQuasigeoidCheckGridName, kStereo70ToStereo30ModelName,
     true, {}, {}, false, {}},
    {"Interactiv3Click", '8', PointDialogKind::Geodetic, kStereo30Caption, kQuasigeoidCheckGridName, kStereo30CheckGridName, false, T::EtrsToStereo30,
     {}, false, kOutEastNorth},
    {"Interactiv4Click", '9', PointDialogKind::PlaneToGeodetic, kStereo30InverseCaption, kQuasigeoidCheckGridName,
     kStereo30CheckGridName, false, T::Stereo30ToEtrs, {}, true, kInEastNorth},
}};

constexpr std::array<PointEdit, 9> kGeodeticInputs{
    {{1, 3}, {2, 2}, {3, 2}, {4, 5}, {5, 3}, {6, 2}, {7, 2}, {8, 5}, {9, 10}}};
constexpr std::array<PointEdit, 3> kPlaneInputs{{{10, 11}, {11, 11}, {2, 11}}};
constexpr std::array<PointEdit, 2> kModelInputs{{{1, 11}, {3, 11}}};
constexpr std::array<int, 3> kGeodeticOutputs{10, 11, 14};
constexpr std::array<int, 3> kPlaneOutputs{1, 5, 3};
constexpr std::array<int, 2> kModelOutputs{10, 11};

// The dialogs read at most this many characters of a field.
constexpr std::size_t kFieldLimit = 60;

constexpr std::size_t kPointRecordSize = 312;
constexpr std::size_t kParameterRecordSize = 4552;

bool IsModel(PointDialogKind kind)
{
    return kind == PointDialogKind::Stereo30Model || kind == PointDialogKind::Stereo70Model;
}

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

void SetPaths(CommandContext& ctx, const InteractiveCommand& command, const fs::path& workDir)
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
    for (const int edit : OutputEdits(kind))
        dialog.SetText(edit, "");
}

std::optional<std::string> ReadInput(const PointDialog& dialog, const InteractiveCommand& command, PointInput& point)
{
    if (command.dialog == PointDialogKind::Geodetic) {
        std::array<std::string, 9> texts;
        for (std::size_t k = 0; k < texts.size(); ++k)
            texts[k] = dialog.Text(kGeodeticInputs[k].number);
        return ReadGeodeticInput(texts, point);
    }
    return ReadPlaneInput(dialog.Text(10), dialog.Text(11), dialog.Text(2), command.xIsEast, point);
}

void ShowOutputs(PointDialog& dialog, const InteractiveCommand& command, const ChainResult& out, bool hasHeight)
{
    const std::span<const int> edits = OutputEdits(command.dialog);
    if (command.dialog == PointDialogKind::PlaneToGeodetic) {
        dialog.SetText(edits[0], AngleText(out.first * 3600.0, AngleForm::DegreeSign) + "N");
        dialog.SetText(edits[1], AngleText(out.second * 3600.0, AngleForm::DegreeSign) + "E");
    } else {
        const bool transverseMercator = command.typeZone35.has_value();
        dialog.SetText(edits[0], FormatFixed(out.first, 11, 3));
        dialog.SetText(edits[1], FormatFixed(out.second, transverseMercator ? 12 : 11, 3));
    }
    if (hasHeight)
        dialog.SetText(edits[2], FormatFixed(out.third, 8, 3));
}

// One confirmation of a dispatcher command. Every confirmation starts without height: the height
// flag follows the field as it is now, never an earlier point.
void TransformTypedPoint(CommandContext& ctx, Ui& ui, PointDialog& dialog, const InteractiveCommand& command,
                         GridCache& grids)
{
    ClearOutputs(dialog, command.dialog);
    PointInput point;
    if (const auto message = ReadInput(dialog, command, point)) {
        ui.ShowMessage(*message);
        return;
    }
    TransformationType type = *command.type;
    if (command.typeZone35) {
        if (!ui.SelectZone(ctx))
            return;
        type = ctx.tmZone == 35 ? *command.typeZone35 : *command.type;
    }
    const int heightFlag = point.height ? 1 : 0;
    ChainResult out{};
    {
        ConsoleScope console(ui);
        CoreEnv env{ctx.startDir, ctx.tmZone, grids};
        out = TransformOrStop(env, console.Console(), type, heightFlag, point.east, point.north,
                              point.height.value_or(0.0), kInteractiveFailureMessage);
    }
    ShowOutputs(dialog, command, out, point.height.has_value());
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
void TransformModelPoint(CommandContext& ctx, Ui& ui, PointDialog& dialog, const InteractiveCommand& command)
{
    ClearOutputs(dialog, command.dialog);
    const std::string x = dialog.Text(1);
    const std::string y = dialog.Text(3);
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

    const ModelApplicationJob job{ctx.transformationCode == '5' ? ResultLayout::ModelNorthFirst : ResultLayout::ModelEastFirst, targets.newPoints, ctx.inputPath, ctx.resultPath, 'P',
                                  ctx.regression, ctx.interactiveMode};
    const std::vector<InteractiveResult> results = RunModelApplication(ctx.planeGridPath, ctx.parameterPath, job);
    for (const InteractiveResult& result : results) {
        if (result.outsideGrid) {
            dialog.ShowNote(kOutsideGridMessage, kOutsideGridCaption);
            continue;
        }
        dialog.SetText(10, result.resultText1);
        dialog.SetText(11, result.resultText2);
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

std::span<const InteractiveCommand> InteractiveCommands()
{
    return kCommands;
}

const InteractiveCommand* FindInteractiveCommand(std::string_view handler)
{
    for (const InteractiveCommand& command : kCommands)
        if (handler == command.handler)
            return &command;
    return nullptr;
}

std::span<const PointEdit> InputEdits(PointDialogKind kind)
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

std::span<const int> OutputEdits(PointDialogKind kind)
{
    switch (kind) {
    case PointDialogKind::Geodetic: return kGeodeticOutputs;
    case PointDialogKind::PlaneToGeodetic:
    case PointDialogKind::Plane: return kPlaneOutputs;
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
    const bool model = IsModel(kind);
    const std::size_t gridRecord = model ? kPointRecordSize : 1;
    bool gridOk = IsRecordFile(ctx.planeGridPath, gridRecord);
    if (!model)
        gridOk = gridOk && IsRecordFile(ctx.heightGridPath, gridRecord);
    if (model && !IsRecordFile(ctx.parameterPath, kParameterRecordSize))
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

void RunInteractiveCommand(CommandContext& ctx, Ui& ui, PointDialog& dialog, const InteractiveCommand& command,
                           const fs::path& workDir)
{
    SetPaths(ctx, command, workDir);
    dialog.Prepare(command);
    // The grids are read once for the whole command.
    GridCache grids;
    while (true) {
        ctx.dialogConfirmed = false;
        if (!dialog.Show(ctx))
            break;
        if (IsModel(command.dialog))
            TransformModelPoint(ctx, ui, dialog, command);
        else
            TransformTypedPoint(ctx, ui, dialog, command, grids);
    }
    ctx.interactiveMode = false;
}

} // namespace velmora
