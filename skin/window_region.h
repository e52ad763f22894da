#pragma once

#include <QRect>
#include <QRegion>
#include <array>

class CWnd;
class QPainter;
class QWidget;

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

// How a top-level window's region takes effect. On X11 the mask cuts the
// window's picture (the SHAPE extension). A Wayland surface's mask only
// limits where input lands: the compositor still shows every pixel of the
// buffer. There the window is translucent and paints only inside its
// region, so the pixels outside stay transparent and show what is behind.
enum class RegionShaping { ByMask, ByPainting };
RegionShaping PlatformRegionShaping();

// Call before the window is first shown (a translucent surface is chosen
// when the native window is made). Nothing changes for ByMask.
void PrepareRegionShaping(QWidget& window, RegionShaping shaping = PlatformRegionShaping());

// From the window's background painting: limits `painter` to the window's
// region when the window is shaped by painting; otherwise leaves it alone.
void ClipToWindowRegion(const QWidget& window, QPainter& painter);

}  // namespace skin
