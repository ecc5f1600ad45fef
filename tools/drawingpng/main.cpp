// velmora-drawing-png: a picture of a model drawing, for the documentation.
//
//   velmora-drawing-png DXF PNG [--width PIXELS] [--hide LAYER,...] [--lengthen LAYER=FACTOR]...
//                       [--title TEXT]
//
// --lengthen draws the arrows of an arrow layer FACTOR times longer, so that distortions of
// millimetres and centimetres show on a picture of a whole zone; the legend says so. Runs without
// a display (the offscreen platform of Qt).

#include "DrawingPicture.h"
#include "DxfScene.h"

#include <QGuiApplication>

#include <cstdlib>
#include <exception>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using velmora::picture::PictureOptions;

int Usage()
{
    std::cerr << "usage: velmora-drawing-png DXF PNG [--width PIXELS] [--hide LAYER,...]\n"
                 "                           [--lengthen LAYER=FACTOR]... [--title TEXT]\n";
    return 2;
}

double PositiveNumber(const std::string& text)
{
    std::size_t used = 0;
    const double value = std::stod(text, &used);
    if (used != text.size() || !(value > 0.0))
        throw std::invalid_argument("not a positive number: " + text);
    return value;
}

// The options after DXF and PNG; throws std::invalid_argument on a bad one.
PictureOptions ParseOptions(const std::vector<std::string>& args)
{
    PictureOptions options;
    for (std::size_t k = 2; k < args.size(); k += 2) {
        if (k + 1 >= args.size())
            throw std::invalid_argument(args[k] + " needs a value");
        const std::string& value = args[k + 1];
        if (args[k] == "--width") {
            options.width = static_cast<int>(PositiveNumber(value));
        } else if (args[k] == "--hide") {
            std::istringstream layers(value);
            for (std::string layer; std::getline(layers, layer, ',');)
                options.hiddenLayers.insert(layer);
        } else if (args[k] == "--lengthen" && value.find('=') != std::string::npos) {
            const auto equals = value.find('=');
            options.exaggerated[value.substr(0, equals)] = PositiveNumber(value.substr(equals + 1));
        } else if (args[k] == "--title") {
            options.title = value;
        } else {
            throw std::invalid_argument("unknown option " + args[k]);
        }
    }
    return options;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() < 2 || args[0].starts_with("-") || args[1].starts_with("-"))
        return Usage();
    try {
        const PictureOptions options = ParseOptions(args);
        std::ifstream in(args[0], std::ios::binary);
        if (!in)
            throw std::runtime_error("cannot read " + args[0]);
        velmora::picture::DxfScene scene = velmora::picture::ReadDxf(in);
        for (const auto& [layer, factor] : options.exaggerated)
            velmora::picture::ExaggerateArrows(scene, layer, factor);

        // Fonts need an application object; the offscreen platform needs no display.
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        int qtArgc = 1;
        QGuiApplication app(qtArgc, argv);
        const QImage image = velmora::picture::RenderDrawing(scene, options);
        // Quality 0 is the strongest compression: the picture goes into the repository.
        if (!image.save(QString::fromStdString(args[1]), "PNG", 0))
            throw std::runtime_error("cannot write " + args[1]);
    } catch (const std::invalid_argument& e) {
        std::cerr << "velmora-drawing-png: " << e.what() << "\n";
        return Usage();
    } catch (const std::exception& e) {
        std::cerr << "velmora-drawing-png: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
