#include "DrawingPicture.h"

#include "building/Drawing.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace velmora::picture {
namespace {

// How a layer of the program's drawings is drawn, in drawing order, and what the legend says.
struct LayerStyle {
    const char* layer;
    double penWidth;  // lines, pixels
    double dotRadius; // points, pixels
    double opacity;   // the dense grid layers are drawn lighter
    const char* legend;
};

const LayerStyle kStyles[] = {
    {kLayerGrid, 0.6, 0.0, 0.7, "grid lines, north arrow"},
    {kLayerZoneCells, 1.0, 0.0, 0.35, "cells of the zone"},
    {kLayerBoundary, 2.5, 1.5, 1.0, "zone contour"},
    {kLayerDistortion, 1.3, 0.0, 1.0, "node signals of the network adjustment"},
    {kLayerDistortionHelmert, 1.3, 0.0, 1.0, "common points: target less Helmert"},
    {kLayerDistortionRegression, 1.3, 0.0, 1.0, "common points: error after modelling"},
    {kLayerExcludedHelmert, 1.3, 0.0, 1.0, "validation points: target less Helmert"},
    {kLayerExcludedRegression, 1.3, 0.0, 1.0, "validation points: error after modelling"},
    {kLayerCommonPoints, 1.0, 1.6, 1.0, "common points"},
    {kLayerExcluded, 1.0, 3.5, 1.0, "validation points (*)"},
    {kLayerNewPoints, 1.0, 3.5, 1.0, "new points"},
    {kLayerZero, 1.0, 0.0, 1.0, nullptr},
    {kLayerCommonText, 1.0, 0.0, 1.0, nullptr},
    {kLayerNewText, 1.0, 0.0, 1.0, nullptr},
    {kLayerDistortionText, 1.0, 0.0, 1.0, nullptr},
    {kLayerText, 1.0, 0.0, 1.0, nullptr},
};

// The colour indices of the drawings on a white ground: the light ones (yellow, green, cyan) are
// darkened and white becomes black, so that every layer stays visible.
QColor IndexColour(int index)
{
    switch (index) {
    case 1: return {230, 0, 0};
    case 2: return {190, 150, 0};
    case 3: return {0, 160, 0};
    case 4: return {0, 160, 190};
    case 5: return {0, 0, 230};
    case 6: return {200, 0, 200};
    case 10: return {255, 80, 0};
    default: return {0, 0, 0};
    }
}

struct Frame {
    double minX = std::numeric_limits<double>::infinity();
    double minY = minX;
    double maxX = -minX;
    double maxY = -minX;
    double scale = 1.0; // pixels per metre
    double margin = 0.0;

    void Add(double x, double y)
    {
        minX = std::min(minX, x), maxX = std::max(maxX, x);
        minY = std::min(minY, y), maxY = std::max(maxY, y);
    }
    QPointF Pixel(double x, double y) const { return {margin + (x - minX) * scale, margin + (maxY - y) * scale}; }
};

Frame DrawingFrame(const DxfScene& scene, const PictureOptions& options)
{
    Frame frame;
    for (const DxfEntity& e : scene.entities) {
        if (options.hiddenLayers.contains(e.layer) || e.kind == DxfEntity::Kind::Text)
            continue;
        frame.Add(e.x1, e.y1);
        if (e.kind == DxfEntity::Kind::Line)
            frame.Add(e.x2, e.y2);
    }
    if (!(frame.maxX > frame.minX) || !(frame.maxY > frame.minY))
        throw std::runtime_error("the drawing holds nothing to draw");
    frame.margin = 6.0 * options.textPixels;
    frame.scale = (options.width - 2.0 * frame.margin) / (frame.maxX - frame.minX);
    return frame;
}

QColor LayerColour(const DxfScene& scene, const std::string& layer)
{
    const auto found = scene.layerColours.find(layer);
    return IndexColour(found == scene.layerColours.end() ? 7 : found->second);
}

// The texts drawn so far, in pixels: a text that would overlap one of them is left out, so that
// the labels of neighbouring grid lines and corners stay readable.
using TextAreas = std::vector<QRectF>;

void DrawText(QPainter& painter, const Frame& frame, const DxfEntity& e, TextAreas& drawn)
{
    const QString text = QString::fromLatin1(e.text.c_str());
    QTransform place;
    const QPointF at = frame.Pixel(e.x1, e.y1);
    place.translate(at.x(), at.y());
    place.rotate(-e.angle);
    const QRectF area = place.mapRect(QRectF(painter.fontMetrics().boundingRect(text)));
    if (std::any_of(drawn.begin(), drawn.end(), [&](const QRectF& other) { return other.intersects(area); }))
        return;
    drawn.push_back(area);
    painter.save();
    painter.setTransform(place, true);
    painter.drawText(QPointF(0.0, 0.0), text);
    painter.restore();
}

void DrawEntity(QPainter& painter, const Frame& frame, const DxfEntity& e, const LayerStyle& style, TextAreas& texts)
{
    switch (e.kind) {
    case DxfEntity::Kind::Line:
        painter.drawLine(frame.Pixel(e.x1, e.y1), frame.Pixel(e.x2, e.y2));
        break;
    case DxfEntity::Kind::Point:
        if (style.dotRadius > 0.0) {
            painter.setBrush(painter.pen().color());
            painter.drawEllipse(frame.Pixel(e.x1, e.y1), style.dotRadius, style.dotRadius);
            painter.setBrush(Qt::NoBrush);
        }
        break;
    case DxfEntity::Kind::Circle:
        // The targets around the points are a few metres wide: visible only on a large picture.
        if (e.size * frame.scale >= 2.0)
            painter.drawEllipse(frame.Pixel(e.x1, e.y1), e.size * frame.scale, e.size * frame.scale);
        break;
    case DxfEntity::Kind::Text:
        DrawText(painter, frame, e, texts);
        break;
    }
}

// Geometry layer by layer in the order of kStyles, then the texts, the names of the new points
// first so that no label hides them.
void DrawLayers(QPainter& painter, const Frame& frame, const DxfScene& scene, const PictureOptions& options)
{
    TextAreas texts;
    for (const bool textPass : {false, true}) {
        std::vector<const LayerStyle*> order;
        for (const LayerStyle& style : kStyles)
            order.push_back(&style);
        if (textPass)
            std::stable_partition(order.begin(), order.end(),
                                  [](const LayerStyle* style) { return std::string_view(style->layer) == kLayerNewText; });
        for (const LayerStyle* style : order) {
            if (options.hiddenLayers.contains(style->layer))
                continue;
            QColor colour = LayerColour(scene, style->layer);
            colour.setAlphaF(static_cast<float>(style->opacity));
            painter.setPen(QPen(colour, style->penWidth, Qt::SolidLine, Qt::RoundCap));
            for (const DxfEntity& e : scene.entities)
                if (e.layer == style->layer && (e.kind == DxfEntity::Kind::Text) == textPass)
                    DrawEntity(painter, frame, e, *style, texts);
        }
    }
}

std::string LegendText(const LayerStyle& style, const PictureOptions& options)
{
    std::string text = std::string(style.layer) + "  " + style.legend;
    if (const auto found = options.exaggerated.find(style.layer); found != options.exaggerated.end()) {
        char factor[48];
        std::snprintf(factor, sizeof factor, ", lengthened %g times", found->second);
        text += factor;
    }
    return text;
}

// The layers drawn that have something in them, with their sample stroke or dot and their text.
std::vector<const LayerStyle*> LegendEntries(const DxfScene& scene, const PictureOptions& options)
{
    std::vector<const LayerStyle*> entries;
    for (const LayerStyle& style : kStyles) {
        const bool used = std::any_of(scene.entities.begin(), scene.entities.end(),
                                      [&](const DxfEntity& e) { return e.layer == style.layer; });
        if (style.legend != nullptr && used && !options.hiddenLayers.contains(style.layer))
            entries.push_back(&style);
    }
    return entries;
}

// A scale bar of whole kilometres, about a fifth of the drawing's width, at (x, y).
void DrawScaleBar(QPainter& painter, const Frame& frame, double x, double y)
{
    const double km = std::max(1.0, std::floor((frame.maxX - frame.minX) / 5000.0));
    const double length = km * 1000.0 * frame.scale;
    painter.setPen(QPen(Qt::black, 2.0));
    painter.drawLine(QPointF(x, y), QPointF(x + length, y));
    painter.drawLine(QPointF(x, y - 4.0), QPointF(x, y + 4.0));
    painter.drawLine(QPointF(x + length, y - 4.0), QPointF(x + length, y + 4.0));
    painter.drawText(QPointF(x + length + 8.0, y + 4.0), QString("%1 km").arg(km));
}

void DrawLegend(QPainter& painter, const Frame& frame, const DxfScene& scene, const PictureOptions& options,
                double top, double lineHeight)
{
    const double left = frame.margin;
    painter.setPen(Qt::black);
    painter.drawText(QPointF(left, top), QString::fromStdString(options.title));
    double y = top + 1.5 * lineHeight;
    for (const LayerStyle* style : LegendEntries(scene, options)) {
        const QColor colour = LayerColour(scene, style->layer);
        painter.setPen(QPen(colour, std::max(style->penWidth, 1.5)));
        painter.setBrush(colour);
        if (style->dotRadius > 0.0 && style->penWidth <= 1.0)
            painter.drawEllipse(QPointF(left + 12.0, y - 4.0), style->dotRadius, style->dotRadius);
        else
            painter.drawLine(QPointF(left, y - 4.0), QPointF(left + 24.0, y - 4.0));
        painter.setBrush(Qt::NoBrush);
        painter.setPen(Qt::black);
        painter.drawText(QPointF(left + 34.0, y), QString::fromStdString(LegendText(*style, options)));
        y += lineHeight;
    }
    DrawScaleBar(painter, frame, left, y + 0.5 * lineHeight);
}

} // namespace

QImage RenderDrawing(const DxfScene& scene, const PictureOptions& options)
{
    const Frame frame = DrawingFrame(scene, options);
    const double lineHeight = 1.6 * options.textPixels;
    const double drawingHeight = 2.0 * frame.margin + (frame.maxY - frame.minY) * frame.scale;
    const auto legendLines = static_cast<double>(LegendEntries(scene, options).size() + 4);
    QImage image(options.width, static_cast<int>(std::ceil(drawingHeight + legendLines * lineHeight)),
                 QImage::Format_RGB32);
    image.fill(Qt::white);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font("DejaVu Sans");
    font.setPixelSize(options.textPixels);
    painter.setFont(font);
    DrawLayers(painter, frame, scene, options);
    DrawLegend(painter, frame, scene, options, drawingHeight, lineHeight);
    painter.end();
    return image;
}

} // namespace velmora::picture
