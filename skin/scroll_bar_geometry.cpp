#include "scroll_bar_geometry.h"

#include <cmath>
#include <limits>

namespace skin {
namespace {

constexpr int kThumbStart = 20;

bool Inside(int v, int lo, int hi) {
    return v >= lo && v < hi;
}

// Truncates toward zero like a C cast, but never with undefined results:
// non-finite values give `fallback`, and values beyond int are saturated.
int TruncateSafe(double v, int fallback) {
    if (!std::isfinite(v))
        return fallback;
    constexpr double kMax = static_cast<double>(std::numeric_limits<int>::max());
    constexpr double kMin = static_cast<double>(std::numeric_limits<int>::min());
    if (v >= kMax)
        return std::numeric_limits<int>::max();
    if (v <= kMin)
        return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

// thumb + offset without signed overflow when a huge value saturated above.
int AddSaturated(int a, int b) {
    const long long s = static_cast<long long>(a) + b;
    if (s > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (s < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(s);
}

}  // namespace

BarHit Hit(const BarLayout& layout, int along, int across, int length, int thumb) {
    BarHit hit;
    const bool onBar = Inside(across, 0, layout.acrossHit);
    hit.backArrow = onBar && Inside(along, layout.backFrom, layout.backTo);
    hit.forwardArrow =
        onBar && Inside(along, length - layout.forwardFrom, length - layout.forwardTo);
    hit.thumb = onBar && Inside(along, thumb, AddSaturated(thumb, kThumbLength));
    return hit;
}

int ClampThumb(const BarLayout& layout, int thumb, int length) {
    if (AddSaturated(thumb, layout.thumbReach) > length - layout.endMargin)
        thumb = length - layout.snapFromEnd;
    if (thumb < kThumbStart)
        thumb = kThumbStart;
    return thumb;
}

ThumbPlacement ThumbFromScroll(const BarLayout& layout, int pos, int limit, int length) {
    ThumbPlacement p;
    if (limit == 0) {
        p.thumb = ClampThumb(layout, kThumbStart, length);
        return p;
    }
    p.pixelsPerUnit = static_cast<double>(length - layout.syncFixed) / limit;
    p.thumb = ClampThumb(layout, AddSaturated(TruncateSafe(p.pixelsPerUnit * pos, 0), kThumbStart),
                         length);
    return p;
}

bool DragTarget(const BarLayout& layout, int thumb, int limit, int length, int* target) {
    if (limit == 0 || length == layout.dragFixed)
        return false;
    const double ppu = static_cast<double>(length - layout.dragFixed) / limit;
    *target = TruncateSafe((thumb - layout.dragStart) / ppu, 0);
    return true;
}

BarHit VerticalHit(int x, int y, int height, int thumbTop) {
    return Hit(kVerticalBarLayout, y, x, height, thumbTop);
}

int VerticalClampThumb(int thumbTop, int height) {
    return ClampThumb(kVerticalBarLayout, thumbTop, height);
}

ThumbPlacement VerticalThumbFromScroll(int pos, int limit, int height) {
    return ThumbFromScroll(kVerticalBarLayout, pos, limit, height);
}

bool VerticalDragTarget(int thumbTop, int limit, int height, int* target) {
    return DragTarget(kVerticalBarLayout, thumbTop, limit, height, target);
}

BarHit HorizontalHit(int x, int y, int width, int thumbLeft) {
    return Hit(kHorizontalBarLayout, x, y, width, thumbLeft);
}

int HorizontalClampThumb(int thumbLeft, int width) {
    return ClampThumb(kHorizontalBarLayout, thumbLeft, width);
}

ThumbPlacement HorizontalThumbFromScroll(int pos, int limit, int width) {
    return ThumbFromScroll(kHorizontalBarLayout, pos, limit, width);
}

bool HorizontalDragTarget(int thumbLeft, int limit, int width, int* target) {
    return DragTarget(kHorizontalBarLayout, thumbLeft, limit, width, target);
}

BarAction ReleaseAction(const BarHit& hit, bool backPressed, bool forwardPressed, bool dragged,
                        int thumb, int point) {
    if (hit.backArrow && backPressed)
        return BarAction::LineBack;
    if (hit.forwardArrow && forwardPressed)
        return BarAction::LineForward;
    if (hit.thumb || dragged)
        return BarAction::None;
    return thumb < point ? BarAction::PageForward : BarAction::PageBack;
}

}  // namespace skin
