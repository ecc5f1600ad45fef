// The parameter file's layout read from bytes placed by offset, the model's Helmert step and
// regression trend, the checks on the two model files, and the cell assignment.
#include "model/GridCells.h"
#include "model/ModelParameters.h"
#include "model/NodeGrid.h"
#include "ModelTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include <sys/stat.h>

namespace velmora {
namespace {

using test::GridSpec;
using test::MakePoint;
using test::NodeValues;
using test::TempDir;

std::string MessageOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const FatalError& e) {
        return e.what();
    }
    return "no error";
}

TEST(ModelParameters, RecordZeroIsReadAtTheFileFormatsOffsets)
{
    TempDir dir;
    std::string bytes(2 * 4552, '\x55'); // record 1 must not be read
    std::fill_n(bytes.begin(), 4552, '\0');
    auto put = [&](std::size_t offset, auto value) { std::memcpy(&bytes[offset], &value, sizeof value); };
    put(112, std::uint8_t{1});
    put(118, std::uint16_t{5});
    put(120, std::uint16_t{6});
    put(122, std::uint16_t{59});
    put(112 + 16 * 1, 0.125);          // component 0, term 1
    put(112 + 960 + 16 * 3, 2.5);      // component 1, term 3
    put(112 + 960 + 16 * 3 + 8, std::uint8_t{2});
    put(112 + 960 + 16 * 3 + 9, std::uint8_t{1});
    put(112 + 960 + 16 * 3 + 10, std::uint8_t{1});
    put(112 + 1920 + 16 * 59, -1.5);   // component 2, term 59
    put(3008 + 8, 560000.0);
    put(3032 + 16, 12.0);
    put(3080 + 480 * 2 + 8 * 59, 0.25); // error of component 2, term 60
    put(4520, 10.0);
    put(4528, 20.0);
    put(4536, 1.0);
    put(4544, 0.5);
    test::WriteBytes(dir / "m.par", bytes);

    const ModelParameterRecord m = LoadModelParameters(dir / "m.par");
    EXPECT_EQ(m.regressionPresent, 1);
    EXPECT_EQ(m.termCount, (std::array<std::uint16_t, 3>{5, 6, 59}));
    EXPECT_EQ(m.Term(0, 1).coefficient, 0.125);
    EXPECT_EQ(m.Term(1, 3).coefficient, 2.5);
    EXPECT_EQ(m.Term(1, 3).powerU, 2);
    EXPECT_EQ(m.Term(1, 3).powerV, 1);
    EXPECT_EQ(m.Term(1, 3).inUse, 1);
    EXPECT_EQ(m.Term(2, 59).coefficient, -1.5);
    EXPECT_EQ(m.meanHelmert[1], 560000.0);
    EXPECT_EQ(m.meanSystem2[2], 12.0);
    EXPECT_EQ(m.coefficientError[2][59], 0.25);
    EXPECT_EQ(m.helmertShiftE, 10.0);
    EXPECT_EQ(m.helmertShiftN, 20.0);
    EXPECT_EQ(m.helmertA, 1.0);
    EXPECT_EQ(m.helmertB, 0.5);
}

TEST(ModelParameters, HelmertStepAndRegressionTrend)
{
    ModelParameterRecord m{};
    m.helmertA = 0.9999;
    m.helmertB = 0.0002;
    m.helmertShiftE = 100.0;
    m.helmertShiftN = -50.0;
    PointRecord p = MakePoint("P", 330000.0, 560000.0);
    p.result[2] = 3.0;
    ApplyModelHelmert(p, m);
    EXPECT_NEAR(p.result[0], 329967.0 - 112.0 + 100.0, 1e-9);
    EXPECT_NEAR(p.result[1], 66.0 + 559944.0 - 50.0, 1e-9);
    EXPECT_EQ(p.result[2], 3.0);
    ApplyModelHelmert(p, ModelParameterRecord{}); // the all-zero record of a fresh model
    EXPECT_EQ(p.result[0], 0.0);
    EXPECT_EQ(p.result[1], 0.0);

    // The seven-parameter model: a quarter turn about Z, scale 2, then the shift.
    m.helmert3DRotation = {0.0, -1.0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0, 1.0};
    m.helmert3DScale = 2.0;
    m.helmert3DShift = {10.0, 20.0, 30.0};
    p.sys1 = {1.0, 2.0, 3.0};
    ApplyModelHelmert3D(p, m);
    EXPECT_EQ(p.result, (std::array<double, 3>{6.0, 22.0, 36.0}));

    // The four basic terms with zero coefficients move the Helmert value by the mean difference.
    m.regressionPresent = 1;
    m.termCount = {4, 5, 2};
    m.meanHelmert = {330000.0, 560000.0, 50.0};
    m.meanSystem2 = {330100.0, 559900.0, 52.0};
    const std::uint8_t basic[4][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};
    for (int c = 0; c < 3; ++c)
        for (int k = 1; k <= 4; ++k)
            m.Term(c, k) = {0.0, basic[k - 1][0], basic[k - 1][1], 1, {}};
    p.result = {340000.0, 570000.0, 60.0};
    EvaluateRegression(p, m, 'P');
    EXPECT_NEAR(p.regression[0], 340100.0, 1e-9);
    EXPECT_NEAR(p.regression[1], 569900.0, 1e-9);
    EXPECT_EQ(p.regression[2], 0.0);

    // u = v = 0.01 (millions of metres from the means): 0.5 v + 3 u^2 v, scaled back by 10^6.
    m.Term(1, 2).coefficient = 0.5;
    m.Term(1, 5) = {3.0, 2, 1, 0, {}};
    m.Term(2, 1).coefficient = 0.002;
    EvaluateRegression(p, m, 'P');
    EXPECT_NEAR(p.regression[1], 569900.0 + 5000.0 + 3.0, 1e-8);
    EXPECT_EQ(p.regression[2], 0.0);
    EvaluateRegression(p, m, 'G');
    EXPECT_NEAR(p.regression[2], 62.0 + 2000.0, 1e-9);
}

TEST(ModelFiles, BadFilesAreRefusedWithTheirNameAndFault)
{
    TempDir dir;
    const auto path = dir / "x.bin";
    auto expectRefusal = [&](const std::string& gridFault, const std::string& parameterFault) {
        EXPECT_EQ(MessageOf([&] { NodeGrid::Load(path); }), "Eroare: fisierul grid " + path.string() + " " + gridFault);
        if (!parameterFault.empty()) {
            EXPECT_EQ(MessageOf([&] { LoadModelParameters(path); }),
                      "Eroare: fisierul de parametri " + path.string() + " " + parameterFault);
        }
    };
    expectRefusal("lipseste sau nu poate fi deschis!", "lipseste sau nu poate fi deschis!");
    test::WriteBytes(path, "");
    expectRefusal("este gol!", "este gol!");
    test::WriteBytes(path, std::string(300, '\0'));
    expectRefusal("este mai scurt decat o inregistrare de 312 octeti!",
                  "este mai scurt decat o inregistrare de 4552 octeti!");
    test::WriteBytes(path, std::string(4553, '\0'));
    expectRefusal("nu contine un numar intreg de inregistrari de 312 octeti!",
                  "nu contine un numar intreg de inregistrari de 4552 octeti!");

    const auto zeros = [](int, int) { return NodeValues{}; };
    for (const GridSpec& tooSmall : {GridSpec{0.0, 0.0, 100.0, 2, 5}, GridSpec{0.0, 0.0, 100.0, 1, 1}}) {
        test::WriteNodeGrid(path, tooSmall, zeros);
        expectRefusal("are mai putin de trei noduri pe o axa!", "");
    }
    test::WriteNodeGrid(path, {0.0, 0.0, 0.0, 3, 3}, zeros);
    expectRefusal("are un pas al nodurilor nepozitiv sau prea mic!", "");

    ModelParameterRecord m{};
    m.regressionPresent = 1;
    m.termCount = {4, 60, 4};
    test::WriteParameters(path, m);
    EXPECT_EQ(MessageOf([&] { LoadModelParameters(path); }),
              "Eroare: fisierul de parametri " + path.string() + " are mai multi termeni de regresie decat 59!");
}

TEST(ModelFiles, DamagedOrSpecialFilesAreRefused)
{
    TempDir dir;
    const auto path = dir / "x.bin";
    const GridSpec grid{0.0, 0.0, 100.0, 4, 3};
    const auto gridFault = [&] { return MessageOf([&] { NodeGrid::Load(path); }); };
    const std::string prefix = "Eroare: fisierul grid " + path.string() + " ";

    // A value that is no number, where the interpolation would carry it into the results.
    for (const double bad : {NAN, INFINITY}) {
        test::WriteNodeGrid(path, grid, [bad](int c, int r) { return NodeValues{c == 2 && r == 1 ? bad : 0.0, 0.0, 0.0}; });
        EXPECT_EQ(gridFault(), prefix + "are noduri cu valori care nu sunt numere finite!");
    }
    // One node more or less than the geometry of the first two and the last node gives.
    test::WriteNodeGrid(path, grid, [](int, int) { return NodeValues{}; });
    const std::string nodes = test::ReadBytes(path);
    test::WriteBytes(path, nodes + nodes.substr(nodes.size() - sizeof(PointRecord)));
    EXPECT_EQ(gridFault(), prefix + "nu are 4 x 3 noduri, cat arata pozitiile primelor doua si a ultimului nod!");
    test::WriteBytes(path, nodes.substr(0, nodes.size() - 2 * sizeof(PointRecord)) + nodes.substr(nodes.size() - sizeof(PointRecord)));
    EXPECT_EQ(gridFault(), prefix + "nu are 4 x 3 noduri, cat arata pozitiile primelor doua si a ultimului nod!");

    // Neither a FIFO nor a device is read, and neither blocks.
    std::filesystem::remove(path);
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    EXPECT_EQ(gridFault(), prefix + "lipseste sau nu poate fi deschis!");
    EXPECT_EQ(MessageOf([&] { LoadModelParameters("/dev/zero"); }),
              "Eroare: fisierul de parametri /dev/zero lipseste sau nu poate fi deschis!");

    // A parameter the model application reads that is no number; unused tables are not judged.
    const auto parameters = dir / "m.par";
    ModelParameterRecord m = test::ShiftModel(10.0, -20.0);
    m.regressionPresent = 1;
    m.termCount = {4, 4, 0};
    m.meanHelmert[2] = NAN;
    test::WriteParameters(parameters, m);
    EXPECT_NO_THROW(LoadModelParameters(parameters));
    m.Term(1, 3).coefficient = INFINITY;
    test::WriteParameters(parameters, m);
    EXPECT_EQ(MessageOf([&] { LoadModelParameters(parameters); }),
              "Eroare: fisierul de parametri " + parameters.string() + " are parametri care nu sunt numere finite!");
}

class GridCellsTest : public ::testing::Test {
protected:
    // 4 x 4 nodes from (1000, 2000) at 100 m; the north-east node lies outside the model zone.
    void SetUp() override
    {
        test::WriteNodeGrid(dir / "m.grd", kGrid, [](int, int) { return NodeValues{}; },
                            [](int c, int r) { return c == 3 && r == 3; });
    }

    // Points given by their Helmert position; the model shifts by (10, -20).
    std::vector<PointRecord> Assign(const std::vector<std::pair<double, double>>& positions, bool commonMode)
    {
        std::vector<PointRecord> points;
        for (const auto& [e, n] : positions)
            points.push_back(MakePoint(std::to_string(points.size()), e - 10.0, n + 20.0));
        test::WritePoints(dir / "p.rec", points);
        const NodeGrid grid = NodeGrid::Load(dir / "m.grd");
        const ModelParameterRecord helmert = test::ShiftModel(10.0, -20.0);
        AssignGridCells(dir / "p.rec", grid, commonMode, &helmert);
        return test::ReadPoints(dir / "p.rec");
    }

    const GridSpec kGrid{1000.0, 2000.0, 100.0, 4, 4};
    TempDir dir;
};

TEST_F(GridCellsTest, NewPointsGetTheirCellsAndExteriorMarks)
{
    const auto points = Assign({{999.99, 2150.0},     // 0.01 m west: inside, first cell
                                {999.989, 2150.0},    // 0.011 m west: outside
                                {1200.0, 2100.0005},  // on two grid lines: the cell left of and below them
                                {1000.0, 2000.0},     // the first node: the first cell
                                {1300.005, 2250.0},   // beyond the last column: a corner past the file's end
                                {1250.0, 2250.0}},    // a corner outside the model zone
                               false);
    const std::string states = {points[0].pointState, points[1].pointState, points[2].pointState,
                                points[3].pointState, points[4].pointState, points[5].pointState};
    EXPECT_EQ(states, "DNDDEE");
    EXPECT_EQ(points[0].nodeIndex, (std::array<std::int32_t, 4>{4, 5, 9, 8}));
    EXPECT_EQ(points[2].nodeIndex, (std::array<std::int32_t, 4>{1, 2, 6, 5}));
    EXPECT_EQ(points[3].nodeIndex, (std::array<std::int32_t, 4>{0, 1, 5, 4}));
    EXPECT_EQ(points[4].nodeIndex, (std::array<std::int32_t, 4>{11, 12, 16, 15}));
    EXPECT_EQ(points[5].nodeIndex, (std::array<std::int32_t, 4>{10, 11, 15, 14}));
    // Every point keeps its Helmert coordinates, also the one outside.
    for (const PointRecord& p : points)
        EXPECT_EQ(p.result[0], p.sys1[0] + 10.0);
    EXPECT_EQ(points[1].nodeIndex, (std::array<std::int32_t, 4>{1, 2, 3, 4}));
}

TEST_F(GridCellsTest, CommonPointsNeedFourInsideTheGrid)
{
    const std::vector<std::pair<double, double>> three = {{1050.0, 2050.0}, {1250.0, 2250.0}, {1150.0, 2150.0},
                                                          {900.0, 2150.0}};
    EXPECT_EQ(MessageOf([&] { Assign(three, true); }),
              "Eroare: Numarul de puncte comune cuprinse in grid=3. Este necesar ca nr. puncte >= 4. "
              "(vezi inversat x, y in poligon?) (Verificati si limitele gridului in fisierul de date dupa \"C\").");

    auto four = three;
    four.emplace_back(1010.0, 2010.0);
    const auto points = Assign(four, true);
    // No Helmert step for common points, and no exterior mark.
    EXPECT_EQ(points[1].pointState, 'D');
    EXPECT_EQ(points[3].pointState, 'N');
    EXPECT_EQ(points[0].result[0], 1050.0 - 10.0);
}

} // namespace
} // namespace velmora
