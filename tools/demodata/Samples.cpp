// The sample source files of the demonstration set, one or more for every visible "Din fisier"
// command, and the result files that velmora-cli makes of them.
//
// The points are a few Romanian towns and places in Bucharest, given in ETRS89; each sample holds
// them in its command's source system, computed by the program's own chains and rounded as a
// surveyor would write them (millimetres, or 0.00001" for angles). File names say what to run:
//
//   CODE_NAME.txt               a source of the command with transformation code CODE
//   CODE_NAME_zona35.txt        the same, for Transverse Mercator zone 35 (otherwise zone 34)
//   CODE_NAME_rezultat.txt      what velmora-cli writes for CODE_NAME.txt
//   CODE_NAME_exterior.txt      a source whose last point lies outside the grids: the command
//                               ends on that point and writes no result file
//
// The result files are made by running the command line in a scratch directory, so they are
// exactly what the program writes; the generator also checks that every exterior sample fails
// on its last point and nowhere else.

#include "GrdWriter.h"
#include "Places.h"
#include "Products.h"
#include "Route.h"
#include "Scratch.h"

#include "cli/Cli.h"
#include "files/NumberText.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmora::demodata {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSamplesDir = "samples";
constexpr const char* kResultSuffix = "_rezultat";
constexpr const char* kLineEnd = "\r\n";

// The points that end the exterior samples, each outside a grid its command needs.
constexpr const char* kOutsideName = "PUNCT_EXTERIOR";

std::string Fixed(double value)
{
    return FormatFixed(value, 0, 3);
}

std::string Title(const std::string& what)
{
    return "DATE DEMONSTRATIVE, nu pentru lucrari topografice: " + what;
}

struct Sample {
    std::string stem;
    char code;
    int zone;
    std::string title;
    std::vector<std::string> points;
    bool exterior; // the last point cannot be transformed
};

// name, then B and L in the blank-separated form, or with the degree sign and the hemisphere
// letter when degreeSign is set, then h when the place has one.
std::string GeodeticLine(const Place& p, bool degreeSign)
{
    const AngleForm form = degreeSign ? AngleForm::DegreeSign : AngleForm::Blanks;
    std::string line = std::string(p.name) + "," + AngleText(p.B * 3600.0, form) + (degreeSign ? "N" : "") + "," +
                       AngleText(p.L * 3600.0, form) + (degreeSign ? "E" : "");
    if (p.h)
        line += ", " + Fixed(*p.h);
    return line;
}

// name, Out1, Out2 and, with a height, Out3 of the chain from ETRS89.
std::string PlaneLine(Route& route, TransformationType type, const Place& p, bool withHeight = true)
{
    const int flag = withHeight && p.h ? 1 : 0;
    const ChainResult r = route.Transform(type, flag, p.L, p.B, p.h.value_or(0.0));
    std::string line = std::string(p.name) + ", " + Fixed(r.first) + ", " + Fixed(r.second);
    if (flag == 1)
        line += ", " + Fixed(r.third);
    return line;
}

// A Stereo70 source line taken on to TM (type 7 or 8, the route's zone) or LAEA (type 11).
std::string FromStereo70Line(Route& route, TransformationType type, const Place& p)
{
    const int flag = p.h ? 1 : 0;
    const ChainResult s70 = route.Transform(TransformationType::EtrsToStereo70, flag, p.L, p.B, p.h.value_or(0.0));
    const ChainResult r = route.Transform(type, flag, s70.second, s70.first, s70.third);
    std::string line = std::string(p.name) + ", " + Fixed(r.first) + ", " + Fixed(r.second);
    if (flag == 1)
        line += ", " + Fixed(r.third);
    return line;
}

// Alternates the two angle forms, starting with the blank-separated one.
std::vector<std::string> GeodeticLines(const std::vector<Place>& places)
{
    std::vector<std::string> lines;
    for (std::size_t k = 0; k < places.size(); ++k)
        lines.push_back(GeodeticLine(places[k], k % 2 == 1));
    return lines;
}

std::vector<std::string> Lines(const std::vector<Place>& places, const auto& lineOf)
{
    std::vector<std::string> lines;
    for (const Place& p : places)
        lines.push_back(lineOf(p));
    return lines;
}

std::vector<Sample> Samples(const fs::path& dataDir)
{
    Route zone34(dataDir, 34);
    Route zone35(dataDir, 35);
    std::vector<Place> country = kEast;
    country.insert(country.end(), kWest.begin(), kWest.end());
    std::vector<Place> bucharestAll = kBucharest;
    bucharestAll.insert(bucharestAll.end(), kBucharestOutside.begin(), kBucharestOutside.end());

    using T = TransformationType;
    const auto stereo70 = [&](const Place& p) { return PlaneLine(zone34, T::EtrsToStereo70, p); };
    const auto stereo30 = [&](const Place& p) { return PlaneLine(zone34, T::EtrsToStereo30, p); };
    const auto tm34 = [&](const Place& p) { return FromStereo70Line(zone34, T::Stereo70ToTm, p); };
    const auto tm35 = [&](const Place& p) { return FromStereo70Line(zone35, T::Stereo70ToTmZone35, p); };
    const auto laea = [&](const Place& p) { return FromStereo70Line(zone34, T::Stereo70ToLaea, p); };
    const auto plane2D = [&](T type) {
        return [&zone34, type](const Place& p) { return PlaneLine(zone34, type, p, false); };
    };

    const Place& bucuresti = kEast[0];
    const Place& timisoara = kWest[0];
    const Place& unirii = kBucharest[0];
    const std::string stereo70Outside = std::string(kOutsideName) + ", 100000.000, 500000.000, 100.000";

    std::vector<Sample> samples;
    const auto add = [&samples](std::string stem, char code, int zone, const std::string& what,
                                std::vector<std::string> points, bool exterior = false) {
        samples.push_back({std::move(stem), code, zone, Title(what), std::move(points), exterior});
    };
    add("3_etrs89-stereo70", '3', 34, "(B,L,h) ETRS89 -> (x,y,H_MN) Stereo70", GeodeticLines(country));
    add("3_etrs89-stereo70_exterior", '3', 34, "(B,L,h) ETRS89 -> (x,y,H_MN) Stereo70, punct in afara gridurilor",
        {GeodeticLine(bucuresti, false), std::string(kOutsideName) + ", 52 13 47.0, 21 00 44.0, 150.000"}, true);
    add("4_stereo70-etrs89", '4', 34, "(x,y,H_MN) Stereo70 -> (B,L,h) ETRS89", Lines(country, stereo70));
    add("4_stereo70-etrs89_exterior", '4', 34, "(x,y,H_MN) Stereo70 -> (B,L,h) ETRS89, punct in afara gridurilor",
        {stereo70(bucuresti), stereo70Outside}, true);
    add("e_stereo70-tm", 'e', 34, "(x,y,H) Stereo70, Marea Neagra 75 -> TM zona 34, EVRF2007", Lines(kWest, stereo70));
    add("e_stereo70-tm_zona35", 'e', 35, "(x,y,H) Stereo70, Marea Neagra 75 -> TM zona 35, EVRF2007",
        Lines(kEast, stereo70));
    add("e_stereo70-tm_exterior", 'e', 34,
        "(x,y,H) Stereo70, Marea Neagra 75 -> TM zona 34, EVRF2007, punct in afara gridurilor",
        {stereo70(timisoara), stereo70Outside}, true);
    add("f_tm-stereo70", 'f', 34, "TM zona 34, EVRF2007 -> (x,y,H) Stereo70, Marea Neagra 75", Lines(kWest, tm34));
    add("f_tm-stereo70_zona35", 'f', 35, "TM zona 35, EVRF2007 -> (x,y,H) Stereo70, Marea Neagra 75",
        Lines(kEast, tm35));
    add("f_tm-stereo70_exterior", 'f', 34,
        "TM zona 34, EVRF2007 -> (x,y,H) Stereo70, Marea Neagra 75, punct in afara gridurilor",
        {tm34(timisoara), std::string(kOutsideName) + ", 5800000.000, 500000.000, 100.000"}, true);
    add("g_stereo70-laea", 'g', 34, "(x,y,H) Stereo70, Marea Neagra 75 -> LAEA, EVRF2007", Lines(country, stereo70));
    add("g_stereo70-laea_exterior", 'g', 34,
        "(x,y,H) Stereo70, Marea Neagra 75 -> LAEA, EVRF2007, punct in afara gridurilor",
        {stereo70(bucuresti), stereo70Outside}, true);
    add("h_laea-stereo70", 'h', 34, "LAEA, EVRF2007 -> (x,y,H) Stereo70, Marea Neagra 75", Lines(country, laea));
    add("h_laea-stereo70_exterior", 'h', 34,
        "LAEA, EVRF2007 -> (x,y,H) Stereo70, Marea Neagra 75, punct in afara gridurilor",
        {laea(bucuresti), std::string(kOutsideName) + ", 4500000.000, 3300000.000, 100.000"}, true);
    add("8_etrs89-stereo30", '8', 34, "(B,L,h) ETRS89 -> (x,y,H_MN) Stereo30 Bucuresti", GeodeticLines(kBucharest));
    add("8_etrs89-stereo30_exterior", '8', 34, "(B,L,h) ETRS89 -> (x,y,H_MN) Stereo30 Bucuresti, punct in afara gridurilor",
        {GeodeticLine(unirii, false), std::string(kOutsideName) + ", 46 46 16.3, 23 37 25.0, 401.780"}, true);
    add("9_stereo30-etrs89", '9', 34, "(x,y,H_MN) Stereo30 Bucuresti -> (B,L,h) ETRS89", Lines(kBucharest, stereo30));
    add("9_stereo30-etrs89_exterior", '9', 34, "(x,y,H_MN) Stereo30 Bucuresti -> (B,L,h) ETRS89, punct in afara gridurilor",
        {stereo30(unirii), std::string(kOutsideName) + ", 600000.000, 400000.000, 80.000"}, true);
    add("5_stereo30-stereo70", '5', 34,
        "(x,y) Stereo30 Bucuresti -> (x,y) Stereo70, model de distorsiuni; ultimele doua puncte sunt in afara zonei",
        Lines(bucharestAll, plane2D(T::EtrsToStereo30)));
    add("6_stereo70-stereo30", '6', 34,
        "(x,y) Stereo70 -> (x,y) Stereo30 Bucuresti, model de distorsiuni; ultimele doua puncte sunt in afara zonei",
        Lines(bucharestAll, plane2D(T::EtrsToStereo70)));
    return samples;
}

std::string SourceText(const Sample& s)
{
    std::string text = s.title + kLineEnd;
    for (const std::string& line : s.points)
        text += line + kLineEnd;
    text += std::string("ENDF") + kLineEnd;
    return text;
}

struct CommandOutcome {
    int status;
    std::string err;
    std::string result; // the result file, empty when none was written
};

CommandOutcome RunCommand(const fs::path& dataDir, const fs::path& source, char code, int zone)
{
    const ScratchDir scratch;
    const CliOutcome run = RunCliHere({"transform", std::string(1, code), source.string(), "rezultat", "--zone",
                                       std::to_string(zone), "--data", dataDir.string()});
    const fs::path result = scratch.Path() / "rezultat.txt";
    return {run.status, run.err, fs::exists(result) ? ReadFile(result) : std::string()};
}

std::vector<std::string> MakeSamples(const ProductContext& context)
{
    const fs::path dataDir = fs::absolute(context.outDir).lexically_normal();
    const fs::path dir = dataDir / kSamplesDir;
    fs::create_directories(dir);
    std::vector<std::string> log;
    for (const Sample& s : Samples(dataDir)) {
        const fs::path source = dir / (s.stem + ".txt");
        ReplaceFile(source, SourceText(s));
        const CommandOutcome run = RunCommand(dataDir, source, s.code, s.zone);
        std::string line = std::string(kSamplesDir) + "/" + source.filename().string() + ": code " + s.code +
                           (s.code == 'e' || s.code == 'f' ? ", zone " + std::to_string(s.zone) : "") + ", " +
                           std::to_string(s.points.size()) + " points";
        if (s.exterior) {
            const std::string expected = "Eroare: nu se poate transforma punctul " + std::string(kOutsideName) + "\n";
            if (run.status != kExitFailure || !run.err.ends_with(expected) || !run.result.empty())
                throw std::runtime_error(source.string() + " does not fail on its last point: " + run.err);
            line += ", ends on " + std::string(kOutsideName);
        } else {
            if (run.status != kExitOk || run.result.empty())
                throw std::runtime_error(source.string() + " fails: " + run.err);
            const fs::path result = dir / (s.stem + kResultSuffix + ".txt");
            ReplaceFile(result, run.result);
            line += " -> " + result.filename().string();
        }
        log.push_back(line);
    }
    return log;
}

} // namespace

std::vector<Product> SampleProducts()
{
    return {{"samples", "sample source files of every visible command and their results (samples/)", MakeSamples}};
}

} // namespace velmora::demodata
