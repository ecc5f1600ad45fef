// The grid generation step end to end on small model-building sources, plane and geocentric:
// the files it leaves for the later steps, the drawing it starts, what the run holds afterwards,
// and every message on the way.
#include "building/BoundaryPolygon.h"
#include "building/GridGeneration.h"

#include "BuildingTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace velmora {
namespace {

using test::Crlf;
using test::MessageOf;
using test::ReadBytes;
using test::ReadPoints;
using test::TempDir;

class GenerateGridTest : public ::testing::Test {
protected:
    // The fixture with its first line `from` replaced by `to` ("" drops the line).
    std::filesystem::path Source(const std::string& fixture, const std::string& from = "", const std::string& to = "")
    {
        std::string text = ReadBytes(test::FixturePath(fixture));
        if (!from.empty()) {
            const std::string line = "\r\n" + from + "\r\n";
            const std::size_t at = text.find(line);
            EXPECT_NE(at, std::string::npos) << from;
            if (at != std::string::npos)
                text.replace(at, line.size(), "\r\n" + (to.empty() ? "" : to + "\r\n"));
        }
        const auto path = dir_ / "model.txt";
        test::WriteBytes(path, text);
        return path;
    }

    std::string Run(const std::filesystem::path& source, char kind = 'P', char code = kPlaneWithoutRegressionCode)
    {
        test::StartRun(run_, dir_.Path(), source, kind, code);
        return MessageOf([&] { GenerateGrid(run_); });
    }

    std::vector<test::DxfEntity> EndDrawing()
    {
        run_.drawing->WriteDxfEnd();
        return test::ReadDxfEntities(run_.drawingPath);
    }

    std::string FirstFourLines(const std::string& fixture)
    {
        const std::string text = ReadBytes(test::FixturePath(fixture));
        std::size_t end = 0;
        for (int i = 0; i < 4; ++i)
            end = text.find("\r\n", end) + 2;
        return text.substr(0, end);
    }

    TempDir dir_;
    BuildRun run_;
};

TEST_F(GenerateGridTest, PlaneSourceLeavesEveryFileForTheLaterSteps)
{
    ASSERT_EQ(Run(Source("plane_model.txt")), "");

    EXPECT_EQ(run_.parameterPath, dir_ / "model.PAR");
    EXPECT_EQ(run_.drawingPath, dir_ / "model.DXF");
    EXPECT_EQ(run_.gridTextPath, dir_ / "model.GRT");
    EXPECT_EQ(run_.nodeGridPath, dir_ / "model.GRD");
    EXPECT_EQ(run_.scale, 5000.0);
    EXPECT_EQ(run_.labelHeight, 12.5);
    EXPECT_EQ(run_.targetRadius, 5.0);
    EXPECT_EQ(run_.ellipsoids.a1, 6378388.0);
    EXPECT_EQ(run_.ellipsoids.invF2, 298.3);

    // The starred vertex (504900, 325200) widens the extent; 8.6 and 8.7 intervals become 9.
    const GridFrame& g = run_.grid;
    EXPECT_EQ(g.minE, 500600.0);
    EXPECT_EQ(g.minN, 320850.0);
    EXPECT_EQ(g.maxE, 505100.0);
    EXPECT_EQ(g.maxN, 325350.0);
    EXPECT_EQ(g.step, 500.0);
    EXPECT_EQ(g.nE, 9);
    EXPECT_EQ(g.nN, 9);

    const auto nodes = ReadPoints(run_.nodeGridPath);
    ASSERT_EQ(nodes.size(), 100u);
    EXPECT_EQ(nodes[99].sys1[0], 505100.0);
    EXPECT_EQ(nodes[99].sys1[1], 325350.0);

    EXPECT_EQ(ReadBytes(run_.gridTextPath), FirstFourLines("plane_model.txt") + GridTextHeader(g, false));
    EXPECT_EQ(ReadBytes(run_.parameterPath), std::string(4552, '\0'));

    ContourFile polygon = ContourFile::OpenForUpdate(dir_ / "POLIGON.REC");
    ASSERT_EQ(polygon.Size(), 5u);
    EXPECT_EQ(polygon.Read(0).name.View(), "V1");
    EXPECT_EQ(polygon.Read(3).name.View(), "V5");
    EXPECT_EQ(polygon.Read(4).name.View(), "v 6");
    EXPECT_EQ(polygon.Read(4).east, 500600.0);
    EXPECT_EQ(polygon.Read(4).north, 324700.0);

    const auto common = ReadPoints(dir_ / "PCOMUNE.REC");
    ASSERT_EQ(common.size(), 8u);
    EXPECT_EQ(common[0].name.View(), "C1");
    EXPECT_EQ(common[0].sys2[0], 501386.161);
    const auto excluded = ReadPoints(dir_ / "RAR.REC");
    ASSERT_EQ(excluded.size(), 1u);
    EXPECT_EQ(excluded[0].name.View(), "*R1");
    EXPECT_EQ(ReadPoints(dir_ / "pcpol.rec").size(), 1u);
    const auto fresh = ReadPoints(dir_ / "PNOI.REC");
    ASSERT_EQ(fresh.size(), 3u);
    EXPECT_EQ(fresh[2].name.View(), "N 3");
}

TEST_F(GenerateGridTest, PlaneDrawingHoldsGridBoundaryAndCommonPoints)
{
    ASSERT_EQ(Run(Source("plane_model.txt")), "");
    ASSERT_TRUE(run_.drawing && run_.drawing->IsOpen());
    const auto entities = EndDrawing();
    // GRID: frame 4, 8 + 8 inner lines, north arrow 6. "0": 2 + 2 * 9 labels each way and the 5
    // boundary vertices. Each common point: a point and four circles.
    const std::map<std::string, int> expected{{"0", 45},       {"GRID", 26},      {"PARCELA", 5},
                                              {"PUNCTE_COMUNE", 40}, {"TEXTCOMUNE", 8}, {"RARITE", 6}};
    EXPECT_EQ(test::CountByLayer(entities), expected);

    const auto& firstLabel = entities.at(4);
    EXPECT_EQ(firstLabel.type, "TEXT");
    EXPECT_EQ(firstLabel.groups.at(5).second, "500600");
    EXPECT_EQ(firstLabel.Number("50"), 90.0);
    EXPECT_EQ(firstLabel.Number("40"), 12.5);

    // The boundary closes from "v 6" back to V1.
    std::vector<const test::DxfEntity*> boundary;
    for (const auto& e : entities) {
        if (e.layer == "PARCELA")
            boundary.push_back(&e);
    }
    EXPECT_EQ(boundary.back()->Number("10"), 500600.0);
    EXPECT_EQ(boundary.back()->Number("20"), 324700.0);
    EXPECT_EQ(boundary.back()->Number("11"), 500600.0);
    EXPECT_EQ(boundary.back()->Number("21"), 320850.0);

    // C1's name beside its target-system position, one label height to the East.
    for (const auto& e : entities) {
        if (e.layer == "TEXTCOMUNE") {
            EXPECT_EQ(e.groups.at(5).second, "C1");
            EXPECT_NEAR(e.Number("10"), 501386.161 + 12.5, 5e-4);
            EXPECT_NEAR(e.Number("20"), 321071.583, 5e-4);
            break;
        }
    }
}

TEST_F(GenerateGridTest, GeocentricSourceAndTheGeographicHead)
{
    ASSERT_EQ(Run(Source("geocentric_model.txt"), 'G', 0), "");
    EXPECT_EQ(run_.grid.nE, 5);
    EXPECT_EQ(run_.grid.nN, 5);
    EXPECT_EQ(run_.grid.maxE, 4101800.0);
    EXPECT_EQ(run_.grid.maxN, 2004300.0);
    EXPECT_EQ(run_.targetRadius, 10.0);
    EXPECT_EQ(ReadPoints(run_.nodeGridPath).size(), 36u);
    EXPECT_EQ(ReadPoints(dir_ / "PCOMUNE.REC").size(), 8u);
    EXPECT_EQ(ReadPoints(dir_ / "PCOMUNE.REC")[0].coordKind, 'G');
    EXPECT_EQ(ReadPoints(dir_ / "RAR.REC").size(), 1u);
    EXPECT_EQ(ReadPoints(dir_ / "PNOI.REC").size(), 2u);
    EXPECT_EQ(ReadBytes(run_.gridTextPath), FirstFourLines("geocentric_model.txt") + GridTextHeader(run_.grid, false));
    EndDrawing();

    ASSERT_EQ(Run(Source("geocentric_model.txt"), 'G', kQuasigeoidCode), "");
    const std::string text = ReadBytes(run_.gridTextPath);
    EXPECT_NE(text.find("\r\nMinimum longitude (minLa):\r\n4096800.000000000\r\n"), std::string::npos) << text;
    EXPECT_TRUE(text.ends_with("\r\n36\r\nNumber of dimensions (1 for dZita - grid shift value):\r\n1\r\n"
                               "Grid shift values (dZita) (columns: minLa-->maxLa; rows: minPhi-->maxPhi):\r\n"));
}

TEST_F(GenerateGridTest, ParameterFileKeepsItsLaterRecords)
{
    std::string old(2 * 4552, '\x7f');
    test::WriteBytes(dir_ / "model.PAR", old);
    ASSERT_EQ(Run(Source("plane_model.txt")), "");
    EXPECT_EQ(ReadBytes(dir_ / "model.PAR"), std::string(4552, '\0') + std::string(4552, '\x7f'));
}

TEST_F(GenerateGridTest, ParameterFileOfPartRecordsIsMadeAnew)
{
    test::WriteBytes(dir_ / "model.PAR", std::string(4552 + 100, '\x7f'));
    ASSERT_EQ(Run(Source("plane_model.txt")), "");
    EXPECT_EQ(ReadBytes(dir_ / "model.PAR"), std::string(4552, '\0'));
}

TEST_F(GenerateGridTest, IdentifiersAreKeywordsWhateverTheirCaseAndBlanks)
{
    std::string text = ReadBytes(test::FixturePath("plane_model.txt"));
    for (const auto& [from, to] : {std::pair{"\r\nSC\r\n", "\r\n sc,scara\r\n"}, {"\r\nPAS\r\n", "\r\np a s\r\n"},
                                   {"\r\nC\r\n", "\r\nc\r\n"}, {"v 6, 500600.000, 324700.000\r\nEND\r\n",
                                                               "v 6, 500600.000, 324700.000\r\n e n d \r\n"}}) {
        const std::size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, std::strlen(from), to);
    }
    test::WriteBytes(dir_ / "model.txt", text);
    ASSERT_EQ(Run(dir_ / "model.txt"), "");
    EXPECT_EQ(run_.grid.nE, 9);
}

TEST_F(GenerateGridTest, EveryMessageOfTheStep)
{
    EXPECT_EQ(Run(dir_ / "none.txt"), "Eroare: Fisier cu date initiale invalid!");
    const std::string plane = "plane_model.txt";
    const std::pair<std::pair<std::string, std::string>, std::string> cases[] = {
        {{"SC", "SCARA"}, "Identificator <> SC in fis. sursa."},
        {{"5000", "scara"}, "Sirul  nu este valoare numerica!"},
        {{"5000", "1:5000"}, ""},
        {{"5000", "+-5000"}, "Sirul +-5000 nu este valoare numerica!"},
        {{"PAS", "PASI"}, "Identificator <> PAS in fis. sursa."},
        {{"500.0, 500.0", "pas"}, "Eroare: valoare pas1 nenumerica in fis. sursa."},
        {{"500.0, 500.0", "pas, 500"}, "Eroare: valoare pas2 nenumerica in fis. sursa."},
        {{"500.0, 500.0", "500.0, x"}, "Eroare: valoare pas2 nenumerica in fis. sursa."},
        {{"500.0, 500.0", "500.0"}, "Eroare: valoare pas2 nenumerica in fis. sursa."},
        {{"500.0, 500.0", "0, 0"}, kGridStepNotPositiveMessage},
        {{"500.0, 500.0", "0.01, 0.01"}, "Pasul gridului este prea mic. Trebuie sa mariti pasul!"},
        {{"C", "CONTUR"}, "Identificator <> C in fis. sursa."},
        {{"V2, 504300.000, 320850.000", " "}, "Lipseste coordonata y la un punct care descrie poligonul initial."},
        {{"V2, 504300.000, 320850.000", "V2, 504300.000"},
         "Lipseste coordonata y la un punct care descrie poligonul initial."},
        {{"V2, 504300.000, 320850.000", "V2, 504300.000, y"},
         "Lipseste coordonata y la un punct care descrie poligonul initial."},
        {{"P", "G"},
         "Eroare: tipul transformarii (2D sau 3D) nu corespunde cu tip identificator de puncte \"G\" sau \"P\"."},
        {{"N1, 501700.125, 321900.250", "N1, 1-2, 5"}, "Eroare: coordonat xv este nenumerica la un punct in fis. sursa."},
    };
    for (const auto& [edit, message] : cases)
        EXPECT_EQ(Run(Source(plane, edit.first, edit.second)), message) << edit.first << " -> " << edit.second;
}

TEST_F(GenerateGridTest, ContourMessages)
{
    const auto contour = [&](const std::string& lines) {
        std::string text = ReadBytes(test::FixturePath("plane_model.txt"));
        const std::size_t begin = text.find("\r\nC\r\n") + 5;
        const std::size_t end = text.find("END\r\nP\r\n");
        text.replace(begin, end - begin, Crlf(lines));
        test::WriteBytes(dir_ / "model.txt", text);
        return Run(dir_ / "model.txt");
    };
    EXPECT_EQ(contour("A, 0, 0\n\nB, 10, 0\n"), "Eroare: rand gol in fisierul sursa.");
    EXPECT_EQ(contour(""), "Eroare: nu sunt puncte pe conturul zonei (dupa id. C) pentru stab. limite grid.");
    EXPECT_EQ(contour("A, 500000, 320000\nB, 504000, 320000\n"), "Eroare: Nr. puncte poligon <3!");
    EXPECT_EQ(contour("A, 500000, 320000\n*B, 504000, 320000\nC, 504000, 324000\n*D, 500000, 324000\n"),
              "Eroare: Nr. puncte poligon fara * <3!");
    EXPECT_EQ(contour("A, 500000, 320000\nB, 504000, 320000\nC, 502000, 320000\n"), kContourFlatMessage);
}

TEST_F(GenerateGridTest, PointSectionsMustHoldNewAndCommonPoints)
{
    const std::string plane = "plane_model.txt";
    std::string text = ReadBytes(test::FixturePath(plane));
    const std::size_t pn = text.find("PN\r\n");
    test::WriteBytes(dir_ / "model.txt", text.substr(0, pn) + "ENDF\r\n");
    EXPECT_EQ(Run(dir_ / "model.txt"), "Eroare: nu aveti puncte noi de transformat in fis. sursa!");

    const std::size_t pc = text.find("PC\r\n");
    test::WriteBytes(dir_ / "model.txt",
                     text.substr(0, pc) + "PC\r\n*R1, 1, 2, 3, 4\r\n#P1, 1, 2, 3, 4\r\nEND\r\n" + text.substr(pn));
    EXPECT_EQ(Run(dir_ / "model.txt"), "Eroare: nu aveti puncte comune in fis. sursa!");
}

TEST_F(GenerateGridTest, FilesWrittenBeforeAFailureStay)
{
    ASSERT_EQ(Run(Source("plane_model.txt", "PAS", "PASI")), "Identificator <> PAS in fis. sursa.");
    EXPECT_EQ(ReadBytes(dir_ / "model.PAR"), std::string(4552, '\0'));
    run_.drawing.reset();
    EXPECT_TRUE(ReadBytes(dir_ / "model.DXF").ends_with("  2\r\nENTITIES\r\n"));
}

TEST_F(GenerateGridTest, SourceNamedLikeAnOutputIsRefusedAndKept)
{
    const std::string text = ReadBytes(test::FixturePath("plane_model.txt"));
    for (const char* name : {"model.DXF", "model.GRT", "model.PAR", "model.GRD", "RAR.REC", "POLIGON.REC", "pcpol.rec"}) {
        const auto path = dir_ / name;
        test::WriteBytes(path, text);
        EXPECT_EQ(Run(path), kSourceWouldBeOverwrittenMessage + path.string() + kSourceWouldBeOverwrittenEnd) << name;
        EXPECT_EQ(ReadBytes(path), text) << name;
        std::filesystem::remove(path);
    }
}

TEST_F(GenerateGridTest, MarkingTheGeneratedGrid)
{
    ASSERT_EQ(Run(Source("plane_model.txt")), "");
    MarkGridNodes(run_);
    const auto nodes = ReadPoints(run_.nodeGridPath);
    const auto status = [&](int r, int c) { return nodes.at(static_cast<std::size_t>(10 * r + c)).pointState; };
    EXPECT_EQ(status(0, 0), 'I'); // on V1
    EXPECT_EQ(status(0, 7), 'I'); // on the edge V1-V2
    EXPECT_EQ(status(4, 4), 'I');
    EXPECT_EQ(status(0, 8), 'G'); // East of V2, on a cell the boundary crosses
    EXPECT_EQ(status(8, 8), 'G'); // East of V3, likewise
    EXPECT_EQ(status(9, 9), 'E'); // the corner that only the starred vertex reached
    const auto entities = EndDrawing();
    EXPECT_GT(test::CountByLayer(entities)["DISTCELL"], 0);
}

} // namespace
} // namespace velmora
