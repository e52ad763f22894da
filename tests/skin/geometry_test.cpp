#include <QPainter>

#include <gtest/gtest.h>

#include "skin/mem_dc.h"
#include "skin/scroll_bar_geometry.h"
#include "skin/window_region.h"

using namespace skin;

TEST(VerticalBar, ClampSnapsPastTheEndAndHoldsTheStart) {
    // H = 200: the thumb may sit at most at H - 66 = 134; past that it jumps
    // to H - 38, and it never rises above 20.
    EXPECT_EQ(VerticalClampThumb(134, 200), 134);
    EXPECT_EQ(VerticalClampThumb(135, 200), 162);
    EXPECT_EQ(VerticalClampThumb(20, 200), 20);
    EXPECT_EQ(VerticalClampThumb(19, 200), 20);
    EXPECT_EQ(VerticalClampThumb(-500, 200), 20);
    // A bar too short for its parts keeps the thumb at 20.
    EXPECT_EQ(VerticalClampThumb(20, 50), 20);
}

TEST(VerticalBar, ThumbFollowsScrollPosition) {
    {
        const ThumbPlacement p = VerticalThumbFromScroll(0, 10, 200);
        EXPECT_DOUBLE_EQ(p.pixelsPerUnit, 12.0);
        EXPECT_EQ(p.thumb, 20);
    }
    EXPECT_EQ(VerticalThumbFromScroll(9, 10, 200).thumb, 128);
    EXPECT_EQ(VerticalThumbFromScroll(10, 10, 200).thumb, 162);  // snapped to the end
    // 7 units on a 45-pixel travel: 6.43 per unit, truncated.
    EXPECT_EQ(VerticalThumbFromScroll(1, 7, 125).thumb, 26);
    {
        // Nothing to scroll: the thumb stays at its start and no division happens.
        const ThumbPlacement p = VerticalThumbFromScroll(0, 0, 200);
        EXPECT_EQ(p.thumb, 20);
        EXPECT_DOUBLE_EQ(p.pixelsPerUnit, 0.0);
    }
    // A bar exactly as tall as its fixed parts has no travel: the thumb sits
    // at 20, which the clamp already counts as past the end (H - 38).
    EXPECT_EQ(VerticalThumbFromScroll(5, 10, 80).thumb, 42);
}

TEST(VerticalBar, DragTargetInvertsTheScale) {
    int target = -1;
    ASSERT_TRUE(VerticalDragTarget(80, 10, 200, &target));
    EXPECT_EQ(target, 5);
    ASSERT_TRUE(VerticalDragTarget(20, 10, 200, &target));
    EXPECT_EQ(target, 0);
    ASSERT_TRUE(VerticalDragTarget(31, 10, 200, &target));
    EXPECT_EQ(target, 0);  // 11 / 12 truncates to 0
    EXPECT_FALSE(VerticalDragTarget(80, 0, 200, &target));
    EXPECT_FALSE(VerticalDragTarget(80, 10, 80, &target));
}

TEST(VerticalBar, HitZones) {
    const int h = 200;
    EXPECT_TRUE(VerticalHit(0, 11, h, 100).backArrow);
    EXPECT_TRUE(VerticalHit(16, 25, h, 100).backArrow);
    EXPECT_FALSE(VerticalHit(0, 26, h, 100).backArrow);
    EXPECT_FALSE(VerticalHit(0, 10, h, 100).backArrow);
    EXPECT_FALSE(VerticalHit(17, 15, h, 100).backArrow);
    EXPECT_TRUE(VerticalHit(5, h - 37, h, 100).forwardArrow);
    EXPECT_TRUE(VerticalHit(5, h - 12, h, 100).forwardArrow);
    EXPECT_FALSE(VerticalHit(5, h - 11, h, 100).forwardArrow);
    EXPECT_TRUE(VerticalHit(5, 100, h, 100).thumb);
    EXPECT_TRUE(VerticalHit(5, 125, h, 100).thumb);
    EXPECT_FALSE(VerticalHit(5, 126, h, 100).thumb);
    // At its start the thumb reaches into the up arrow's zone.
    const BarHit both = VerticalHit(5, 22, h, 20);
    EXPECT_TRUE(both.thumb);
    EXPECT_TRUE(both.backArrow);
}

TEST(HorizontalBar, ClampSyncAndDrag) {
    EXPECT_EQ(HorizontalClampThumb(258, 300), 258);
    EXPECT_EQ(HorizontalClampThumb(259, 300), 262);
    EXPECT_EQ(HorizontalClampThumb(3, 300), 20);
    EXPECT_EQ(HorizontalThumbFromScroll(0, 0, 300).thumb, 20);
    {
        const ThumbPlacement p = HorizontalThumbFromScroll(60, 120, 300);
        EXPECT_DOUBLE_EQ(p.pixelsPerUnit, 2.0);
        EXPECT_EQ(p.thumb, 140);
    }
    EXPECT_EQ(HorizontalThumbFromScroll(120, 120, 300).thumb, 262);
    // The drag scale is (W - 75) / limit from x = 25, so a thumb dropped at
    // 140 asks for position 61, which the bar then shows at 142.
    int target = -1;
    ASSERT_TRUE(HorizontalDragTarget(140, 120, 300, &target));
    EXPECT_EQ(target, 61);
    EXPECT_EQ(HorizontalThumbFromScroll(target, 120, 300).thumb, 142);
    EXPECT_FALSE(HorizontalDragTarget(140, 0, 300, &target));
    EXPECT_FALSE(HorizontalDragTarget(140, 120, 75, &target));
}

TEST(HorizontalBar, HitZones) {
    const int w = 300;
    EXPECT_TRUE(HorizontalHit(0, 0, w, 100).backArrow);
    EXPECT_TRUE(HorizontalHit(25, 13, w, 100).backArrow);
    EXPECT_FALSE(HorizontalHit(26, 5, w, 100).backArrow);
    EXPECT_TRUE(HorizontalHit(w - 26, 5, w, 100).forwardArrow);
    EXPECT_TRUE(HorizontalHit(w - 1, 5, w, 100).forwardArrow);
    EXPECT_FALSE(HorizontalHit(w - 27, 5, w, 100).forwardArrow);
    EXPECT_TRUE(HorizontalHit(100, 5, w, 100).thumb);
    EXPECT_FALSE(HorizontalHit(126, 5, w, 100).thumb);
    EXPECT_FALSE(HorizontalHit(100, 20, w, 100).thumb);
}

TEST(BarRelease, ArrowsStepTrackPagesThumbDoesNothing) {
    BarHit onUp;
    onUp.backArrow = true;
    BarHit onDown;
    onDown.forwardArrow = true;
    BarHit onThumb;
    onThumb.thumb = true;
    const BarHit onTrack;
    EXPECT_EQ(ReleaseAction(onUp, true, false, false, 50, 15), BarAction::LineBack);
    EXPECT_EQ(ReleaseAction(onDown, false, true, false, 50, 180), BarAction::LineForward);
    // An arrow pressed, then released over the track: the track pages.
    EXPECT_EQ(ReleaseAction(onTrack, true, false, false, 50, 120), BarAction::PageForward);
    EXPECT_EQ(ReleaseAction(onTrack, false, false, false, 50, 40), BarAction::PageBack);
    EXPECT_EQ(ReleaseAction(onTrack, false, false, false, 50, 50), BarAction::PageBack);
    EXPECT_EQ(ReleaseAction(onThumb, false, false, false, 50, 55), BarAction::None);
    EXPECT_EQ(ReleaseAction(onTrack, false, false, true, 50, 120), BarAction::None);
    // An arrow zone without its press pages like the track.
    EXPECT_EQ(ReleaseAction(onUp, false, false, false, 50, 15), BarAction::PageBack);
}

TEST(MainWindowRegion, CornersAreCut) {
    const int cx = 430;
    const int cy = 495;
    const QRegion r = MainWindowRegion(cx, cy);
    EXPECT_EQ(r.boundingRect(), QRect(0, 1, cx, cy - 1));
    // The top row is never part of the window.
    for (int x = 0; x < cx; ++x)
        ASSERT_FALSE(r.contains(QPoint(x, 0))) << x;
    // Row 1 runs from x = 3 to cx - 5, row 2 from 2 to cx - 3.
    EXPECT_FALSE(r.contains(QPoint(2, 1)));
    EXPECT_TRUE(r.contains(QPoint(3, 1)));
    EXPECT_TRUE(r.contains(QPoint(cx - 5, 1)));
    EXPECT_FALSE(r.contains(QPoint(cx - 4, 1)));
    EXPECT_TRUE(r.contains(QPoint(2, 2)));
    EXPECT_FALSE(r.contains(QPoint(1, 2)));
    EXPECT_TRUE(r.contains(QPoint(cx - 3, 2)));
    EXPECT_FALSE(r.contains(QPoint(cx - 2, 2)));
    // The bottom row belongs only between x = 5 and cx - 5.
    EXPECT_FALSE(r.contains(QPoint(4, cy - 1)));
    EXPECT_TRUE(r.contains(QPoint(5, cy - 1)));
    EXPECT_TRUE(r.contains(QPoint(cx - 6, cy - 1)));
    EXPECT_FALSE(r.contains(QPoint(cx - 5, cy - 1)));
    // The outer columns: y 5 .. cy - 6 on both sides.
    EXPECT_FALSE(r.contains(QPoint(0, 4)));
    EXPECT_TRUE(r.contains(QPoint(0, 5)));
    EXPECT_TRUE(r.contains(QPoint(0, cy - 6)));
    EXPECT_FALSE(r.contains(QPoint(0, cy - 5)));
    EXPECT_FALSE(r.contains(QPoint(cx - 1, 4)));
    EXPECT_TRUE(r.contains(QPoint(cx - 1, 5)));
    EXPECT_FALSE(r.contains(QPoint(cx - 1, cy - 5)));
    // Not mirror images: column 3 starts at y = 1, column cx - 4 at y = 2.
    EXPECT_TRUE(r.contains(QPoint(3, 1)));
    EXPECT_FALSE(r.contains(QPoint(cx - 4, 1)));
    EXPECT_TRUE(r.contains(QPoint(cx - 4, 2)));
    // Column 3 ends at cy - 2, column cx - 4 at cy - 3.
    EXPECT_TRUE(r.contains(QPoint(3, cy - 2)));
    EXPECT_FALSE(r.contains(QPoint(cx - 4, cy - 2)));
    EXPECT_TRUE(r.contains(QPoint(cx - 4, cy - 3)));
}

TEST(MainWindowRegion, DegenerateSizesStayInsideTheBounds) {
    for (const QSize s : {QSize(0, 0), QSize(3, 3), QSize(10, 4), QSize(1, 100)}) {
        const QRegion r = MainWindowRegion(s.width(), s.height());
        EXPECT_TRUE(QRect(0, 0, s.width(), s.height()).contains(r.boundingRect()) || r.isEmpty())
            << s.width() << "x" << s.height();
    }
}

TEST(MemDC, CopiesItsSurfaceToTheTargetWhenItGoes) {
    QImage target(20, 10, QImage::Format_RGB32);
    target.fill(Qt::white);
    {
        QPainter painter(&target);
        {
            CMemDC dc(&painter, QRect(0, 0, 20, 10));
            dc.fillRect(QRect(0, 0, 20, 10), QColor(10, 20, 30));
            dc.fillRect(QRect(5, 2, 3, 3), QColor(200, 0, 0));
            // Nothing reaches the target before the surface goes.
            EXPECT_EQ(target.pixelColor(6, 3), QColor(Qt::white));
        }
    }
    EXPECT_EQ(target.pixelColor(0, 0), QColor(10, 20, 30));
    EXPECT_EQ(target.pixelColor(6, 3), QColor(200, 0, 0));
    EXPECT_EQ(target.pixelColor(19, 9), QColor(10, 20, 30));
}
