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

#include "platform/dialog/static_ctrl.h"
#include "scroll_bar_geometry.h"

class CListCtrl;

class CSkinVerticleScrollbar : public CStatic {
    Q_OBJECT

public:
    explicit CSkinVerticleScrollbar(QWidget* parent = nullptr);
    ~CSkinVerticleScrollbar() override;

    // Recomputes the thumb from the list's vertical scroll position and
    // repaints.
    void SyncThumb();
    void ClampThumb();
    // Repaints the bar (the enabled set when the list can scroll vertically).
    void PaintBar();
    void LineUp();
    void LineDown();
    void PageUp();
    void PageDown();

    void OnTimer(UINT_PTR id) override;
    void OnLButtonDown(UINT flags, QPoint point);
    void OnMouseMove(UINT flags, QPoint point);
    void OnLButtonUp(UINT flags, QPoint point);

    // State, for the list and for tests.
    CListCtrl* listCtrl = nullptr;
    int ThumbTop() const { return thumbTop; }
    double PixelsPerUnit() const { return pixelsPerUnit; }
    bool UpPressed() const { return upPressed; }
    bool DownPressed() const { return downPressed; }
    bool ThumbPressed() const { return thumbPressed; }
    // The thumb is held by the mouse: it follows the mouse, not the list,
    // until it is released.
    bool Tracking() const { return thumbPressed; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void scrollList(UINT code);

    bool upPressed = false;
    bool downPressed = false;
    bool thumbPressed = false;
    int thumbTop = 14;
    double pixelsPerUnit = 0.0;
};

class CSkinHorizontalScrollbar : public CStatic {
    Q_OBJECT

public:
    explicit CSkinHorizontalScrollbar(QWidget* parent = nullptr);
    ~CSkinHorizontalScrollbar() override;

    void SyncThumb();
    void ClampThumb();
    void PaintBar();
    void LineLeft();
    void LineRight();
    void PageLeft();
    void PageRight();

    void OnTimer(UINT_PTR id) override;
    void OnLButtonDown(UINT flags, QPoint point);
    void OnMouseMove(UINT flags, QPoint point);
    void OnLButtonUp(UINT flags, QPoint point);

    CListCtrl* listCtrl = nullptr;
    int ThumbLeft() const { return thumbLeft; }
    double PixelsPerUnit() const { return pixelsPerUnit; }
    bool LeftPressed() const { return leftPressed; }
    bool RightPressed() const { return rightPressed; }
    bool ThumbPressed() const { return thumbPressed; }
    bool Dragging() const { return dragging; }
    bool Tracking() const { return thumbPressed || dragging; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void scrollList(UINT code);

    bool rightPressed = false;
    bool leftPressed = false;
    bool dragging = false;
    bool thumbPressed = false;
    int thumbLeft = 25;
    double pixelsPerUnit = 0.0;
};
