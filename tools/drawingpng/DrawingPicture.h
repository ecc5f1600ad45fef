// A model drawing as a picture: the layers of the program's drawings in their colours, lines at
// a fixed pen width per layer, points as dots, texts at a fixed pixel size (their heights in the
// drawing would make them unreadably small at the scale of a whole zone), then a legend of the
// layers drawn and a scale bar below the drawing.
#pragma once

#include "DxfScene.h"

#include <QImage>

#include <map>
#include <set>
#include <string>

namespace velmora::picture {

struct PictureOptions {
    int width = 1200;                          // pixels; the height follows the drawing
    std::set<std::string> hiddenLayers;        // not drawn, not in the legend
    std::map<std::string, double> exaggerated; // arrow layers lengthened by ExaggerateArrows
    std::string title;                         // first line of the legend
    int textPixels = 11;
};

QImage RenderDrawing(const DxfScene& scene, const PictureOptions& options);

} // namespace velmora::picture
