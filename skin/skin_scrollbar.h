#pragma once

// The list's two bitmap-painted scroll bars. They are separate child
// controls of the list's dialog (static controls that ask for mouse
// notifications), placed beside the list by CSkinListCtrl; they read the
// list's scroll position and limit and scroll it with the list's own
// scroll messages.
//
// Mouse: a press on an arrow steps once on release; held past 250 ms
// (timer 2) it repeats every 50 ms (timer 1) until release. A release on
// the track pages toward the release point. The thumb can be dragged.
//
// Both bars are one implementation, skin::SkinScrollBar, run along their
// own axis; what differs between them (the numbers of their layout, when a
// held thumb counts as dragged, how a drag scrolls the list) is named in
// the ScrollBarAxis each one is built with. CSkinVerticleScrollbar and
// CSkinHorizontalScrollbar give the design's names over it.

#include "platform/dialog/static_ctrl.h"
#include "scroll_bar_geometry.h"

class CListCtrl;

namespace skin {

struct ScrollBarAxis;

class SkinScrollBar : public CStatic {
    Q_OBJECT

public:
    SkinScrollBar(const ScrollBarAxis& axis, QWidget* parent);
    ~SkinScrollBar() override;

    // Recomputes the thumb from the list's scroll position along this bar's
    // axis and repaints the bar if it would look different.
    void SyncThumb();
    void ClampThumb();
    // Repaints the bar (the enabled set when the list can scroll this way).
    void PaintBar();
    // One line or one page up / left (back) or down / right (forward).
    void LineBack();
    void LineForward();
    void PageBack();
    void PageForward();

    void OnTimer(UINT_PTR id) override;
    void OnLButtonDown(UINT flags, QPoint point);
    void OnMouseMove(UINT flags, QPoint point);
    void OnLButtonUp(UINT flags, QPoint point);

    // State, for the list and for tests.
    CListCtrl* listCtrl = nullptr;
    int Thumb() const { return thumb; }
    double PixelsPerUnit() const { return pixelsPerUnit; }
    bool BackPressed() const { return backPressed; }
    bool ForwardPressed() const { return forwardPressed; }
    bool ThumbPressed() const { return thumbPressed; }
    // The thumb is being dragged: it scrolls the list as it moves, and its
    // release does not page.
    bool Dragging() const { return dragging; }
    // The thumb is held by the mouse: it follows the mouse, not the list,
    // until it is released.
    bool Tracking() const { return thumbPressed || dragging; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void scrollList(UINT code);
    int along(QPoint point) const;
    int across(QPoint point) const;
    int length() const;

    const ScrollBarAxis& axis;
    bool backPressed = false;
    bool forwardPressed = false;
    bool thumbPressed = false;
    bool dragging = false;
    int thumb;
    double pixelsPerUnit = 0.0;
    // What the last paint showed: the thumb's place and whether the enabled
    // set was drawn. The first sync always paints.
    int shownThumb = -1;
    bool shownEnabled = false;
};

}  // namespace skin

class CSkinVerticleScrollbar : public skin::SkinScrollBar {
    Q_OBJECT

public:
    explicit CSkinVerticleScrollbar(QWidget* parent = nullptr);
    ~CSkinVerticleScrollbar() override;

    void LineUp() { LineBack(); }
    void LineDown() { LineForward(); }
    void PageUp() { PageBack(); }
    void PageDown() { PageForward(); }

    int ThumbTop() const { return Thumb(); }
    bool UpPressed() const { return BackPressed(); }
    bool DownPressed() const { return ForwardPressed(); }
};

class CSkinHorizontalScrollbar : public skin::SkinScrollBar {
    Q_OBJECT

public:
    explicit CSkinHorizontalScrollbar(QWidget* parent = nullptr);
    ~CSkinHorizontalScrollbar() override;

    void LineLeft() { LineBack(); }
    void LineRight() { LineForward(); }
    void PageLeft() { PageBack(); }
    void PageRight() { PageForward(); }

    int ThumbLeft() const { return Thumb(); }
    bool LeftPressed() const { return BackPressed(); }
    bool RightPressed() const { return ForwardPressed(); }
};
