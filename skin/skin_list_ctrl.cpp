#include "skin_list_ctrl.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QWheelEvent>

bool CSkinListCtrl::rowWasSelected = false;

CSkinListCtrl::CSkinListCtrl(QWidget* parent) : CListCtrl(parent) {
    // Whatever moves the list's content (keys, wheel, dragging a row, a
    // programmatic scroll) moves the thumbs too.
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { syncBars(); });
    connect(verticalScrollBar(), &QScrollBar::rangeChanged, this, [this] { syncBars(); });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { syncBars(); });
    connect(horizontalScrollBar(), &QScrollBar::rangeChanged, this, [this] { syncBars(); });
}

CSkinListCtrl::~CSkinListCtrl() {
    // The bars are children of the dialog but belong to this list; make sure
    // they no longer point at it while the dialog tears down.
    vertBar.listCtrl = nullptr;
    horzBar.listCtrl = nullptr;
    // The bars go before the list's base classes do; scroll signals sent
    // while those tear down must not reach them.
    barsAttached = false;
    disconnect(verticalScrollBar(), nullptr, this, nullptr);
    disconnect(horizontalScrollBar(), nullptr, this, nullptr);
}

void CSkinListCtrl::PreSubclassWindow() {
    if (header == nullptr && GetHeaderCtrl() != nullptr) {
        header = new CSkinHeaderCtrl(this);
        SetHeaderCtrl(header);
    }
    CListCtrl::PreSubclassWindow();
}

void CSkinListCtrl::AttachSkinScrollBars() {
    ShowOwnScrollBars(false);
    CWnd* parent = GetParent();
    if (parent == nullptr)
        return;
    // Creating again (a dialog run a second time) re-attaches the same bars.
    vertBar.CreateChild(kScrollBarStyle, QRect(), parent, kScrollBarId);
    horzBar.CreateChild(kScrollBarStyle, QRect(), parent, kScrollBarId);
    vertBar.listCtrl = this;
    horzBar.listCtrl = this;
    barsAttached = true;
    PositionScrollBars();
}

void CSkinListCtrl::PositionScrollBars() {
    // The list's window rectangle in its parent's client coordinates, with
    // exclusive right and bottom edges.
    const QRect g = geometry();
    const int left = g.x();
    const int top = g.y();
    const int right = g.x() + g.width();
    const int bottom = g.y() + g.height();
    vertBar.MoveWindow(right, top, skin::kBarThickness, bottom - top - 1);
    horzBar.MoveWindow(left, bottom, right - left - 2, skin::kBarThickness);
    horzBar.SyncThumb();
    vertBar.SyncThumb();
}

LRESULT CSkinListCtrl::OnCustomDraw(NMLVCUSTOMDRAW* draw) {
    switch (draw->nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT: {
            const int row = static_cast<int>(draw->nmcd.dwItemSpec);
            rowWasSelected = (GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
            if (rowWasSelected) {
                draw->clrText = selectedTextColor;
                draw->clrTextBk = selectedBackColor;
                // Keeps the platform from drawing its own highlight over ours.
                SetItemState(row, 0, LVIS_SELECTED);
            }
            return CDRF_NOTIFYPOSTPAINT;
        }
        case CDDS_ITEMPOSTPAINT:
            if (rowWasSelected)
                SetItemState(static_cast<int>(draw->nmcd.dwItemSpec), LVIS_SELECTED, LVIS_SELECTED);
            return 0;
        default:
            return 0;
    }
}

void CSkinListCtrl::syncBars() {
    if (!barsAttached)
        return;
    // A thumb held by the mouse stays under it while the drag scrolls the
    // list; its release puts it where the list's new position says.
    if (!vertBar.Tracking())
        vertBar.SyncThumb();
    if (!horzBar.Tracking())
        horzBar.SyncThumb();
}

void CSkinListCtrl::paintEvent(QPaintEvent* event) {
    // The rows are drawn on white; the bars follow the scroll position.
    if (GetTextBkColor() != RGB(255, 255, 255))
        SetTextBkColor(RGB(255, 255, 255));
    syncBars();
    CListCtrl::paintEvent(event);
}

void CSkinListCtrl::wheelEvent(QWheelEvent* event) {
    syncBars();
    CListCtrl::wheelEvent(event);
}

void CSkinListCtrl::keyPressEvent(QKeyEvent* event) {
    syncBars();
    CListCtrl::keyPressEvent(event);
}

void CSkinListCtrl::keyReleaseEvent(QKeyEvent* event) {
    syncBars();
    CListCtrl::keyReleaseEvent(event);
}
