// The model application of the plain codes end to end: cell assignment, signal, final
// coordinates, the result file byte for byte, interactive results and the engine's own failures.
#include "model/DistortionModel.h"
#include "ModelTestSupport.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using test::MakePoint;
using test::NodeValues;
using test::TempDir;

class EngineTest : public ::testing::Test {
protected:
    // 4 x 4 nodes from (330000, 560000) at 1000 m with the signal (0.25, -0.125); the north-east
    // node lies outside the model zone. The model's Helmert step shifts by (100, -50).
    void SetUp() override
    {
        test::WriteNodeGrid(dir / "M.GRD", {330000.0, 560000.0, 1000.0, 4, 4},
                            [](int, int) { return NodeValues{0.25, -0.125, 9.0}; },
                            [](int c, int r) { return c == 3 && r == 3; });
        test::WriteParameters(dir / "M.PAR", test::ShiftModel(100.0, -50.0));
        test::WriteBytes(dir / "INPUT.TXT", "Lucrare Bucuresti\r\nA, 1, 2\r\nENDF");
        test::WritePoints(dir / "PNXYZ.REC", {MakePoint("A", 330400.0, 560700.0), MakePoint("OUT", 300000.0, 560000.0),
                                              MakePoint("B", 331900.0, 562100.0), MakePoint("C", 332500.0, 562600.0)});
    }

    // Code '5' writes Stereo70 North first, code '6' Stereo30 East first.
    std::vector<InteractiveResult> Run(char code, bool interactive = false, bool regressionApplied = false)
    {
        const ResultLayout layout = code == '5' ? ResultLayout::ModelNorthFirst : ResultLayout::ModelEastFirst;
        const ModelApplicationJob job{layout, dir / "PNXYZ.REC", dir / "INPUT.TXT", dir / "OUT.TXT", 'P',
                                      regressionApplied, interactive};
        return RunModelApplication(dir / "M.GRD", dir / "M.PAR", job);
    }

    TempDir dir;
};

TEST_F(EngineTest, ResultFileListsTheTargetSystemsColumnsAndTheOutsidePoints)
{
    EXPECT_TRUE(Run('5').empty());
    EXPECT_EQ(test::ReadBytes(dir / "OUT.TXT"), "Lucrare Bucuresti\r\n"
                                                "A, 560649.875, 330500.250\r\n"
                                                "OUT - exterior gridului de distorsiuni\r\n"
                                                "B, 562049.875, 332000.250\r\n"
                                                "C - exterior gridului de distorsiuni\r\n"
                                                "ENDF");
    const auto points = test::ReadPoints(dir / "PNXYZ.REC");
    EXPECT_EQ(points[0].modelWork2[3], 330500.25);
    EXPECT_EQ(points[0].modelWork2[4], 560649.875);
    // Outside the grid the final coordinates are the Helmert ones, without a signal.
    EXPECT_EQ(points[1].modelWork2[3], 300100.0);
    EXPECT_EQ(points[3].pointState, 'E');
    EXPECT_EQ(points[3].modelWork2[4], 562550.0);

    // Stereo70 -> Stereo30 writes East first. A second run recomputes the same values.
    Run('6');
    EXPECT_EQ(test::ReadBytes(dir / "OUT.TXT"), "Lucrare Bucuresti\r\n"
                                                "A, 330500.250, 560649.875\r\n"
                                                "OUT - exterior gridului de distorsiuni\r\n"
                                                "B, 332000.250, 562049.875\r\n"
                                                "C - exterior gridului de distorsiuni\r\n"
                                                "ENDF");
}

TEST_F(EngineTest, RegressionTrendReplacesTheHelmertCoordinates)
{
    ModelParameterRecord model = test::ShiftModel(100.0, -50.0);
    model.regressionPresent = 1;
    model.termCount = {1, 1, 0};
    model.Term(0, 1).coefficient = 0.000002; // 2 m
    model.meanHelmert = {330000.0, 560000.0, 0.0};
    model.meanSystem2 = {330001.0, 559999.0, 0.0};
    test::WriteParameters(dir / "M.PAR", model);
    Run('5');
    const auto points = test::ReadPoints(dir / "PNXYZ.REC");
    EXPECT_NEAR(points[0].regression[0], 330503.0, 1e-9);
    EXPECT_NEAR(points[0].modelWork2[3], 330503.25, 1e-9);
    EXPECT_NEAR(points[0].modelWork2[4], 560648.875, 1e-9);
    EXPECT_NEAR(points[1].modelWork2[3], 300103.0, 1e-9);
    EXPECT_EQ(test::ReadBytes(dir / "OUT.TXT").substr(19, 27), "A, 560648.875, 330503.250\r\n");
}

TEST_F(EngineTest, InteractiveModeDeliversTheDialogsTexts)
{
    const auto results = Run('5', true);
    ASSERT_EQ(results.size(), 4u);
    EXPECT_FALSE(results[0].outsideGrid);
    EXPECT_EQ(results[0].resultText1, "560649.875");
    EXPECT_EQ(results[0].resultText2, "330500.250");
    EXPECT_TRUE(results[1].outsideGrid);
    EXPECT_TRUE(results[3].outsideGrid);

    const auto swapped = Run('6', true);
    EXPECT_EQ(swapped[2].resultText1, "332000.250");
    EXPECT_EQ(swapped[2].resultText2, "562049.875");
}

TEST_F(EngineTest, UnusableNewPointFilesStopTheRun)
{
    const DistortionModel model = LoadDistortionModel(dir / "M.GRD", dir / "M.PAR");
    auto message = [&](const std::filesystem::path& points) {
        try {
            ApplyDistortionModel(model, {ResultLayout::ModelNorthFirst, points, dir / "INPUT.TXT", dir / "OUT.TXT", 'P', false, false});
        } catch (const FatalError& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    test::WriteBytes(dir / "EMPTY.REC", "");
    EXPECT_EQ(message(dir / "EMPTY.REC"), "Eroare: fis. fara puncte de transformat!");
    EXPECT_EQ(message(dir / "MISSING.REC"), "Eroare: fis. invalid cu puncte noi si referinte la noduri!");
    test::WriteBytes(dir / "RAGGED.REC", std::string(400, '\0'));
    EXPECT_EQ(message(dir / "RAGGED.REC"), "Eroare: fis. invalid cu puncte noi si referinte la noduri!");
    EXPECT_FALSE(std::filesystem::exists(dir / "OUT.TXT"));
}

} // namespace
} // namespace velmora
