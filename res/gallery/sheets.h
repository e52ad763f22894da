#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <utility>
#include <vector>

namespace res::gallery {

// Device pixels per design pixel of every picture: the screen's, which
// `gallery --scale 2` makes two.
qreal GalleryScale();
// A picture of `size` design pixels at the gallery's scale, filled.
QImage Picture(QSize size, const QColor& fill);
// Bitmap `id` of the compiled-in set as the screen's density shows it: the
// doubled image above one device pixel per design pixel.
QImage GalleryBitmap(unsigned id);

// Every button face of every dialog: normal, hover, pressed and disabled.
QImage ButtonSheet();
// Every bitmap of the set, enlarged where small, with its id and size.
QImage BitmapSheet();
// The skinned controls in their states, as (file name, picture) pairs.
std::vector<std::pair<QString, QImage>> ControlSheets();

}  // namespace res::gallery
