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

BarHit VerticalHit(int x, int y, int height, int thumbTop) {
    BarHit hit;
    const bool column = Inside(x, 0, 17);
    hit.backArrow = column && Inside(y, 11, 26);
    hit.forwardArrow = column && Inside(y, height - 37, height - 11);
    hit.thumb = column && Inside(y, thumbTop, AddSaturated(thumbTop, kThumbLength));
    return hit;
}

int VerticalClampThumb(int thumbTop, int height) {
    if (AddSaturated(thumbTop, kThumbLength) > height - 40)
        thumbTop = height - 38;
    if (thumbTop < kThumbStart)
        thumbTop = kThumbStart;
    return thumbTop;
}

ThumbPlacement VerticalThumbFromScroll(int pos, int limit, int height) {
    ThumbPlacement p;
    if (limit == 0) {
        p.thumb = VerticalClampThumb(kThumbStart, height);
        return p;
    }
    p.pixelsPerUnit = static_cast<double>(height - 80) / limit;
    p.thumb = VerticalClampThumb(AddSaturated(TruncateSafe(p.pixelsPerUnit * pos, 0), kThumbStart),
                                 height);
    return p;
}

bool VerticalDragTarget(int thumbTop, int limit, int height, int* target) {
    if (limit == 0 || height == 80)
        return false;
    const double ppu = static_cast<double>(height - 80) / limit;
    *target = TruncateSafe((thumbTop - kThumbStart) / ppu, 0);
    return true;
}

BarHit HorizontalHit(int x, int y, int width, int thumbLeft) {
    BarHit hit;
    const bool row = Inside(y, 0, 20);
    hit.backArrow = row && Inside(x, 0, 26);
    hit.forwardArrow = row && Inside(x, width - 26, width);
    hit.thumb = row && Inside(x, thumbLeft, AddSaturated(thumbLeft, kThumbLength));
    return hit;
}

int HorizontalClampThumb(int thumbLeft, int width) {
    if (thumbLeft > width - 42)
        thumbLeft = width - 38;
    if (thumbLeft < kThumbStart)
        thumbLeft = kThumbStart;
    return thumbLeft;
}

ThumbPlacement HorizontalThumbFromScroll(int pos, int limit, int width) {
    ThumbPlacement p;
    if (limit == 0) {
        p.thumb = HorizontalClampThumb(kThumbStart, width);
        return p;
    }
    p.pixelsPerUnit = static_cast<double>(width - 60) / limit;
    p.thumb = HorizontalClampThumb(
        AddSaturated(TruncateSafe(p.pixelsPerUnit * pos, 0), kThumbStart), width);
    return p;
}

// The drag scale differs from the one SyncThumb uses (75 and 25 against 60
// and 20), so a dropped thumb settles a few pixels from where it was let go.
bool HorizontalDragTarget(int thumbLeft, int limit, int width, int* target) {
    if (limit == 0 || width == 75)
        return false;
    const double ppu = static_cast<double>(width - 75) / limit;
    *target = TruncateSafe((thumbLeft - 25) / ppu, 0);
    return true;
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
