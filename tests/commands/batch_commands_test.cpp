// The "Din fisier" sequence with scripted dialogs, on grids the tests write themselves.
#include "commands/BatchCommands.h"
#include "commands/FileSelection.h"
#include "commands/WorkFolder.h"
#include "core/CorrectionGrid.h"
#include "core/TransformPoint.h"
#include "files/FatalError.h"
#include "files/NumberText.h"
#include "files/RecordFile.h"
#include "commands/CommandGrids.h"
#include "model/ModelTestSupport.h"
#include "support/TestSupport.h"
#include "support/Transform.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <thread>
#include <tuple>

namespace velmora {
namespace {

namespace fs = std::filesystem;

// Answers the dialogs as scripted and records what the command showed.
class ScriptedUi : public Ui {
public:
    std::string source;
    std::string result;
    bool confirmFiles = true;
    std::optional<int> zone = 34;
    std::vector<std::string> messages;
    std::vector<std::string> information;
    test::RecordingConsole console;
    int consoleOpen = 0;
    // Runs once the dialog has accepted the files, before the command reads them.
    std::function<void()> afterSelection;

    bool SelectFiles(CommandContext& ctx, const std::string&) override
    {
        if (!confirmFiles)
            return false;
        ctx.inputPath = source;
        ctx.resultPath = result;
        if (const auto message = ValidateFileSelection(ctx)) {
            messages.push_back(*message);
            return false;
        }
        if (afterSelection)
            afterSelection();
        return ctx.dialogConfirmed;
    }
    bool SelectZone(CommandContext& ctx) override
    {
        if (!zone)
            return false;
        ctx.tmZone = *zone;
        return true;
    }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void ShowInformation(const std::string& text) override { information.push_back(text); }
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

class BatchCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::WriteDispatcherGrids(data.Path());
        ctx.startDir = data.Path();
        ui.source = (work / "src.txt").string();
        ui.result = (work / "rez.txt").string();
    }

    void Run(std::string_view codeOrName)
    {
        RunBatchCommand(ctx, ui, *FindTransformation(codeOrName)->transformation, work.Path());
    }

    test::TempDir data;
    test::TempDir work;
    CommandContext ctx;
    ScriptedUi ui;
};

TEST_F(BatchCommandTest, GeodeticSourceToStereo70)
{
    test::WriteBytes(work / "src.txt", "Titlu lucrare\r\nA1, 45 30 15.5, 25 10 5.25, 120.3\r\nb 2, 46 0 0, 26 0 0\r\nENDF");
    Run("etrs89-stereo70");
    ASSERT_EQ(ui.information, std::vector<std::string>{"Fisierul rezultat este: " + ui.result + "."});
    EXPECT_EQ(ui.consoleOpen, 0);

    GridCache grids;
    CoreEnv env{data.Path(), 34, grids};
    const ChainResult a = test::MustTransform(env, TransformationType::EtrsToStereo70, 1, 25 + 10 / 60.0 + 5.25 / 3600,
                                              45 + 30 / 60.0 + 15.5 / 3600, 120.3);
    const ChainResult b = test::MustTransform(env, TransformationType::EtrsToStereo70, 0, 26.0, 46.0, 0.0);
    const std::string expected = "Titlu lucrare\r\nA1, " + FormatFixed(a.first, 11, 3) + ", " +
                                 FormatFixed(a.second, 11, 3) + ", " + FormatFixed(a.third, 8, 3) + "\r\nB 2, " +
                                 FormatFixed(b.first, 11, 3) + ", " + FormatFixed(b.second, 11, 3) +
                                 ", fara_cota\r\nENDF";
    EXPECT_EQ(test::ReadBytes(ui.result), expected);

    // The result is a source for the inverse command, which gives the angles back.
    ui.source = ui.result;
    ui.result = (work / "back").string();
    Run("4");
    const std::string back = test::ReadBytes(work / "back.txt");
    // Millimetres in the plane are a few hundred-thousandths of a second.
    EXPECT_NE(back.find("A1, 45\xB0" "30'15.49999\"N"), std::string::npos) << back;
    EXPECT_NE(back.find("\"N, 25\xB0" "10'05.2"), std::string::npos) << back;
    EXPECT_NE(back.find(",   120.300\r\n"), std::string::npos) << back;
}

TEST_F(BatchCommandTest, FailingPointEndsTheCommandAndKeepsAnEarlierResult)
{
    test::WriteBytes(work / "src.txt", "T\nP1, 45 0 0, 26 0 0, 1\nP2, 46 0 0, 25 0 0\nP3, 45 0 0, 40 0 0, 2\nP4, 45 0 0, 25 0 0\n");
    test::WriteBytes(work / "rez.txt", "earlier result");
    try {
        Run("3");
        FAIL() << "the command should have failed";
    } catch (const FatalError& error) {
        EXPECT_STREQ(error.what(), "Eroare: nu se poate transforma punctul P3");
    }
    EXPECT_EQ(ui.consoleOpen, 0);
    EXPECT_NE(ui.console.Text().find("Error: Outside bounding box"), std::string::npos);
    EXPECT_EQ(test::ReadBytes(work / "rez.txt"), "earlier result");
    EXPECT_FALSE(fs::exists(work / "rez.txt.partial"));
    PointFile points = PointFile::OpenForUpdate(work / "PNXYZ.REC");
    ASSERT_EQ(points.Size(), 4u);
    EXPECT_GT(points.Read(0).result[0], 100000.0);
    EXPECT_GT(points.Read(1).result[0], 100000.0);
    EXPECT_EQ(points.Read(3).result[0], 0.0);
}

TEST_F(BatchCommandTest, CancelledDialogsTouchNothing)
{
    test::WriteBytes(work / "src.txt", "T\nP1, 500000, 500000, 10\n");
    ui.confirmFiles = false;
    Run("stereo70-tm");
    ui.confirmFiles = true;
    ui.zone.reset();
    Run("stereo70-tm");
    EXPECT_FALSE(fs::exists(work / "PNXYZ.REC"));
    EXPECT_FALSE(fs::exists(work / "rez.txt"));
    EXPECT_TRUE(ui.information.empty());

    ui.zone = 35;
    Run("stereo70-tm");
    EXPECT_EQ(ctx.tmZone, 35);
    EXPECT_TRUE(fs::exists(work / "rez.txt"));
}

TEST_F(BatchCommandTest, UnreadableSourceAndSyntaxErrorsAreFatal)
{
    const auto failure = [&] { return FailureOf([&] { Run("3"); }); };
    test::WriteBytes(work / "src.txt", "T\n");
    EXPECT_EQ(failure(), "Eroare: fisier sursa fara coordonate de transformat!");
    EXPECT_FALSE(fs::exists(work / "rez.txt"));

    // The source disappears between the dialog and the parse: both messages, no result.
    test::WriteBytes(work / "src.txt", "T\nP1, 45 0 0, 25 0 0\n");
    ui.afterSelection = [&] { fs::remove(work / "src.txt"); };
    EXPECT_EQ(failure(), "Eroare: Fisier cu date initiale invalid!\nEroare I/O fisier sursa!");
    EXPECT_FALSE(fs::exists(work / "rez.txt"));
    EXPECT_FALSE(fs::exists(work / "rez.txt.partial"));
}

TEST_F(BatchCommandTest, BucharestModelWritesItsOwnResult)
{
    test::WriteNodeGrid(data / "Stereo30_Stereo70_2D.GRD", {330000.0, 560000.0, 1000.0, 4, 4},
                        [](int, int) { return test::NodeValues{0.25, -0.125, 0.0}; });
    test::WriteParameters(data / "Stereo30_Stereo70_2D.PAR", test::ShiftModel(100.0, -50.0));
    test::WriteBytes(work / "src.txt", "Lucrare\nA, 330400, 560700\nOUT, 300000, 560000\n");
    test::WriteBytes(work / "rez.txt", "earlier result");
    Run("stereo30-stereo70");
    EXPECT_EQ(test::ReadBytes(work / "rez.txt"), "Lucrare\r\nA, 560649.875, 330500.250\r\n"
                                         "OUT - exterior gridului de distorsiuni\r\nENDF");
    EXPECT_EQ(ui.information.size(), 1u);

    // The node grid is checked by the file dialog before anything is parsed.
    fs::remove(data / "Stereo30_Stereo70_2D.GRD");
    Run("5");
    EXPECT_EQ(ui.messages, std::vector<std::string>{kMessageBadGrid});
}

TEST(CommandTable, HiddenTwinsRunTheBucharestFilesAndUnbuiltCommandsStayHidden)
{
    std::set<std::string> names;
    for (const MenuCommand& command : MenuCommands()) {
        EXPECT_TRUE(names.insert(command.name).second) << command.name;
        // A command without anything to run is never offered.
        if (command.transformation == nullptr && command.run == nullptr) {
            EXPECT_TRUE(command.hidden) << command.name;
        }
    }
    for (const char* code : {"5", "6", "8", "9"}) {
        const MenuCommand* visible = FindTransformation(code);
        ASSERT_NE(visible, nullptr) << code;
        EXPECT_EQ(visible->menu, CommandMenu::Bucharest);
        const MenuCommand* twin = FindCommand(std::string("romania-") + visible->name);
        ASSERT_NE(twin, nullptr) << code;
        EXPECT_TRUE(twin->hidden);
        EXPECT_EQ(FindTransformation(twin->name), nullptr);
        const BatchSpec& a = visible->transformation->batch;
        const BatchSpec& b = twin->transformation->batch;
        EXPECT_EQ(std::tie(a.code, a.caption, a.planeGrid, a.parameterFile),
                  std::tie(b.code, b.caption, b.planeGrid, b.parameterFile));
    }
}

TEST(FileSelection, RefusesTheSameFileUnderAnyName)
{
    test::TempDir dir;
    test::WriteBytes(dir / "a.txt", "T\n");
    fs::create_symlink(dir / "a.txt", dir / "link.txt");
    CommandContext ctx;
    ctx.transformationCode = '3';
    for (const std::string& result : {(dir / "a.txt").string(), (dir / "A.TXT").string(), (dir / "sub/../a.dat").string(),
                                      (dir / "link.txt").string(), (dir / "a").string()}) {
        ctx.inputPath = (dir / "a.txt").string();
        ctx.resultPath = result;
        EXPECT_EQ(ValidateFileSelection(ctx), std::optional<std::string>(kMessageSameFile)) << result;
        EXPECT_EQ(test::ReadBytes(dir / "a.txt"), "T\n");
    }
}

TEST(FileSelection, ChecksInOrderAndKeepsExistingFiles)
{
    test::TempDir dir;
    test::WriteBytes(dir / "src.txt", "T\n");
    test::WriteBytes(dir / "old.txt", "keep me");
    CommandContext ctx;
    ctx.transformationCode = '4';
    ctx.inputPath = (dir / "src.txt").string();
    ctx.resultPath = (dir / "old.dat").string();
    EXPECT_EQ(ValidateFileSelection(ctx), std::nullopt);
    EXPECT_TRUE(ctx.dialogConfirmed);
    EXPECT_EQ(ctx.resultPath, (dir / "old.txt").string());
    EXPECT_EQ(test::ReadBytes(dir / "old.txt"), "keep me");

    ctx.resultPath = (dir / "new").string();
    EXPECT_EQ(ValidateFileSelection(ctx), std::nullopt);
    EXPECT_EQ(ctx.resultPath, (dir / "new.txt").string());
    EXPECT_FALSE(fs::exists(dir / "new.txt"));

    ctx.resultPath = (dir / "missing-dir" / "r.txt").string();
    EXPECT_EQ(ValidateFileSelection(ctx), std::optional<std::string>(kMessageBadResult));
    EXPECT_FALSE(ctx.dialogConfirmed);
    ctx.inputPath = (dir / "missing.txt").string();
    EXPECT_EQ(ValidateFileSelection(ctx), std::optional<std::string>(kMessageBadSource));
    ctx.inputPath.clear();
    ctx.resultPath = (dir / "r.txt").string();
    EXPECT_EQ(ValidateFileSelection(ctx), std::optional<std::string>(kMessageBadSource));

    // The model commands check their data files; the last failing check names the message.
    ctx.transformationCode = '5';
    ctx.inputPath = (dir / "missing.txt").string();
    ctx.planeGridPath = dir / "grid.GRD";
    ctx.parameterPath = dir / "grid.PAR";
    EXPECT_EQ(ValidateFileSelection(ctx), std::optional<std::string>(kMessageBadParameters));
    test::WriteBytes(dir / "grid.PAR", std::string(4552, '\0'));
    EXPECT_EQ(ValidateFileSelection(ctx), std::optional<std::string>(kMessageBadGrid));
    test::WriteBytes(dir / "grid.GRD", std::string(311, '\0'));
    EXPECT_EQ(ValidateFileSelection(ctx), std::optional<std::string>(kMessageBadGrid));
    test::WriteBytes(dir / "grid.GRD", std::string(624, '\0'));
    EXPECT_EQ(ValidateFileSelection(ctx), std::optional<std::string>(kMessageBadSource));
}

// Sets a flag once the command has said that it waits.
class NotingUi : public ScriptedUi {
public:
    std::atomic<bool> noted{false};
    void NoteWait(const std::string& text) override
    {
        ScriptedUi::NoteWait(text);
        noted = true;
    }
};

TEST(WorkFolderLock, ASecondCommandWaitsForTheFirstAndSaysSo)
{
    test::TempDir work;
    NotingUi second;
    std::atomic<bool> acquired{false};
    std::thread waiting;
    {
        ScriptedUi firstUi;
        const WorkFolderLock first(work.Path(), firstUi);
        waiting = std::thread([&] {
            const WorkFolderLock lock(work.Path(), second);
            acquired = true;
        });
        for (int k = 0; k < 10000 && !second.noted; ++k)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ASSERT_TRUE(second.noted);
        EXPECT_FALSE(acquired);
        EXPECT_TRUE(firstUi.messages.empty());
    }
    waiting.join();
    EXPECT_TRUE(acquired);
    EXPECT_EQ(second.messages, (std::vector<std::string>{"Alta comanda lucreaza in folderul " + work.Path().string()
                                                         + "; se asteapta terminarea ei..."}));
    // A folder that takes no lock file is an error, not a run without the lock.
    ScriptedUi ui;
    EXPECT_THROW(WorkFolderLock(work / "missing", ui), FatalError);
}

} // namespace
} // namespace velmora
