#pragma once

#include <QRect>
#include <QRegion>
#include <array>

class CWnd;

namespace skin {

// The main window's outline: eleven rectangles (right and bottom exclusive)
// that cut its four corners for a client area of cx × cy pixels. The two
// sides are deliberately not mirror images. Like every window geometry it is
// in design pixels: on a screen at 200 % the platform maps it with the rest
// of the window, so each cut step is two device pixels.
std::array<QRect, 11> MainWindowRects(int cx, int cy);
QRegion MainWindowRegion(int cx, int cy);

// Gives `window` the region for a client area of cx × cy and repaints it
// all. Call it from the main window's WM_SIZE handler, after the default
// handling, on every size change.
void ApplyMainWindowRegion(CWnd& window, int cx, int cy);

}  // namespace skin
