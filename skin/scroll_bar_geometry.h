#pragma once

// Geometry and decisions of the two list scroll bars, kept free of any
// widget so each formula can be checked on its own. Both bars run on the
// same formulas over their own fixed numbers (a BarLayout); "along" is the
// bar's axis (y for the vertical bar, x for the horizontal one), "across"
// the other, and the length is the client extent along the axis (H for the
// vertical bar, W for the horizontal one). All rectangles have exclusive
// right and bottom edges.

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

// The fixed numbers of one bar. The thumb starts at 20 on both.
struct BarLayout {
    int acrossHit;  // presses count from 0 up to this across the bar
    int backFrom;   // the back arrow's zone along the bar: [backFrom, backTo)
    int backTo;
    int forwardFrom;  // the forward arrow's zone, counted back from the
    int forwardTo;    // end: [length - forwardFrom, length - forwardTo)
    int thumbReach;   // the thumb is past the end when thumb + thumbReach
    int endMargin;    // > length - endMargin; it then snaps to
    int snapFromEnd;  // length - snapFromEnd
    int syncFixed;    // the thumb from the list: (length - syncFixed) / limit
    int dragFixed;    // the list from a dragged thumb: (thumb - dragStart)
    int dragStart;    // at (length - dragFixed) / limit pixels a unit
};

// The vertical bar: arrows answer in the 17-pixel column, the thumb snaps
// to H - 38 once its bottom passes H - 40.
inline constexpr BarLayout kVerticalBarLayout{
    .acrossHit = 17,
    .backFrom = 11,
    .backTo = 26,
    .forwardFrom = 37,
    .forwardTo = 11,
    .thumbReach = kThumbLength,
    .endMargin = 40,
    .snapFromEnd = 38,
    .syncFixed = 80,
    .dragFixed = 80,
    .dragStart = 20,
};

// The horizontal bar: arrows answer in the 20-pixel row, the thumb snaps to
// W - 38 once its left edge passes W - 42. Its drag scale differs from the
// one the thumb follows the list with (75 and 25 against 60 and 20), so a
// dropped thumb settles a few pixels from where it was let go.
inline constexpr BarLayout kHorizontalBarLayout{
    .acrossHit = 20,
    .backFrom = 0,
    .backTo = 26,
    .forwardFrom = 26,
    .forwardTo = 0,
    .thumbReach = 0,
    .endMargin = 42,
    .snapFromEnd = 38,
    .syncFixed = 60,
    .dragFixed = 75,
    .dragStart = 25,
};

// Either bar --------------------------------------------------------------

BarHit Hit(const BarLayout& layout, int along, int across, int length, int thumb);
int ClampThumb(const BarLayout& layout, int thumb, int length);
// Thumb from the list's scroll position and limit, clamped. A limit of 0
// (nothing to scroll) leaves the thumb at its start, 20.
ThumbPlacement ThumbFromScroll(const BarLayout& layout, int pos, int limit, int length);
// Scroll position the dragged thumb asks for; false when the scale is
// degenerate (limit 0, or a bar exactly as long as its fixed parts).
bool DragTarget(const BarLayout& layout, int thumb, int limit, int length, int* target);

// Vertical bar (x, y, H) ------------------------------------------------------

BarHit VerticalHit(int x, int y, int height, int thumbTop);
int VerticalClampThumb(int thumbTop, int height);
ThumbPlacement VerticalThumbFromScroll(int pos, int limit, int height);
bool VerticalDragTarget(int thumbTop, int limit, int height, int* target);

// Horizontal bar (x, y, W) ----------------------------------------------------

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
