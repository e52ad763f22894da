#include "window_region.h"

#include <QGuiApplication>
#include <QPainter>
#include <QWidget>

#include "platform/dialog/window.h"

namespace skin {
namespace {

// One rectangle as (left, top, right, bottom) with exclusive edges. Sizes
// that leave nothing are kept empty rather than turned around.
QRect Edges(int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top)
        return {};
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

}  // namespace

std::array<QRect, 11> MainWindowRects(int cx, int cy) {
    return {
        Edges(0, 5, 1, cy - 5),           Edges(1, 3, 2, cy - 3),
        Edges(2, 2, 3, cy - 2),           Edges(3, 1, 4, cy - 1),
        Edges(4, 1, 5, cy - 1),           Edges(5, 1, cx - 5, cy),
        Edges(cx - 5, 1, cx - 4, cy - 1), Edges(cx - 4, 2, cx - 3, cy - 2),
        Edges(cx - 3, 2, cx - 2, cy - 2), Edges(cx - 2, 3, cx - 1, cy - 3),
        Edges(cx - 1, 5, cx, cy - 5),
    };
}

QRegion MainWindowRegion(int cx, int cy) {
    const QRect bounds(0, 0, cx, cy);
    QRegion region;
    for (const QRect& r : MainWindowRects(cx, cy))
        region += r.intersected(bounds);
    return region;
}

void ApplyMainWindowRegion(CWnd& window, int cx, int cy) {
    window.SetWindowRgn(MainWindowRegion(cx, cy), TRUE);
    window.Invalidate(TRUE);
}

RegionShaping PlatformRegionShaping() {
    // "wayland", "wayland-egl", "wayland-generic": every Wayland plugin.
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"))
               ? RegionShaping::ByPainting
               : RegionShaping::ByMask;
}

void PrepareRegionShaping(QWidget& window, RegionShaping shaping) {
    if (shaping == RegionShaping::ByPainting)
        window.setAttribute(Qt::WA_TranslucentBackground);
}

void ClipToWindowRegion(const QWidget& window, QPainter& painter) {
    // The translucent background is what PrepareRegionShaping chose.
    if (!window.testAttribute(Qt::WA_TranslucentBackground))
        return;
    const QRegion region = window.mask();
    if (!region.isEmpty())
        painter.setClipRegion(region, Qt::IntersectClip);
}

}  // namespace skin
