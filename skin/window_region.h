#pragma once

#include <array>

#include <QRect>
#include <QRegion>

class QWidget;

namespace skin {

// The main window's outline: eleven rectangles (right and bottom exclusive)
// that cut its four corners for a client area of cx × cy pixels. The two
// sides are deliberately not mirror images.
std::array<QRect, 11> MainWindowRects(int cx, int cy);
QRegion MainWindowRegion(int cx, int cy);

// Gives `window` the region for its current size and repaints it all; call
// it after the window's default size handling on every size change.
void ApplyMainWindowRegion(QWidget* window);

}  // namespace skin
