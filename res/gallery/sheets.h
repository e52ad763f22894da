#pragma once

#include <QImage>
#include <QString>
#include <utility>
#include <vector>

namespace res::gallery {

// Every button face of every dialog: normal, hover, pressed and disabled.
QImage ButtonSheet();
// Every bitmap of the set, enlarged where small, with its id and size.
QImage BitmapSheet();
// The skinned controls in their states, as (file name, picture) pairs.
std::vector<std::pair<QString, QImage>> ControlSheets();

}  // namespace res::gallery
