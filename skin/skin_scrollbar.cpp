#include "skin_scrollbar.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "mem_dc.h"
#include "platform/dialog/list_ctrl.h"
#include "skin_paint.h"

using skin::BarAction;
using skin::BarHit;

namespace {

UINT MouseFlags(const QMouseEvent* event) {
    UINT flags = 0;
    if (event->buttons() & Qt::LeftButton)
        flags |= MK_LBUTTON;
    if (event->buttons() & Qt::RightButton)
        flags |= MK_RBUTTON;
    if (event->modifiers() & Qt::ShiftModifier)
        flags |= MK_SHIFT;
    if (event->modifiers() & Qt::ControlModifier)
        flags |= MK_CONTROL;
    return flags;
}

}  // namespace

// Vertical bar ---------------------------------------------------------------

CSkinVerticleScrollbar::CSkinVerticleScrollbar(QWidget* parent) : CStatic(parent) {}

CSkinVerticleScrollbar::~CSkinVerticleScrollbar() = default;

void CSkinVerticleScrollbar::SyncThumb() {
    if (listCtrl != nullptr) {
        const skin::ThumbPlacement p = skin::VerticalThumbFromScroll(
            listCtrl->GetScrollPos(SB_VERT), listCtrl->GetScrollLimit(SB_VERT), height());
        pixelsPerUnit = p.pixelsPerUnit;
        thumbTop = p.thumb;
    }
    PaintBar();
}

void CSkinVerticleScrollbar::ClampThumb() {
    thumbTop = skin::VerticalClampThumb(thumbTop, height());
}

void CSkinVerticleScrollbar::PaintBar() {
    update();
}

void CSkinVerticleScrollbar::scrollList(UINT code) {
    if (listCtrl != nullptr)
        listCtrl->SendMessage(WM_VSCROLL, MAKEWPARAM(static_cast<int>(code), 0), 0);
    SyncThumb();
}

void CSkinVerticleScrollbar::LineUp() {
    scrollList(SB_LINEUP);
}
void CSkinVerticleScrollbar::LineDown() {
    scrollList(SB_LINEDOWN);
}
void CSkinVerticleScrollbar::PageUp() {
    scrollList(SB_PAGEUP);
}
void CSkinVerticleScrollbar::PageDown() {
    scrollList(SB_PAGEDOWN);
}

void CSkinVerticleScrollbar::OnTimer(UINT_PTR id) {
    if (id == skin::kDelayTimerId) {
        if (upPressed || downPressed) {
            KillTimer(skin::kDelayTimerId);
            SetTimer(skin::kRepeatTimerId, skin::kRepeatMs);
        }
    } else if (id == skin::kRepeatTimerId) {
        if (downPressed)
            LineDown();
        if (upPressed)
            LineUp();
    }
    CStatic::OnTimer(id);
}

void CSkinVerticleScrollbar::OnLButtonDown(UINT, QPoint point) {
    const BarHit hit = skin::VerticalHit(point.x(), point.y(), height(), thumbTop);
    if (hit.thumb)
        thumbPressed = true;
    if (hit.forwardArrow) {
        downPressed = true;
        SetTimer(skin::kDelayTimerId, skin::kDelayMs);
    } else if (hit.backArrow) {
        upPressed = true;
        SetTimer(skin::kDelayTimerId, skin::kDelayMs);
    }
}

void CSkinVerticleScrollbar::OnMouseMove(UINT, QPoint point) {
    if (!thumbPressed || listCtrl == nullptr)
        return;
    thumbTop = point.y() - 13;
    const int limit = listCtrl->GetScrollLimit(SB_VERT);
    int target = 0;
    if (skin::VerticalDragTarget(thumbTop, limit, height(), &target)) {
        pixelsPerUnit = static_cast<double>(height() - 80) / limit;
        const long long rows = static_cast<long long>(target) - listCtrl->GetScrollPos(SB_VERT);
        const long long dy = rows * listCtrl->GetItemRect(0).height();
        if (dy != 0)
            listCtrl->Scroll(
                QSize(0, static_cast<int>(std::clamp<long long>(dy, -(1 << 30), 1 << 30))));
    }
    ClampThumb();
    PaintBar();
}

void CSkinVerticleScrollbar::OnLButtonUp(UINT, QPoint point) {
    SyncThumb();
    KillTimer(skin::kRepeatTimerId);
    // The delay timer goes too: a press released within 250 ms would leave it
    // running, firing to no effect until the next press.
    KillTimer(skin::kDelayTimerId);
    const BarHit hit = skin::VerticalHit(point.x(), point.y(), height(), thumbTop);
    switch (skin::ReleaseAction(hit, upPressed, downPressed, thumbPressed, thumbTop, point.y())) {
        case BarAction::LineBack:
            LineUp();
            break;
        case BarAction::LineForward:
            LineDown();
            break;
        case BarAction::PageBack:
            PageUp();
            break;
        case BarAction::PageForward:
            PageDown();
            break;
        case BarAction::None:
            break;
    }
    upPressed = downPressed = thumbPressed = false;
}

void CSkinVerticleScrollbar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    CMemDC dc(&painter, rect());
    const bool enabled = listCtrl != nullptr && listCtrl->GetScrollLimit(SB_VERT) != 0;
    skin::PaintVerticalBar(dc, size(), enabled, thumbTop, skin::VerticalBarBitmaps(enabled));
}

void CSkinVerticleScrollbar::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        OnLButtonDown(MouseFlags(event), event->position().toPoint());
    event->accept();
}

void CSkinVerticleScrollbar::mouseMoveEvent(QMouseEvent* event) {
    OnMouseMove(MouseFlags(event), event->position().toPoint());
    event->accept();
}

void CSkinVerticleScrollbar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        OnLButtonUp(MouseFlags(event), event->position().toPoint());
    event->accept();
}

// Horizontal bar -------------------------------------------------------------

CSkinHorizontalScrollbar::CSkinHorizontalScrollbar(QWidget* parent) : CStatic(parent) {}

CSkinHorizontalScrollbar::~CSkinHorizontalScrollbar() = default;

void CSkinHorizontalScrollbar::SyncThumb() {
    if (listCtrl != nullptr) {
        const skin::ThumbPlacement p = skin::HorizontalThumbFromScroll(
            listCtrl->GetScrollPos(SB_HORZ), listCtrl->GetScrollLimit(SB_HORZ), width());
        pixelsPerUnit = p.pixelsPerUnit;
        thumbLeft = p.thumb;
    }
    PaintBar();
}

void CSkinHorizontalScrollbar::ClampThumb() {
    thumbLeft = skin::HorizontalClampThumb(thumbLeft, width());
}

void CSkinHorizontalScrollbar::PaintBar() {
    update();
}

void CSkinHorizontalScrollbar::scrollList(UINT code) {
    if (listCtrl != nullptr)
        listCtrl->SendMessage(WM_HSCROLL, MAKEWPARAM(static_cast<int>(code), 0), 0);
    SyncThumb();
}

void CSkinHorizontalScrollbar::LineLeft() {
    scrollList(SB_LINELEFT);
}
void CSkinHorizontalScrollbar::LineRight() {
    scrollList(SB_LINERIGHT);
}
void CSkinHorizontalScrollbar::PageLeft() {
    scrollList(SB_PAGELEFT);
}
void CSkinHorizontalScrollbar::PageRight() {
    scrollList(SB_PAGERIGHT);
}

void CSkinHorizontalScrollbar::OnTimer(UINT_PTR id) {
    if (id == skin::kDelayTimerId) {
        if (leftPressed || rightPressed) {
            KillTimer(skin::kDelayTimerId);
            SetTimer(skin::kRepeatTimerId, skin::kRepeatMs);
        }
    } else if (id == skin::kRepeatTimerId) {
        if (rightPressed)
            LineRight();
        if (leftPressed)
            LineLeft();
    }
    CStatic::OnTimer(id);
}

void CSkinHorizontalScrollbar::OnLButtonDown(UINT, QPoint point) {
    const BarHit hit = skin::HorizontalHit(point.x(), point.y(), width(), thumbLeft);
    if (hit.thumb)
        thumbPressed = true;
    if (hit.forwardArrow) {
        rightPressed = true;
        SetTimer(skin::kDelayTimerId, skin::kDelayMs);
    } else if (hit.backArrow) {
        leftPressed = true;
        SetTimer(skin::kDelayTimerId, skin::kDelayMs);
    }
}

void CSkinHorizontalScrollbar::OnMouseMove(UINT, QPoint point) {
    if (thumbPressed)
        dragging = true;
    if (!dragging || listCtrl == nullptr)
        return;
    thumbLeft = point.x() - 13;
    const int limit = listCtrl->GetScrollLimit(SB_HORZ);
    int target = 0;
    if (skin::HorizontalDragTarget(thumbLeft, limit, width(), &target)) {
        pixelsPerUnit = static_cast<double>(width() - 75) / limit;
        const long long dx = static_cast<long long>(target) - listCtrl->GetScrollPos(SB_HORZ);
        if (dx != 0)
            listCtrl->Scroll(
                QSize(static_cast<int>(std::clamp<long long>(dx, -(1 << 30), 1 << 30)), 0));
    }
    ClampThumb();
    PaintBar();
}

void CSkinHorizontalScrollbar::OnLButtonUp(UINT, QPoint point) {
    SyncThumb();
    KillTimer(skin::kRepeatTimerId);
    KillTimer(skin::kDelayTimerId);
    const BarHit hit = skin::HorizontalHit(point.x(), point.y(), width(), thumbLeft);
    switch (skin::ReleaseAction(hit, leftPressed, rightPressed, dragging, thumbLeft, point.x())) {
        case BarAction::LineBack:
            LineLeft();
            break;
        case BarAction::LineForward:
            LineRight();
            break;
        case BarAction::PageBack:
            PageLeft();
            break;
        case BarAction::PageForward:
            PageRight();
            break;
        case BarAction::None:
            break;
    }
    leftPressed = rightPressed = thumbPressed = dragging = false;
}

void CSkinHorizontalScrollbar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    CMemDC dc(&painter, rect());
    const bool enabled = listCtrl != nullptr && listCtrl->GetScrollLimit(SB_HORZ) != 0;
    skin::PaintHorizontalBar(dc, size(), enabled, thumbLeft, skin::HorizontalBarBitmaps(enabled));
}

void CSkinHorizontalScrollbar::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        OnLButtonDown(MouseFlags(event), event->position().toPoint());
    event->accept();
}

void CSkinHorizontalScrollbar::mouseMoveEvent(QMouseEvent* event) {
    OnMouseMove(MouseFlags(event), event->position().toPoint());
    event->accept();
}

void CSkinHorizontalScrollbar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        OnLButtonUp(MouseFlags(event), event->position().toPoint());
    event->accept();
}
