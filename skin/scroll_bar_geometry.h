#pragma once

// Geometry and decisions of the two list scroll bars, kept free of any
// widget so each formula can be checked on its own. All rectangles have
// exclusive right and bottom edges. H is the vertical bar's client height,
// W the horizontal bar's client width.

namespace skin {

// The bars' fixed sizes and the thumb bitmaps' extent along the track.
inline constexpr int kBarThickness = 14;
inline constexpr int kThumbLength = 26;

// Timer ids of the arrow auto-repeat: 2 is the initial delay, 1 the repeat.
inline constexpr int kRepeatTimerId = 1;
inline constexpr int kDelayTimerId = 2;
inline constexpr int kDelayMs = 250;
inline constexpr int kRepeatMs = 50;

// What a press or release point lies in. Zones may overlap (the thumb can
// reach into an arrow zone), so each is its own flag.
struct BarHit {
    bool backArrow = false;     // up / left arrow
    bool forwardArrow = false;  // down / right arrow
    bool thumb = false;
};

// One thumb position with the scale it was computed from.
struct ThumbPlacement {
    int thumb = 0;  // thumbTop / thumbLeft
    double pixelsPerUnit = 0.0;
};

// The scroll request a release turns into.
enum class BarAction { None, LineBack, LineForward, PageBack, PageForward };

// Vertical bar ---------------------------------------------------------------

BarHit VerticalHit(int x, int y, int height, int thumbTop);
int VerticalClampThumb(int thumbTop, int height);
// Thumb from the list's vertical scroll position and limit, clamped.
// A limit of 0 (nothing to scroll) leaves the thumb at its start, 20.
ThumbPlacement VerticalThumbFromScroll(int pos, int limit, int height);
// Scroll position the dragged thumb asks for; false when the scale is
// degenerate (limit 0, or a bar exactly as tall as its fixed parts).
bool VerticalDragTarget(int thumbTop, int limit, int height, int* target);

// Horizontal bar -------------------------------------------------------------

BarHit HorizontalHit(int x, int y, int width, int thumbLeft);
int HorizontalClampThumb(int thumbLeft, int width);
ThumbPlacement HorizontalThumbFromScroll(int pos, int limit, int width);
bool HorizontalDragTarget(int thumbLeft, int limit, int width, int* target);

// Release -------------------------------------------------------------------

// What a release does: an arrow released on its own zone steps one line;
// otherwise, away from the thumb and without a drag, the track pages toward
// the release point. `thumb` and `point` are along the bar's axis, and
// `hit` is taken after the thumb was re-synchronised.
BarAction ReleaseAction(const BarHit& hit, bool backPressed, bool forwardPressed, bool dragged,
                        int thumb, int point);

}  // namespace skin
