// The picture of the main window: the Earth's geoid as a coloured, exaggerated surface with Europe
// outlined, a rotation arrow around the polar axis and three coordinate axes from the centre.
#pragma once

#include <QPixmap>
#include <QSize>

namespace velmora {

QPixmap DrawGeoidPicture(QSize size);

} // namespace velmora
