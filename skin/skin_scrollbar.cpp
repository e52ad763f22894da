#include "skin_scrollbar.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "mem_dc.h"
#include "platform/dialog/list_ctrl.h"
#include "skin_paint.h"

namespace skin {

// What the two bars do differently.
struct ScrollBarAxis {
    Qt::Orientation orientation;
    const BarLayout& layout;
    int bar;         // SB_VERT / SB_HORZ: the list's scroll range it shows
    UINT message;    // WM_VSCROLL / WM_HSCROLL: what it scrolls the list with
    int firstThumb;  // the thumb before the first synchronisation

    // When a held thumb counts as dragged, so that its release does not page.
    enum class DragFrom {
        Press,      // from the press on the thumb, moved or not
        FirstMove,  // from the first mouse move after that press
    } dragFrom;
    // How a dragged thumb scrolls the list to the position it asks for.
    enum class DragScroll {
        Rows,    // the list's position counts rows: rows × one row's height
        Pixels,  // the list's position counts pixels
    } dragScroll;

    // The bar's pictures and how they are put together.
    BarBitmaps (*bitmaps)(bool enabled);
    void (*paint)(QPainter& p, const QSize& client, bool enabled, int thumb,
                  const BarBitmaps& bitmaps);
};

namespace {

constexpr ScrollBarAxis kVerticalAxis{
    .orientation = Qt::Vertical,
    .layout = kVerticalBarLayout,
    .bar = SB_VERT,
    .message = WM_VSCROLL,
    .firstThumb = 14,
    .dragFrom = ScrollBarAxis::DragFrom::Press,
    .dragScroll = ScrollBarAxis::DragScroll::Rows,
    .bitmaps = VerticalBarBitmaps,
    .paint = PaintVerticalBar,
};

constexpr ScrollBarAxis kHorizontalAxis{
    .orientation = Qt::Horizontal,
    .layout = kHorizontalBarLayout,
    .bar = SB_HORZ,
    .message = WM_HSCROLL,
    .firstThumb = 25,
    .dragFrom = ScrollBarAxis::DragFrom::FirstMove,
    .dragScroll = ScrollBarAxis::DragScroll::Pixels,
    .bitmaps = HorizontalBarBitmaps,
    .paint = PaintHorizontalBar,
};

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

int ClampScroll(long long delta) {
    return static_cast<int>(std::clamp<long long>(delta, -(1 << 30), 1 << 30));
}

}  // namespace

SkinScrollBar::SkinScrollBar(const ScrollBarAxis& barAxis, QWidget* parent)
    : CStatic(parent), axis(barAxis), thumb(barAxis.firstThumb) {}

SkinScrollBar::~SkinScrollBar() = default;

int SkinScrollBar::along(QPoint point) const {
    return axis.orientation == Qt::Vertical ? point.y() : point.x();
}

int SkinScrollBar::across(QPoint point) const {
    return axis.orientation == Qt::Vertical ? point.x() : point.y();
}

int SkinScrollBar::length() const {
    return axis.orientation == Qt::Vertical ? height() : width();
}

void SkinScrollBar::SyncThumb() {
    bool enabled = false;
    if (listCtrl != nullptr) {
        const int limit = listCtrl->GetScrollLimit(axis.bar);
        const ThumbPlacement p =
            ThumbFromScroll(axis.layout, listCtrl->GetScrollPos(axis.bar), limit, length());
        pixelsPerUnit = p.pixelsPerUnit;
        thumb = p.thumb;
        enabled = limit != 0;
    }
    // The list syncs its bars whenever it paints; a bar that would look the
    // same is not painted again, so a repaint of the list never schedules
    // one of the bars without end.
    if (thumb != shownThumb || enabled != shownEnabled)
        PaintBar();
}

void SkinScrollBar::ClampThumb() {
    thumb = skin::ClampThumb(axis.layout, thumb, length());
}

void SkinScrollBar::PaintBar() {
    update();
}

void SkinScrollBar::scrollList(UINT code) {
    if (listCtrl != nullptr)
        listCtrl->SendMessage(axis.message, MAKEWPARAM(static_cast<int>(code), 0), 0);
    SyncThumb();
}

// SB_LINEUP and SB_LINELEFT are the same code, and so on for the others.
void SkinScrollBar::LineBack() {
    scrollList(SB_LINEUP);
}
void SkinScrollBar::LineForward() {
    scrollList(SB_LINEDOWN);
}
void SkinScrollBar::PageBack() {
    scrollList(SB_PAGEUP);
}
void SkinScrollBar::PageForward() {
    scrollList(SB_PAGEDOWN);
}

void SkinScrollBar::OnTimer(UINT_PTR id) {
    if (id == kDelayTimerId) {
        if (backPressed || forwardPressed) {
            KillTimer(kDelayTimerId);
            SetTimer(kRepeatTimerId, kRepeatMs);
        }
    } else if (id == kRepeatTimerId) {
        if (forwardPressed)
            LineForward();
        if (backPressed)
            LineBack();
    }
    CStatic::OnTimer(id);
}

void SkinScrollBar::OnLButtonDown(UINT, QPoint point) {
    const BarHit hit = Hit(axis.layout, along(point), across(point), length(), thumb);
    if (hit.thumb) {
        thumbPressed = true;
        dragging = axis.dragFrom == ScrollBarAxis::DragFrom::Press;
    }
    if (hit.forwardArrow) {
        forwardPressed = true;
        SetTimer(kDelayTimerId, kDelayMs);
    } else if (hit.backArrow) {
        backPressed = true;
        SetTimer(kDelayTimerId, kDelayMs);
    }
}

void SkinScrollBar::OnMouseMove(UINT, QPoint point) {
    if (thumbPressed && axis.dragFrom == ScrollBarAxis::DragFrom::FirstMove)
        dragging = true;
    if (!dragging || listCtrl == nullptr)
        return;
    thumb = along(point) - 13;
    const int limit = listCtrl->GetScrollLimit(axis.bar);
    int target = 0;
    if (DragTarget(axis.layout, thumb, limit, length(), &target)) {
        pixelsPerUnit = static_cast<double>(length() - axis.layout.dragFixed) / limit;
        long long delta = static_cast<long long>(target) - listCtrl->GetScrollPos(axis.bar);
        if (axis.dragScroll == ScrollBarAxis::DragScroll::Rows)
            delta *= listCtrl->GetItemRect(0).height();
        if (delta != 0)
            listCtrl->Scroll(axis.orientation == Qt::Vertical ? QSize(0, ClampScroll(delta))
                                                              : QSize(ClampScroll(delta), 0));
    }
    ClampThumb();
    PaintBar();
}

void SkinScrollBar::OnLButtonUp(UINT, QPoint point) {
    SyncThumb();
    KillTimer(kRepeatTimerId);
    // The delay timer goes too: a press released within 250 ms would leave it
    // running, firing to no effect until the next press.
    KillTimer(kDelayTimerId);
    const BarHit hit = Hit(axis.layout, along(point), across(point), length(), thumb);
    switch (ReleaseAction(hit, backPressed, forwardPressed, dragging, thumb, along(point))) {
        case BarAction::LineBack:
            LineBack();
            break;
        case BarAction::LineForward:
            LineForward();
            break;
        case BarAction::PageBack:
            PageBack();
            break;
        case BarAction::PageForward:
            PageForward();
            break;
        case BarAction::None:
            break;
    }
    backPressed = forwardPressed = thumbPressed = dragging = false;
}

void SkinScrollBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    CMemDC dc(&painter, rect());
    const bool enabled = listCtrl != nullptr && listCtrl->GetScrollLimit(axis.bar) != 0;
    axis.paint(dc, size(), enabled, thumb, axis.bitmaps(enabled));
    shownThumb = thumb;
    shownEnabled = enabled;
}

void SkinScrollBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        OnLButtonDown(MouseFlags(event), event->position().toPoint());
    event->accept();
}

void SkinScrollBar::mouseMoveEvent(QMouseEvent* event) {
    OnMouseMove(MouseFlags(event), event->position().toPoint());
    event->accept();
}

void SkinScrollBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        OnLButtonUp(MouseFlags(event), event->position().toPoint());
    event->accept();
}

}  // namespace skin

CSkinVerticleScrollbar::CSkinVerticleScrollbar(QWidget* parent)
    : SkinScrollBar(skin::kVerticalAxis, parent) {}

CSkinVerticleScrollbar::~CSkinVerticleScrollbar() = default;

CSkinHorizontalScrollbar::CSkinHorizontalScrollbar(QWidget* parent)
    : SkinScrollBar(skin::kHorizontalAxis, parent) {}

CSkinHorizontalScrollbar::~CSkinHorizontalScrollbar() = default;
