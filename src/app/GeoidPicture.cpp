#include "app/GeoidPicture.h"

#include "core/Geodesy.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <array>
#include <cmath>

namespace velmora {

namespace {

// Undulation of the drawn geoid along its outline: a few long waves, much exaggerated.
double Undulation(double angle)
{
    return 0.045 * std::sin(3.0 * angle + 0.4) + 0.03 * std::cos(5.0 * angle) + 0.02 * std::sin(7.0 * angle + 1.1);
}

QColor HeightColour(double height)
{
    // Blue for lows through green and yellow to red for highs.
    const double t = std::clamp((height + 0.09) / 0.18, 0.0, 1.0);
    return QColor::fromHsvF(static_cast<float>(0.66 * (1.0 - t)), 0.75f, 0.95f);
}

void DrawArrow(QPainter& painter, QPointF from, QPointF to)
{
    painter.drawLine(from, to);
    const QPointF direction = to - from;
    const double length = std::hypot(direction.x(), direction.y());
    const QPointF unit = direction / length;
    const QPointF normal(-unit.y(), unit.x());
    const double head = 9.0;
    QPolygonF tip;
    tip << to << to - unit * head + normal * head * 0.45 << to - unit * head - normal * head * 0.45;
    painter.drawPolygon(tip);
}

} // namespace

QPixmap DrawGeoidPicture(QSize size)
{
    QPixmap picture(size);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(size.width() * 0.5, size.height() * 0.53);
    const double radius = std::min(size.width(), size.height()) * 0.36;

    // The surface: rings of the outline's undulation, shaded from the centre outwards.
    for (int ring = 12; ring >= 1; --ring) {
        const double scale = ring / 12.0;
        QPainterPath outline;
        for (int k = 0; k <= 180; ++k) {
            const double angle = DegToRad(2.0 * k);
            const double r = radius * scale * (1.0 + Undulation(angle + ring * 0.35));
            const QPointF point = centre + QPointF(r * std::cos(angle), -r * 0.92 * std::sin(angle));
            if (k == 0)
                outline.moveTo(point);
            else
                outline.lineTo(point);
        }
        painter.setPen(Qt::NoPen);
        painter.setBrush(HeightColour(Undulation(ring * 0.9) * 1.8));
        painter.drawPath(outline);
    }
    QRadialGradient light(centre - QPointF(radius * 0.35, radius * 0.35), radius * 1.3);
    light.setColorAt(0.0, QColor(255, 255, 255, 90));
    light.setColorAt(1.0, QColor(0, 0, 40, 70));
    painter.setBrush(light);
    painter.drawEllipse(centre, radius * 1.05, radius * 0.97);

    // Europe, roughly, on the upper right of the visible face.
    const std::array<QPointF, 16> europe{{{0.05, -0.55}, {0.18, -0.68}, {0.32, -0.62}, {0.42, -0.70},
                                          {0.55, -0.58}, {0.60, -0.42}, {0.52, -0.30}, {0.44, -0.18},
                                          {0.36, -0.22}, {0.30, -0.12}, {0.22, -0.20}, {0.14, -0.16},
                                          {0.08, -0.26}, {0.02, -0.30}, {0.06, -0.40}, {0.00, -0.46}}};
    QPolygonF outline;
    for (const QPointF& p : europe)
        outline << centre + p * radius;
    painter.setPen(QPen(QColor(40, 40, 40), 1.6));
    painter.setBrush(QColor(120, 90, 60, 110));
    painter.drawPolygon(outline);

    // The axes from the centre and the rotation around the polar axis.
    painter.setPen(QPen(Qt::black, 1.8));
    painter.setBrush(Qt::black);
    const QPointF top = centre - QPointF(0.0, radius * 1.32);
    DrawArrow(painter, centre, top);
    DrawArrow(painter, centre, centre + QPointF(radius * 1.35, radius * 0.12));
    DrawArrow(painter, centre, centre + QPointF(-radius * 0.85, radius * 0.75));
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(std::max(10, static_cast<int>(radius * 0.12)));
    painter.setFont(font);
    painter.drawText(top + QPointF(8.0, 6.0), QStringLiteral("Z"));
    painter.drawText(centre + QPointF(radius * 1.35, radius * 0.12 + font.pixelSize()), QStringLiteral("Y"));
    painter.drawText(centre + QPointF(-radius * 0.85 - font.pixelSize(), radius * 0.75), QStringLiteral("X"));

    const QRectF spin(centre.x() - radius * 0.32, top.y() + radius * 0.12, radius * 0.64, radius * 0.16);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(180, 0, 0), 2.0));
    painter.drawArc(spin, 200 * 16, 300 * 16);
    const double end = DegToRad(200.0 + 300.0);
    const QPointF tip(spin.center().x() + spin.width() * 0.5 * std::cos(end),
                      spin.center().y() - spin.height() * 0.5 * std::sin(end));
    painter.setBrush(QColor(180, 0, 0));
    DrawArrow(painter, tip - QPointF(-6.0, 3.0), tip);
    return picture;
}

} // namespace velmora
