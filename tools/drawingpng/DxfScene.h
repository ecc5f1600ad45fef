// The entities of a model drawing as the picture tool reads them back: the layer table with each
// layer's colour index, and the LINE, POINT, CIRCLE and TEXT entities with their layers, in file
// order. Only what the program's own drawings hold is read; other entities are passed over.
#pragma once

#include <istream>
#include <map>
#include <string>
#include <vector>

namespace velmora::picture {

struct DxfEntity {
    enum class Kind { Line, Point, Circle, Text };
    Kind kind = Kind::Point;
    std::string layer;
    double x1 = 0.0; // insertion point, centre, or start of a line
    double y1 = 0.0;
    double x2 = 0.0; // end of a line
    double y2 = 0.0;
    double size = 0.0;  // radius of a circle, height of a text
    double angle = 0.0; // of a text, degrees counter-clockwise
    std::string text;
};

struct DxfScene {
    std::map<std::string, int> layerColours; // colour index of every layer of the table
    std::vector<DxfEntity> entities;
};

// Throws std::runtime_error when a group code or a coordinate is not a number, or the file ends
// between a group code and its value.
DxfScene ReadDxf(std::istream& in);

// Lengthens the arrows of a layer by factor about their anchors. An arrow is three LINEs in a row:
// the shaft from the anchor to the tip, then the two barbs from the tip. Throws
// std::runtime_error when the layer's lines do not come in such threes.
void ExaggerateArrows(DxfScene& scene, const std::string& layer, double factor);

} // namespace velmora::picture
