#include "commands/CommandTable.h"

#include "commands/ConversionCommands.h"
#include "commands/ModelBuildingCommands.h"
#include "commands/QuasigeoidCommands.h"
#include "core/CorrectionGrid.h"

#include <array>

namespace velmora {

namespace {

using T = TransformationType;

constexpr std::array<CommandMenuInfo, 6> kMenus{{
    {CommandMenu::Conversion, "Conversie_Coordonate", std::nullopt},
    {CommandMenu::Plane2D, "Transformare_2D", std::nullopt},
    {CommandMenu::Spatial3D, "Transformare_3D", std::nullopt},
    {CommandMenu::Spatial3DZeta, "(B,L,h)_1-->(B,L,Hn)_2, zita   ", CommandMenu::Spatial3D},
    {CommandMenu::Romania, "Transformare_Puncte_Romania", std::nullopt},
    {CommandMenu::Bucharest, "Transformare_Puncte_Bucuresti", std::nullopt},
}};

// Captions that stand in more than one place.
constexpr const char* kEtrs89ToStereo70 = " (B,L,h) ETRS89-->(x,y,H_MN) Stereo70_Sistem Krasovski42";
constexpr const char* kStereo70ToEtrs89 = "(x,y,H_MN) Stereo70_Sistem Krasovski42 --> (B,L,h) ETRS89";
constexpr const char* kEtrs89ToStereo30 = " (B,L,h) ETRS89-->(x,y,H_MN) Stereo30_Bucuresti";
constexpr const char* kStereo30ToEtrs89 = "(x,y,H_MN) Stereo30_Bucuresti --> (B,L,h) ETRS89";
constexpr const char* kStereo70ToTm = "[x,y,(H)]_Stereo70, (Marea Neagra 75)-->[x,y,(H)]_Transverse Mercator, (EVRF2007)";
constexpr const char* kTmToStereo70 = "[x,y,(H)]_Transverse Mercator, (EVRF2007)-->[x,y,(H)]_Stereo70, (Marea Neagra 75)";
constexpr const char* kStereo70ToLaea = "[x,y,(H)]_Stereo70, (Marea Neagra 75)-->[x,y,(H)]_LAEA, (EVRF2007)";
constexpr const char* kLaeaToStereo70 = "[x,y,(H)]_LAEA, (EVRF2007)-->[x,y,(H)]_Stereo70, (Marea Neagra 75)";
constexpr const char* kMenuStereo30ToStereo70 = "(x,y)_Stereo30_Bucuresti-->(x,y)_Stereo70";
constexpr const char* kMenuStereo70ToStereo30 = "(x,y)_Stereo70-->(x,y)_Stereo30_Bucuresti";
constexpr const char* kMenuEtrs89ToStereo30 = "(B,L,h)_ETRS89-->(x,y,H_MN)_Stereo30_Bucuresti";
constexpr const char* kMenuStereo30ToEtrs89 = "(x,y,H_MN)_Stereo30_Bucuresti-->(B,L,h)_ETRS89";

constexpr PointDialogLabels kOutNorthEast{.outputX = "x (Nord)", .outputY = "y (Est)"};
constexpr PointDialogLabels kOutEastNorth{.outputX = "x (Est)", .outputY = "y (Nord)"};
constexpr PointDialogLabels kInNorthEast{.inputX = "x (Nord)", .inputY = "y (Est)"};
constexpr PointDialogLabels kInEastNorth{.inputX = "x (Est)", .inputY = "y (Nord)"};

// The "Din fisier" items of the Bucharest menu, which its hidden twins in the Romania menu share.
constexpr BatchSpec kBatchEtrs89ToStereo30{'8', kEtrs89ToStereo30, kStereo30CheckGridName, nullptr};
constexpr BatchSpec kBatchStereo30ToEtrs89{'9', kStereo30ToEtrs89, kStereo30CheckGridName, "Stereo30_ETRS89_2D.par"};
constexpr BatchSpec kBatchStereo30ToStereo70{'5', " (x,y) Stereo30_Bucuresti --> (x,y) Stereo70",
                                             kStereo30ToStereo70ModelName, nullptr};
constexpr BatchSpec kBatchStereo70ToStereo30{'6', " (x,y) Stereo70 --> (x,y) Stereo30_Bucuresti",
                                             kStereo70ToStereo30ModelName, nullptr};

const TransformationSpec kEtrs89Stereo70{
    T::EtrsToStereo70, std::nullopt, SourceFormat::Geodetic, ResultLayout::Plane,
    {'3', kEtrs89ToStereo70, kStereo70CheckGridName, nullptr},
    {'3', PointDialogKind::Geodetic, kEtrs89ToStereo70, kQuasigeoidGridName, kStereo70GridName, false, false,
     kOutNorthEast}};
const TransformationSpec kStereo70Etrs89{
    T::Stereo70ToEtrs, std::nullopt, SourceFormat::Plane, ResultLayout::Geodetic,
    {'4', kStereo70ToEtrs89, kStereo70CheckGridName, nullptr},
    {'4', PointDialogKind::PlaneToGeodetic, kStereo70ToEtrs89, kQuasigeoidGridName, kStereo70GridName, false, false,
     kInNorthEast}};
const TransformationSpec kStereo70Tm{
    T::Stereo70ToTm, T::Stereo70ToTmZone35, SourceFormat::Plane, ResultLayout::Plane,
    {'e', "[E,N,(H)]_Stereo70, (Marea Neagra 75)-->[E,N,(H)]_Transverse Mercator, (EVRF2007)", kStereo70CheckGridName,
     nullptr},
    {'e', PointDialogKind::Plane, kStereo70ToTm, kQuasigeoidGridName, kStereo70GridName, false, false,
     {"Intrare:[x,y,(H)]_St70 (MN75)", "Iesire:[x,y,(H)]_TMzn (EVRF)", "x (Nord)", "y (Est)", "H_MN", "x (Nord)",
      "y (Est)", "H_EVRF"}}};
// Its interactive item sets the code of the forward command.
const TransformationSpec kTmStereo70{
    T::TmToStereo70, T::TmZone35ToStereo70, SourceFormat::Plane, ResultLayout::Plane,
    {'f', kTmToStereo70, kStereo70CheckGridName, nullptr},
    {'e', PointDialogKind::Plane, kTmToStereo70, kQuasigeoidGridName, kStereo70GridName, false, false,
     {"Intrare:[x,y,(H)]_TMzn (EVRF)", "Iesire:[x,y,(H)]_St70 (MN75)", "x (Nord)", "y (Est)", "H_EVRF", "x (Nord)",
      "y (Est)", "H_MN"}}};
const TransformationSpec kStereo70Laea{
    T::Stereo70ToLaea, std::nullopt, SourceFormat::Plane, ResultLayout::Plane,
    {'g', kStereo70ToLaea, kStereo70CheckGridName, nullptr},
    {'g', PointDialogKind::Plane, kStereo70ToLaea, kQuasigeoidGridName, kStereo70GridName, false, false,
     {"Intrare:[x,y,(H)]_St70 (MN75)", "Iesire:[x,y,(H)]_LAEA (EVRF)", "x (Nord)", "y (Est)", "H_MN", "x (Est)",
      "y (Nord)", "H_EVRF"}}};
const TransformationSpec kLaeaStereo70{
    T::LaeaToStereo70, std::nullopt, SourceFormat::Plane, ResultLayout::Plane,
    {'h', kLaeaToStereo70, kStereo70CheckGridName, nullptr},
    {'h', PointDialogKind::Plane, kLaeaToStereo70, kQuasigeoidGridName, kStereo70GridName, false, true,
     {"Intrare:[x,y,(H)]_LAEA (EVRF)", "Iesire:[x,y,(H)]_St70 (MN75)", "x (Est)", "y (Nord)", "H_EVRF", "x (Nord)",
      "y (Est)", "H_MN"}}};
const TransformationSpec kEtrs89Stereo30{
    T::EtrsToStereo30, std::nullopt, SourceFormat::Geodetic, ResultLayout::Plane, kBatchEtrs89ToStereo30,
    {'8', PointDialogKind::Geodetic, kEtrs89ToStereo30, kQuasigeoidGridName, kStereo30GridName, false, false,
     kOutEastNorth}};
const TransformationSpec kStereo30Etrs89{
    T::Stereo30ToEtrs, std::nullopt, SourceFormat::Plane, ResultLayout::Geodetic, kBatchStereo30ToEtrs89,
    {'9', PointDialogKind::PlaneToGeodetic, kStereo30ToEtrs89, kQuasigeoidGridName, kStereo30GridName, false, true,
     kInEastNorth}};
const TransformationSpec kStereo30Stereo70{
    std::nullopt, std::nullopt, SourceFormat::Plane, ResultLayout::ModelNorthFirst, kBatchStereo30ToStereo70,
    {'5', PointDialogKind::Stereo30Model, " (x,y) Stereo30 Bucuresti --> (x,y) Stereo70", kQuasigeoidCheckGridName,
     kStereo30ToStereo70ModelName, true, false, {}}};
const TransformationSpec kStereo70Stereo30{
    std::nullopt, std::nullopt, SourceFormat::Plane, ResultLayout::ModelEastFirst, kBatchStereo70ToStereo30,
    {'6', PointDialogKind::Stereo70Model, " (x,y) Stereo70 --> (x,y) Stereo30 Bucuresti", kQuasigeoidCheckGridName,
     kStereo70ToStereo30ModelName, true, false, {}}};

// The hidden twins of the Bucharest commands in the Romania menu: the same "Din fisier" items,
// their own interactive captions (model commands) or data files (the quasigeoid and plane grids
// the file dialog checks).
const TransformationSpec kRomaniaStereo30Stereo70{
    std::nullopt, std::nullopt, SourceFormat::Plane, ResultLayout::ModelNorthFirst, kBatchStereo30ToStereo70,
    {'5', PointDialogKind::Stereo30Model, " (x,y) Stereo30 Bucuresti --> (x,precizie_x,y,precizie_y) Stereo70",
     kQuasigeoidCheckGridName, kStereo30ToStereo70ModelName, true, false, {}}};
const TransformationSpec kRomaniaStereo70Stereo30{
    std::nullopt, std::nullopt, SourceFormat::Plane, ResultLayout::ModelEastFirst, kBatchStereo70ToStereo30,
    {'6', PointDialogKind::Stereo70Model, " (x,y) Stereo70 --> (x,precizie_x,y,precizie_y) Stereo30 Bucuresti",
     kQuasigeoidCheckGridName, kStereo70ToStereo30ModelName, true, false, {}}};
const TransformationSpec kRomaniaEtrs89Stereo30{
    T::EtrsToStereo30, std::nullopt, SourceFormat::Geodetic, ResultLayout::Plane, kBatchEtrs89ToStereo30,
    {'8', PointDialogKind::Geodetic, kEtrs89ToStereo30, kQuasigeoidCheckGridName, kStereo30CheckGridName, false, false,
     kOutEastNorth}};
const TransformationSpec kRomaniaStereo30Etrs89{
    T::Stereo30ToEtrs, std::nullopt, SourceFormat::Plane, ResultLayout::Geodetic, kBatchStereo30ToEtrs89,
    {'9', PointDialogKind::PlaneToGeodetic, kStereo30ToEtrs89, kQuasigeoidCheckGridName, kStereo30CheckGridName, false,
     true, kInEastNorth}};

// A hidden command run by its own function.
constexpr MenuCommand Hidden(const char* name, CommandMenu menu, const char* caption, CommandRun run)
{
    return {name, menu, caption, true, false, nullptr, nullptr, run};
}

constexpr MenuCommand Transformation(const char* name, CommandMenu menu, const char* caption,
                                     const TransformationSpec& spec, const char* summary, bool hidden = false,
                                     bool separatorBefore = false)
{
    return {name, menu, caption, hidden, separatorBefore, summary, &spec, nullptr};
}

using M = CommandMenu;
using C = ConversionKind;

const std::array<MenuCommand, 34> kCommands{{
    Hidden("blh-xyz", M::Conversion, "Conversie BLh --> XYZ", RunConversionCommand<C::GeodeticToCartesian>),
    Hidden("xyz-blh", M::Conversion, "Conversie XYZ --> BLh", RunConversionCommand<C::CartesianToGeodetic>),
    Hidden("bl-stereo70", M::Conversion, "Conversie BL-->Est_Nord Stereo70", RunConversionCommand<C::GeodeticToStereo70>),
    Hidden("stereo70-bl", M::Conversion, "Conversie Est_Nord Stereo70-->BL", RunConversionCommand<C::Stereo70ToGeodetic>),
    Hidden("bl-laea", M::Conversion, "Conversie BL-->Est_Nord LAEA ", RunConversionCommand<C::GeodeticToLaea>),
    Hidden("laea-bl", M::Conversion, "Conversie Est_Nord LAEA--->BL", RunConversionCommand<C::LaeaToGeodetic>),
    Hidden("dms-deg", M::Conversion, "BLh [gms,gms,m]-->BLh [g,g,m]", RunConversionCommand<C::DmsToDegrees>),
    Hidden("blh-xyzn", M::Conversion, "Conversie BLH_ETRS89-->XYZn_ETRS89",
           RunConversionCommand<C::NormalHeightToCartesian>),
    Hidden("quasigeoid-export", M::Conversion, "Grid_XY_ETRS89-->BL_EGG97", ExportPlaneGridCommand),
    Hidden("quasigeoid-export-geographic", M::Conversion, "Grid_LBdZita-->BL_EGG97", ExportGeographicGridCommand),
    Hidden("quasigeoid-load-zita", M::Conversion, "Zita_EGG (+dz)-->Grid_ETRS89", LoadZitaCommand),
    Hidden("plane", M::Plane2D, "Transformare fara Regresie", BuildPlaneModel),
    Hidden("plane-regression", M::Plane2D, "Transformare cu Regresie", BuildPlaneRegressionModel),
    Hidden("3d", M::Spatial3D, "(X,Y,Z)_1-->(X,Y,Z)_2 fara Regresie", BuildSpatialModel),
    Hidden("3d-regression", M::Spatial3D, "(X,Y,Z)_1-->(X,Y,Z)_2 cu Regresie", BuildSpatialRegressionModel),
    Hidden("zeta", M::Spatial3DZeta, "Fara Regresie", ShowNotImplemented),
    Hidden("zeta-regression", M::Spatial3DZeta, "Cu Regresie", ShowNotImplemented),
    Hidden("quasigeoid-build", M::Spatial3D, kQuasigeoidCaption, QuasigeoidBuildCommand),
    Hidden("etrs89-stereo70-h", M::Spatial3D, "(B,L,h)_ETRS89-->(x,y)_St70,(h)_ETRS89", DoNothing),

    Transformation("etrs89-stereo70", M::Romania, "(B,L,h)_ETRS89-->(x,y,H_MN)_Stereo70_Sistem Krasovski42",
                   kEtrs89Stereo70, "(B,L,h) ETRS89 -> (x,y,H_MN) Stereo70"),
    Transformation("stereo70-etrs89", M::Romania, "(x,y,H_MN)_Stereo70_Sistem Krasovski42-->(B,L,h)_ETRS89",
                   kStereo70Etrs89, "(x,y,H_MN) Stereo70 -> (B,L,h) ETRS89"),
    Transformation("romania-stereo30-stereo70", M::Romania, kMenuStereo30ToStereo70, kRomaniaStereo30Stereo70,
                   nullptr, true, true),
    Transformation("romania-stereo70-stereo30", M::Romania, kMenuStereo70ToStereo30, kRomaniaStereo70Stereo30,
                   nullptr, true),
    Hidden("quasigeoid-apply", M::Romania, kQuasigeoidCaption, QuasigeoidApplyCommand),
    Transformation("romania-etrs89-stereo30", M::Romania, kMenuEtrs89ToStereo30, kRomaniaEtrs89Stereo30, nullptr,
                   true, true),
    Transformation("romania-stereo30-etrs89", M::Romania, kMenuStereo30ToEtrs89, kRomaniaStereo30Etrs89, nullptr,
                   true),
    Transformation("stereo70-tm", M::Romania, kStereo70ToTm, kStereo70Tm,
                   "(x,y,H) Stereo70, Marea Neagra 75 -> TM zone (--zone), EVRF2007", false, true),
    Transformation("tm-stereo70", M::Romania, kTmToStereo70, kTmStereo70,
                   "TM zone (--zone), EVRF2007 -> (x,y,H) Stereo70, Marea Neagra 75"),
    Transformation("stereo70-laea", M::Romania, kStereo70ToLaea, kStereo70Laea,
                   "(x,y,H) Stereo70, Marea Neagra 75 -> LAEA, EVRF2007", false, true),
    Transformation("laea-stereo70", M::Romania, kLaeaToStereo70, kLaeaStereo70,
                   "LAEA, EVRF2007 -> (x,y,H) Stereo70, Marea Neagra 75"),

    Transformation("etrs89-stereo30", M::Bucharest, kMenuEtrs89ToStereo30, kEtrs89Stereo30,
                   "(B,L,h) ETRS89 -> (x,y,H_MN) Stereo30 Bucuresti"),
    Transformation("stereo30-etrs89", M::Bucharest, kMenuStereo30ToEtrs89, kStereo30Etrs89,
                   "(x,y,H_MN) Stereo30 Bucuresti -> (B,L,h) ETRS89"),
    Transformation("stereo30-stereo70", M::Bucharest, kMenuStereo30ToStereo70, kStereo30Stereo70,
                   "(x,y) Stereo30 Bucuresti -> (x,y) Stereo70, distortion model"),
    Transformation("stereo70-stereo30", M::Bucharest, kMenuStereo70ToStereo30, kStereo70Stereo30,
                   "(x,y) Stereo70 -> (x,y) Stereo30 Bucuresti, distortion model"),
}};

} // namespace

std::span<const CommandMenuInfo> CommandMenus()
{
    return kMenus;
}

std::span<const MenuCommand> MenuCommands()
{
    return kCommands;
}

const MenuCommand* FindCommand(std::string_view name)
{
    for (const MenuCommand& command : kCommands)
        if (name == command.name)
            return &command;
    return nullptr;
}

const MenuCommand* FindTransformation(std::string_view codeOrName)
{
    for (const MenuCommand& command : kCommands) {
        if (command.transformation == nullptr || command.hidden)
            continue;
        const bool isCode = codeOrName.size() == 1 && codeOrName[0] == command.transformation->batch.code;
        if (isCode || codeOrName == command.name)
            return &command;
    }
    return nullptr;
}

std::optional<TransformationType> TypeInZone(const TransformationSpec& transformation, int tmZone)
{
    if (tmZone == 35 && transformation.typeZone35)
        return transformation.typeZone35;
    return transformation.type;
}

} // namespace velmora
