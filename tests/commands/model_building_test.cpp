// The model-building commands as the menu runs them: the open dialog and the wait label, the
// message boxes with their captions and icons, the transformation code and the regression flag
// they leave, the progress of the adjustment, and their rows in the command table.
#include "building/BuildRun.h"
#include "commands/CommandTable.h"
#include "commands/ModelBuildingCommands.h"
#include "commands/Ui.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace velmora {
namespace {

namespace fs = std::filesystem;

class ScriptedUi : public Ui {
public:
    std::optional<fs::path> source;
    std::vector<std::string> boxes; // caption, icon letter and text of every message box
    std::vector<std::string> information;
    std::vector<bool> label;
    std::uint64_t progressCalls = 0;
    bool progressEnded = false;

    bool SelectFiles(CommandContext&, const std::string&) override { return false; }
    bool SelectZone(CommandContext&) override { return false; }
    void ShowMessage(const std::string& text) override { boxes.push_back("error: " + text); }
    void ShowInformation(const std::string& text) override { information.push_back(text); }
    void ShowMessageBox(const std::string& text, const std::string& caption, MessageIcon icon) override
    {
        boxes.push_back(caption + (icon == MessageIcon::Warning ? " (!): " : " (i): ") + text);
    }
    std::optional<fs::path> SelectSourceFile() override { return source; }
    std::optional<fs::path> SelectGridFile() override { return std::nullopt; }
    void ShowWaitLabel(bool visible) override { label.push_back(visible); }
    ErrorConsole& OpenConsole() override { return console; }
    void CloseConsole() override {}
    void Progress(std::uint64_t done, std::uint64_t total) override
    {
        ++progressCalls;
        progressEnded = done == total;
    }

    test::RecordingConsole console;
};

class ModelBuildingCommands : public ::testing::Test {
protected:
    void SetUp() override { fs::copy_file(fs::path(VELMORA_BUILDING_FIXTURES_DIR) / "plane_model.txt", source); }

    test::TempDir dir;
    fs::path source = dir / "model.txt";
    CommandContext ctx;
    ScriptedUi ui;
};

TEST_F(ModelBuildingCommands, CancellingTheDialogDoesNothing)
{
    BuildPlaneModel(ctx, ui, dir.Path());
    EXPECT_EQ(ui.label, (std::vector<bool>{true}));
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(ctx.transformationCode, 0);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST_F(ModelBuildingCommands, RegressionRunKeepsTheCodeAndItsFlag)
{
    ui.source = source;
    ctx.transformationCode = '4';
    BuildPlaneRegressionModel(ctx, ui, dir.Path());
    EXPECT_EQ(ui.boxes, (std::vector<std::string>{
                            "Mesaj de atentionare (!): S-a executat TRANSFORMAREA GLOBALA!",
                            "Mesaj de atentionare (!): S-a executat MODELAREA TRENDULUI REGIONAL (REGRESIA)!"}));
    ASSERT_EQ(ui.information.size(), 1u);
    EXPECT_TRUE(ui.information[0].ends_with("model.PAR (fis. binar)."));
    EXPECT_EQ(ui.label, (std::vector<bool>{true, false}));
    EXPECT_EQ(ctx.transformationCode, '4');
    // The trend belongs to the model just built; the Bucharest commands keep theirs.
    EXPECT_FALSE(ctx.regression);
    EXPECT_GT(ui.progressCalls, 1u);
    EXPECT_TRUE(ui.progressEnded);

    // The plane command without regression sets its code.
    BuildPlaneModel(ctx, ui, dir.Path());
    EXPECT_EQ(ctx.transformationCode, kPlaneWithoutRegressionCode);
    EXPECT_EQ(ui.boxes.size(), 3u);
}

TEST_F(ModelBuildingCommands, UnimplementedAndEmptyItems)
{
    ShowNotImplemented(ctx, ui, dir.Path());
    DoNothing(ctx, ui, dir.Path());
    EXPECT_EQ(ui.boxes, (std::vector<std::string>{"Mesaj de informare (i): OPTIUNE NEIMPLEMENTATA"}));
    EXPECT_TRUE(ui.label.empty());
}

TEST(ModelBuildingTable, CommandLineNamesAreHiddenMenuCommands)
{
    for (const ModelBuildingName& entry : kModelBuildingNames) {
        const MenuCommand* command = FindCommand(entry.name);
        ASSERT_NE(command, nullptr) << entry.name;
        EXPECT_TRUE(command->hidden);
        EXPECT_NE(command->run, nullptr);
    }
    EXPECT_EQ(FindCommand("plane")->run, &BuildPlaneModel);
    EXPECT_EQ(FindCommand("3d-regression")->run, &BuildSpatialRegressionModel);
    EXPECT_EQ(FindCommand("zeta")->run, &ShowNotImplemented);
    EXPECT_EQ(FindCommand("etrs89-stereo70-h")->run, &DoNothing);
}

} // namespace
} // namespace velmora
