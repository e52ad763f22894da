#pragma once

#include <QByteArray>
#include <QImage>
#include <vector>

namespace res::gen {

// A Windows icon file holding every image of `images` (square, up to 256
// pixels) as a 32-bit image with alpha and its transparency mask.
QByteArray IconFile(const std::vector<QImage>& images);

}  // namespace res::gen
