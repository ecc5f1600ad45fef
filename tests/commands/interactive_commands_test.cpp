// The "Interactiv" commands with a scripted dialog: field validation, the repeat-until-Cancel
// loop, the zone dialog, the dialogs' file checks and the distortion model through INPUT.TMP.
#include "commands/InteractiveCommands.h"
#include "commands/FileSelection.h"
#include "core/CorrectionGrid.h"
#include "core/TransformPoint.h"
#include "files/FatalError.h"
#include "files/NumberText.h"
#include "commands/CommandGrids.h"
#include "model/ModelTestSupport.h"
#include "support/TestSupport.h"
#include "support/Transform.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>

namespace velmora {
namespace {

namespace fs = std::filesystem;
using F = PointField;

// Answers the dialogs the commands open besides the point dialog.
class ScriptedUi : public Ui {
public:
    std::deque<std::optional<int>> zones; // nullopt: the zone dialog is cancelled
    std::vector<std::string> messages;
    test::RecordingConsole console;
    int consoleOpen = 0;
    int zoneShown = 0;

    bool SelectFiles(CommandContext&, const std::string&) override { return false; }
    bool SelectZone(CommandContext& ctx) override
    {
        ++zoneShown;
        const std::optional<int> zone = zones.empty() ? std::nullopt : zones.front();
        if (!zones.empty())
            zones.pop_front();
        if (zone)
            ctx.tmZone = *zone;
        return zone.has_value();
    }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void ShowInformation(const std::string& text) override { messages.push_back("info: " + text); }
    void ShowMessageBox(const std::string& text, const std::string&, MessageIcon) override { messages.push_back(text); }
    std::optional<std::filesystem::path> SelectSourceFile() override { return std::nullopt; }
    std::optional<std::filesystem::path> SelectGridFile() override { return std::nullopt; }
    void ShowWaitLabel(bool) override {}
    ErrorConsole& OpenConsole() override
    {
        ++consoleOpen;
        return console;
    }
    void CloseConsole() override { --consoleOpen; }
    void Progress(std::uint64_t, std::uint64_t) override {}
};

// Each showing of the dialog runs the next step, which sees the outputs of the previous point,
// types new entries and answers true for "Transformare"; past the last step the user cancels.
class ScriptedDialog : public PointDialog {
public:
    using Step = std::function<bool(ScriptedDialog&)>;
    std::deque<Step> steps;
    std::map<PointField, std::string> edits;
    std::vector<std::string> notes;
    std::vector<std::string> refusals; // messages of a confirmation that did not pass
    std::string caption;
    PointDialogLabels labels;
    int shown = 0;

    void Prepare(const InteractiveSpec& command) override
    {
        caption = command.caption;
        labels = command.labels;
    }
    bool Show(CommandContext& ctx) override
    {
        ++shown;
        if (steps.empty() || !TakeStep()) {
            ctx.dialogConfirmed = false;
            ctx.interactiveMode = false;
            return false;
        }
        if (const auto message = ConfirmPointDialog(ctx, kind)) {
            refusals.push_back(*message);
            return false;
        }
        return ctx.dialogConfirmed;
    }
    std::string Text(PointField field) const override
    {
        const auto it = edits.find(field);
        return it == edits.end() ? std::string() : it->second;
    }
    void SetText(PointField field, const std::string& text) override { edits[field] = text; }
    void ShowNote(const std::string& text, const std::string& noteCaption) override
    {
        notes.push_back(noteCaption + ": " + text);
    }

    void Type(std::initializer_list<std::pair<const PointField, std::string>> texts)
    {
        for (const auto& [field, text] : texts)
            edits[field] = text;
    }

    PointDialogKind kind = PointDialogKind::Geodetic;

private:
    bool TakeStep()
    {
        Step step = std::move(steps.front());
        steps.pop_front();
        return step(*this);
    }
};

std::optional<std::string> GeodeticMessage(std::array<std::string, 9> texts)
{
    PointInput point;
    return ReadGeodeticInput(texts, point);
}

TEST(InteractiveFields, GeodeticFieldsAreCheckedInOrder)
{
    using Texts = std::array<std::string, 9>;
    const std::vector<std::pair<Texts, std::string>> cases = {
        {{"", "", "", "", "", "", "", "", ""}, "Nu ati introdus B in grade"},
        {{"45", "", "", "", "", "", "", "", ""}, "Nu ati introdus B in minute"},
        // An empty fraction does not hide the missing seconds.
        {{"45", "30", "", "", "25", "10", "5", "25", ""}, "Nu ati introdus B in secunde"},
        {{"45", "30", "15", "", "25", "10", "5", "25", ""}, "Nu ati introdus B in fractiuni de secunde"},
        {{"45", "60", "15", "5", "25", "10", "5", "25", ""}, "Coordonata B are minute >= 60"},
        {{"45", "30", "60", "0", "25", "10", "5", "25", ""}, "Coordonata B are secunde >= 60"},
        {{"4-5", "30", "15", "5", "25", "10", "5", "25", ""}, "Coordonata B invalida!"},
        {{"45", "30", "15", "5", "25", "", "5", "25", ""}, "Nu ati introdus L in minute"},
        {{"45", "30", "15", "5", "25", "75", "5", "25", ""}, "Coordonata L are minute >= 60"},
        {{"45", "30", "15", "5", "25", "10", "5", "1.2", ""}, "Coordonata L invalida!"},
        {{"45", "30", "15", "5", "25", "10", "5", "25", "12,5"}, "Coordonata h invalida!"},
    };
    for (const auto& [texts, message] : cases)
        EXPECT_EQ(GeodeticMessage(texts), message) << texts[0] << " " << texts[1] << " " << texts[2];

    PointInput point;
    ASSERT_EQ(ReadGeodeticInput(std::array<std::string, 9>{"45", "30", "15", "5", "25", "10", "5", "25", ""}, point),
              std::nullopt);
    EXPECT_NEAR(point.north, 45 + 30 / 60.0 + 15.5 / 3600, 1e-12);
    EXPECT_NEAR(point.east, 25 + 10 / 60.0 + 5.25 / 3600, 1e-12);
    EXPECT_FALSE(point.height);
}

TEST(InteractiveFields, PlaneFieldsMapTheEastingFirst)
{
    PointInput point;
    EXPECT_EQ(ReadPlaneInput("abc", "1", "", false, point), "Coordonata x invalida!");
    EXPECT_EQ(ReadPlaneInput("", "1", "", false, point), "Coordonata x invalida!");
    EXPECT_EQ(ReadPlaneInput("1", "2.5.1", "", false, point), "Coordonata y invalida!");
    EXPECT_EQ(ReadPlaneInput("1", "2", "h", false, point), "Coordonata h invalida!");

    ASSERT_EQ(ReadPlaneInput("500000", "400000", "-1.25", false, point), std::nullopt);
    EXPECT_EQ(point.east, 400000.0);
    EXPECT_EQ(point.north, 500000.0);
    EXPECT_EQ(point.height, -1.25);
    ASSERT_EQ(ReadPlaneInput("500000", "400000", "", true, point), std::nullopt);
    EXPECT_EQ(point.east, 500000.0);
    EXPECT_FALSE(point.height);
}

class InteractiveCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::WriteDispatcherGrids(data.Path());
        ctx.startDir = data.Path();
    }

    void Run(const char* name)
    {
        const MenuCommand* command = FindCommand(name);
        ASSERT_TRUE(command != nullptr && command->transformation != nullptr);
        dialog.kind = command->transformation->interactive.dialog;
        RunInteractiveCommand(ctx, ui, dialog, *command->transformation, work.Path());
    }

    ChainResult Expected(TransformationType type, int heightFlag, double p1, double p2, double p3)
    {
        GridCache grids;
        CoreEnv env{data.Path(), 34, grids};
        return test::MustTransform(env, type, heightFlag, p1, p2, p3);
    }

    test::TempDir data;
    test::TempDir work;
    CommandContext ctx;
    ScriptedUi ui;
    ScriptedDialog dialog;
};

TEST_F(InteractiveCommandTest, Etrs89PointsUntilCancelEachWithItsOwnHeight)
{
    const std::map<PointField, std::string> point{{F::BDegrees, "45"}, {F::BMinutes, "30"}, {F::BSeconds, "15"},
                                                  {F::BFraction, "5"},  {F::LDegrees, "25"}, {F::LMinutes, "10"},
                                                  {F::LSeconds, "5"},   {F::LFraction, "25"}};
    std::vector<std::map<PointField, std::string>> outputs;
    auto record = [&](ScriptedDialog& d) { outputs.push_back(d.edits); };
    test::WriteBytes(work / "INPUT.TMP", "earlier");
    dialog.steps = {
        [&](ScriptedDialog& d) { d.edits = point; return true; },
        [&](ScriptedDialog& d) { record(d); d.Type({{F::InputHeight, "120.5"}}); return true; },
        [&](ScriptedDialog& d) { record(d); d.Type({{F::InputHeight, ""}}); return true; },
        [&](ScriptedDialog& d) { record(d); return false; },
    };
    Run("etrs89-stereo70");

    EXPECT_EQ(dialog.caption, " (B,L,h) ETRS89-->(x,y,H_MN) Stereo70_Sistem Krasovski42");
    EXPECT_STREQ(dialog.labels.outputX, "x (Nord)");
    EXPECT_EQ(dialog.shown, 4);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.consoleOpen, 0);
    EXPECT_FALSE(ctx.interactiveMode);
    // The confirmation names the temporary files and removes an earlier one.
    EXPECT_EQ(ctx.inputPath, (work / "INPUT.TMP").string());
    EXPECT_FALSE(fs::exists(work / "INPUT.TMP"));

    const double L = 25 + 10 / 60.0 + 5.25 / 3600;
    const double B = 45 + 30 / 60.0 + 15.5 / 3600;
    const ChainResult plain = Expected(TransformationType::EtrsToStereo70, 0, L, B, 0.0);
    const ChainResult high = Expected(TransformationType::EtrsToStereo70, 1, L, B, 120.5);
    ASSERT_EQ(outputs.size(), 3u);
    EXPECT_EQ(outputs[0].at(F::OutputX), FormatFixed(plain.first, 11, 3));
    EXPECT_EQ(outputs[0].at(F::OutputY), FormatFixed(plain.second, 11, 3));
    EXPECT_EQ(outputs[0].at(F::OutputHeight), "");
    EXPECT_EQ(outputs[1].at(F::OutputHeight), FormatFixed(high.third, 8, 3));
    // A later point without height is not given the height typed before.
    EXPECT_EQ(outputs[2].at(F::OutputHeight), "");
    EXPECT_EQ(outputs[2].at(F::OutputX), outputs[0].at(F::OutputX));
}

TEST_F(InteractiveCommandTest, InvalidFieldReopensTheDialogWithTheEntriesKept)
{
    dialog.kind = PointDialogKind::PlaneToGeodetic;
    std::string kept;
    dialog.steps = {
        [](ScriptedDialog& d) { d.Type({{F::InputX, "5x0000"}, {F::InputY, "400000"}}); return true; },
        [&](ScriptedDialog& d) {
            kept = d.Text(F::InputX);
            d.Type({{F::InputX, "500000"}, {F::InputY, "400000"}, {F::InputHeight, "100"}});
            return true;
        },
        [](ScriptedDialog&) { return false; },
    };
    Run("stereo70-etrs89");
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Coordonata x invalida!"});
    EXPECT_EQ(kept, "5x0000");

    const ChainResult out = Expected(TransformationType::Stereo70ToEtrs, 1, 400000.0, 500000.0, 100.0);
    EXPECT_EQ(dialog.Text(F::OutputX), AngleText(out.first * 3600.0, AngleForm::DegreeSign) + "N");
    EXPECT_EQ(dialog.Text(F::OutputY), AngleText(out.second * 3600.0, AngleForm::DegreeSign) + "E");
    EXPECT_EQ(dialog.Text(F::OutputHeight), FormatFixed(out.third, 8, 3));
    EXPECT_EQ(dialog.Text(F::OutputX).find('\xB0'), 3u);
}

TEST_F(InteractiveCommandTest, TransverseMercatorAsksTheZoneEveryPoint)
{
    ui.zones = {std::nullopt, 35};
    std::map<PointField, std::string> afterCancelledZone;
    dialog.steps = {
        [](ScriptedDialog& d) {
            d.Type({{F::InputX, "500000"}, {F::InputY, "600000"}, {F::InputHeight, "80"}});
            return true;
        },
        [&](ScriptedDialog& d) { afterCancelledZone = d.edits; return true; },
    };
    Run("stereo70-tm");
    EXPECT_EQ(ui.zoneShown, 2);
    EXPECT_EQ(ui.consoleOpen, 0);
    EXPECT_EQ(afterCancelledZone.at(F::OutputX), "");
    EXPECT_EQ(afterCancelledZone.at(F::OutputY), "");

    const ChainResult out = [&] {
        GridCache grids;
        CoreEnv env{data.Path(), 35, grids};
        return test::MustTransform(env, TransformationType::Stereo70ToTmZone35, 1, 600000.0, 500000.0, 80.0);
    }();
    EXPECT_EQ(dialog.Text(F::OutputX), FormatFixed(out.first, 11, 3));
    EXPECT_EQ(dialog.Text(F::OutputY), FormatFixed(out.second, 12, 3));
    EXPECT_EQ(dialog.Text(F::OutputHeight), FormatFixed(out.third, 8, 3));
    EXPECT_EQ(dialog.Text(F::OutputY).size(), 12u);
}

TEST_F(InteractiveCommandTest, PointThatCannotBeTransformedEndsTheProgram)
{
    dialog.steps = {[](ScriptedDialog& d) { d.Type({{F::InputX, "10"}, {F::InputY, "10"}}); return true; }};
    try {
        Run("stereo70-laea");
        FAIL() << "the command should have failed";
    } catch (const FatalError& error) {
        EXPECT_STREQ(error.what(), "Eroare: nu se poate transforma punctul introdus");
    }
    EXPECT_EQ(ui.consoleOpen, 0);
    EXPECT_EQ(ui.console.Reads(), 1);
}

TEST_F(InteractiveCommandTest, ConfirmationChecksTheCommandsDataFiles)
{
    ctx.workDir = work.Path();
    ctx.planeGridPath = data / "missing.GRD";
    ctx.heightGridPath = data / kQuasigeoidGridName;
    ctx.parameterPath = data / "missing.PAR";
    EXPECT_EQ(ConfirmPointDialog(ctx, PointDialogKind::Geodetic), "Fisier grid lipsa sau invalid!");
    EXPECT_EQ(ConfirmPointDialog(ctx, PointDialogKind::Stereo30Model), "Fisier cu parametri lipsa sau invalid !");
    EXPECT_FALSE(ctx.dialogConfirmed);
    // The plane dialog of the Transverse Mercator and LAEA commands checks nothing.
    EXPECT_EQ(ConfirmPointDialog(ctx, PointDialogKind::Plane), std::nullopt);
    EXPECT_TRUE(ctx.dialogConfirmed);

    ctx.planeGridPath = data / kStereo70GridName;
    ctx.heightGridPath = data / "nothing.GRD";
    EXPECT_EQ(ConfirmPointDialog(ctx, PointDialogKind::PlaneToGeodetic), "Fisier grid lipsa sau invalid!");
    ctx.heightGridPath = data / kQuasigeoidGridName;
    EXPECT_EQ(ConfirmPointDialog(ctx, PointDialogKind::PlaneToGeodetic), std::nullopt);
    EXPECT_TRUE(ctx.dialogConfirmed);
}

class InteractiveModelTest : public InteractiveCommandTest {
protected:
    void SetUp() override
    {
        InteractiveCommandTest::SetUp();
        test::WriteNodeGrid(data / "Stereo30_Stereo70_2D.GRD", {330000.0, 560000.0, 1000.0, 4, 4},
                            [](int, int) { return test::NodeValues{0.25, -0.125, 9.0}; });
        test::WriteParameters(data / "Stereo30_Stereo70_2D.PAR", test::ShiftModel(100.0, -50.0));
    }
};

TEST_F(InteractiveModelTest, PointGoesThroughTheTemporarySourceAndTheModel)
{
    std::map<PointField, std::string> first;
    std::string source;
    dialog.steps = {
        [](ScriptedDialog& d) { d.Type({{F::InputX, "330400"}, {F::InputY, "560700"}}); return true; },
        [&](ScriptedDialog& d) {
            first = d.edits;
            source = test::ReadBytes(work / "INPUT.TMP");
            d.Type({{F::InputX, "300000"}});
            return true;
        },
        [](ScriptedDialog& d) { d.Type({{F::InputX, "33o400"}}); return true; },
    };
    Run("stereo30-stereo70");
    EXPECT_EQ(source, "PROIECT:\r\nInteractiv, 330400, 560700\r\nENDF\r\n");
    EXPECT_EQ(first.at(F::OutputX), "560649.875");
    EXPECT_EQ(first.at(F::OutputY), "330500.250");
    // A point outside the model's grid empties the outputs and says so.
    EXPECT_EQ(dialog.notes, std::vector<std::string>{"Mesaj de informare: Punctul este in afara gridului de distorsiuni!"});
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Coordonata x invalida!"});
    EXPECT_EQ(dialog.Text(F::OutputX), "");
    EXPECT_EQ(ctx.resultPath, (work / "OUTPUT.TMP").string());
    EXPECT_FALSE(ctx.interactiveMode);
}

TEST_F(InteractiveModelTest, MissingModelFilesAreRefusedByTheDialog)
{
    fs::remove(data / "Stereo30_Stereo70_2D.PAR");
    dialog.steps = {[](ScriptedDialog& d) { d.Type({{F::InputX, "330400"}, {F::InputY, "560700"}}); return true; }};
    Run("romania-stereo30-stereo70");
    EXPECT_EQ(dialog.refusals, std::vector<std::string>{"Fisier cu parametri lipsa sau invalid !"});
    EXPECT_FALSE(fs::exists(work / "PNXYZ.REC"));
}

} // namespace
} // namespace velmora
