#include "list_ctrl.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include "dialog.h"
#include "dialog_units.h"
#include "sys_colors.h"

using namespace ostrel::dialog;

namespace {

constexpr int kDataRole = Qt::UserRole + 1;
constexpr int kFormatRole = Qt::UserRole + 2;
constexpr int kTextMargin = 6;

Qt::Alignment alignmentFor(int format) {
    switch (format & 3) {
        case LVCFMT_RIGHT:
            return Qt::AlignRight | Qt::AlignVCenter;
        case LVCFMT_CENTER:
            return Qt::AlignHCenter | Qt::AlignVCenter;
        default:
            return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

// Paints one cell as the list view does: its background and its text, in
// the colours the row is drawn with right now.
class RowDelegate : public QStyledItemDelegate {
public:
    explicit RowDelegate(CListCtrl* list) : QStyledItemDelegate(list), list_(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const int row = index.row();
        const bool fullRow = (list_->GetExtendedStyle() & LVS_EX_FULLROWSELECT) != 0;
        const bool selected = list_->RowDrawnSelected(row) && (fullRow || index.column() == 0);
        QColor back = list_->RowBackColor(row);
        QColor text = list_->RowTextColor(row);
        if (selected) {
            const bool focused = list_->hasFocus();
            if (focused || (list_->GetStyle() & LVS_SHOWSELALWAYS)) {
                back = sysColor(focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
                text = sysColor(focused ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT);
            }
        }
        if (!list_->isEnabled())
            text = sysColor(COLOR_GRAYTEXT);
        painter->fillRect(option.rect, back);
        const QRect textRect = option.rect.adjusted(kTextMargin, 0, -kTextMargin, 0);
        const QString value = index.data(Qt::DisplayRole).toString();
        const int format = list_->headerItem()
                               ? list_->headerItem()->data(index.column(), kFormatRole).toInt()
                               : 0;
        painter->save();
        painter->setFont(list_->font());
        painter->setPen(text);
        painter->drawText(textRect, static_cast<int>(alignmentFor(format)),
                          option.fontMetrics.elidedText(value, Qt::ElideRight, textRect.width()));
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(GdiCellHeight(list_->font()) + 4);
        return size;
    }

private:
    CListCtrl* list_;
};

}  // namespace

// ---- CHeaderCtrl ----

CHeaderCtrl::CHeaderCtrl(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setStretchLastSection(false);
    setSectionsMovable(false);
    setHighlightSections(false);
    setSectionsClickable(true);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setSectionResizeMode(QHeaderView::Interactive);
    setMinimumSectionSize(0);
}

CHeaderCtrl::~CHeaderCtrl() = default;

int CHeaderCtrl::GetItemCount() const {
    return count();
}

QRect CHeaderCtrl::GetItemRect(int index) const {
    if (index < 0 || index >= count())
        return {};
    return QRect(sectionViewportPosition(index), 0, sectionSize(index), height());
}

QString CHeaderCtrl::GetItemText(int index) const {
    return model() ? model()->headerData(index, Qt::Horizontal, Qt::DisplayRole).toString()
                   : QString();
}

int CHeaderCtrl::GetItemFormat(int index) const {
    return model() ? model()->headerData(index, Qt::Horizontal, kFormatRole).toInt() : LVCFMT_LEFT;
}

// ---- CListCtrl ----

CListCtrl::CListCtrl(QWidget* parent) : QTreeWidget(parent), CWnd(this) {
    SetStyleWord(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SINGLESEL |
                 LVS_SHOWSELALWAYS);
    setHeader(new CHeaderCtrl(this));
    watchColumnWidths();
    watchRows();
    setColumnCount(0);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setIndentation(0);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setItemDelegate(new RowDelegate(this));
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setExpandsOnDoubleClick(false);
    QPalette pal = palette();
    pal.setColor(QPalette::Base, sysColor(COLOR_WINDOW));
    pal.setColor(QPalette::WindowText, QColor(0, 0, 0));
    setPalette(pal);
}

CListCtrl::~CListCtrl() {
    // The model and the header are children that outlive this part of the
    // object (they go with the widget, and the model reports its reset as
    // it goes): what watches them here must no longer be called.
    for (const QMetaObject::Connection& watch : geometryWatches_)
        disconnect(watch);
}

bool CListCtrl::AcceptsClass(ControlClass controlClass) const {
    return controlClass == ControlClass::ListView;
}

QTreeWidgetItem* CListCtrl::row(int index) const {
    return index >= 0 && index < topLevelItemCount() ? topLevelItem(index) : nullptr;
}

CHeaderCtrl* CListCtrl::GetHeaderCtrl() const {
    return qobject_cast<CHeaderCtrl*>(header());
}

void CListCtrl::SetHeaderCtrl(CHeaderCtrl* newHeader) {
    if (!newHeader)
        return;
    std::vector<int> widths;
    for (int c = 0; c < columnCount(); ++c)
        widths.push_back(columnWidth(c));
    setHeader(newHeader);
    watchColumnWidths();
    newHeader->setParent(this);
    for (int c = 0; c < static_cast<int>(widths.size()); ++c)
        setColumnWidth(c, widths[static_cast<std::size_t>(c)]);
    newHeader->show();
}

int CListCtrl::InsertColumn(int column, const QString& heading, int format, int width,
                            int /*subItem*/) {
    const int count = columnCount();
    if (column < 0)
        return -1;
    if (column > count)
        column = count;
    std::vector<int> widths;
    for (int c = 0; c < count; ++c)
        widths.push_back(columnWidth(c));
    setColumnCount(count + 1);
    QTreeWidgetItem* head = headerItem();
    // Shift the columns after the new one to the right.
    for (int c = count; c > column; --c) {
        head->setText(c, head->text(c - 1));
        head->setData(c, kFormatRole, head->data(c - 1, kFormatRole));
        head->setTextAlignment(c, Qt::Alignment(head->textAlignment(c - 1)));
        for (int r = 0; r < topLevelItemCount(); ++r)
            topLevelItem(r)->setText(c, topLevelItem(r)->text(c - 1));
        setColumnWidth(c, widths[static_cast<std::size_t>(c - 1)]);
    }
    for (int r = 0; r < topLevelItemCount(); ++r)
        topLevelItem(r)->setText(column, QString());
    head->setText(column, heading);
    head->setData(column, kFormatRole, format);
    head->setTextAlignment(column, alignmentFor(format));
    setColumnWidth(column, width < 0 ? 60 : width);
    return column;
}

BOOL CListCtrl::DeleteColumn(int column) {
    const int count = columnCount();
    if (column < 0 || column >= count)
        return FALSE;
    QTreeWidgetItem* head = headerItem();
    for (int c = column; c + 1 < count; ++c) {
        head->setText(c, head->text(c + 1));
        head->setData(c, kFormatRole, head->data(c + 1, kFormatRole));
        setColumnWidth(c, columnWidth(c + 1));
        for (int r = 0; r < topLevelItemCount(); ++r)
            topLevelItem(r)->setText(c, topLevelItem(r)->text(c + 1));
    }
    setColumnCount(count - 1);
    return TRUE;
}

int CListCtrl::GetColumnWidth(int column) const {
    return column >= 0 && column < columnCount() ? columnWidth(column) : 0;
}

BOOL CListCtrl::SetColumnWidth(int column, int width) {
    if (column < 0 || column >= columnCount())
        return FALSE;
    setColumnWidth(column, width);
    return TRUE;
}

int CListCtrl::GetColumnCount() const {
    return columnCount();
}

int CListCtrl::InsertItem(int index, const QString& text) {
    if (index < 0 || index > topLevelItemCount())
        index = topLevelItemCount();
    auto* item = new QTreeWidgetItem;
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setText(0, text);
    insertTopLevelItem(index, item);
    return index;
}

BOOL CListCtrl::DeleteItem(int index) {
    QTreeWidgetItem* item = row(index);
    if (!item)
        return FALSE;
    delete takeTopLevelItem(index);
    return TRUE;
}

BOOL CListCtrl::DeleteAllItems() {
    clear();
    return TRUE;
}

int CListCtrl::GetItemCount() const {
    return topLevelItemCount();
}

BOOL CListCtrl::SetItemText(int item, int subItem, const QString& text) {
    QTreeWidgetItem* r = row(item);
    if (!r || subItem < 0 || subItem >= std::max(1, columnCount()))
        return FALSE;
    r->setText(subItem, text);
    return TRUE;
}

QString CListCtrl::GetItemText(int item, int subItem) const {
    QTreeWidgetItem* r = row(item);
    return r ? r->text(subItem) : QString();
}

BOOL CListCtrl::SetItemData(int item, DWORD_PTR value) {
    QTreeWidgetItem* r = row(item);
    if (!r)
        return FALSE;
    r->setData(0, kDataRole, QVariant::fromValue<qulonglong>(value));
    return TRUE;
}

DWORD_PTR CListCtrl::GetItemData(int item) const {
    QTreeWidgetItem* r = row(item);
    return r ? static_cast<DWORD_PTR>(r->data(0, kDataRole).toULongLong()) : 0;
}

UINT CListCtrl::GetItemState(int item, UINT mask) const {
    if (item == drawingRow_)
        return drawingState_ & mask;
    QTreeWidgetItem* r = row(item);
    if (!r)
        return 0;
    UINT state = 0;
    if (r->isSelected())
        state |= LVIS_SELECTED;
    if (currentIndex().isValid() && currentIndex().row() == item)
        state |= LVIS_FOCUSED;
    return state & mask;
}

BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask) {
    if (item == drawingRow_) {
        // During the row's custom draw: changes the drawing, not the list.
        drawingState_ = (drawingState_ & ~mask) | (state & mask);
        return TRUE;
    }
    if (item == -1) {
        for (int r = 0; r < topLevelItemCount(); ++r)
            SetItemState(r, state, mask);
        return TRUE;
    }
    QTreeWidgetItem* r = row(item);
    if (!r)
        return FALSE;
    const QModelIndex index = indexFromItem(r);
    if (mask & LVIS_SELECTED) {
        if (state & LVIS_SELECTED) {
            const auto flags = (GetStyle() & LVS_SINGLESEL) ? QItemSelectionModel::ClearAndSelect
                                                            : QItemSelectionModel::Select;
            selectionModel()->select(index, flags | QItemSelectionModel::Rows);
        } else {
            selectionModel()->select(index,
                                     QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
        }
    }
    if (mask & LVIS_FOCUSED) {
        if (state & LVIS_FOCUSED) {
            selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        } else if (currentIndex().row() == item) {
            selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        }
    }
    return TRUE;
}

int CListCtrl::GetNextItem(int start, UINT flags) const {
    const UINT wanted =
        ((flags & LVNI_SELECTED) ? LVIS_SELECTED : 0) | ((flags & LVNI_FOCUSED) ? LVIS_FOCUSED : 0);
    for (int r = std::max(-1, start) + 1; r < topLevelItemCount(); ++r) {
        if ((GetItemState(r, wanted) & wanted) == wanted)
            return r;
    }
    return -1;
}

int CListCtrl::GetSelectedCount() const {
    int n = 0;
    for (int r = 0; r < topLevelItemCount(); ++r) {
        if (GetItemState(r, LVIS_SELECTED))
            ++n;
    }
    return n;
}

QRect CListCtrl::GetItemRect(int item) const {
    QTreeWidgetItem* r = row(item);
    if (!r)
        return {};
    const_cast<CListCtrl*>(this)->executeDelayedItemsLayout();
    QRect rowRect = visualRect(indexFromItem(r, 0));
    const int totalWidth = header()->length();
    rowRect.setLeft(-horizontalScrollBar()->value());
    rowRect.setWidth(std::max(totalWidth, 0));
    return rowRect.translated(viewport()->geometry().topLeft());
}

int CListCtrl::HitTest(const QPoint& clientPoint, int* subItem) const {
    const QPoint p = viewport()->mapFrom(this, clientPoint);
    if (!viewport()->rect().contains(p))
        return -1;
    const QModelIndex index = indexAt(p);
    if (!index.isValid())
        return -1;
    if (subItem)
        *subItem = index.column();
    return index.row();
}

BOOL CListCtrl::EnsureVisible(int item, BOOL /*partialOk*/) {
    QTreeWidgetItem* r = row(item);
    if (!r)
        return FALSE;
    scrollToItem(r, QAbstractItemView::EnsureVisible);
    return TRUE;
}

BOOL CListCtrl::RedrawItems(int /*first*/, int /*last*/) {
    viewport()->update();
    return TRUE;
}

int CListCtrl::GetRowHeight() const {
    if (topLevelItemCount() > 0) {
        const int h = rowHeight(indexFromItem(topLevelItem(0)));
        if (h > 0)
            return h;
    }
    return GdiCellHeight(font()) + 4;
}

int CListCtrl::GetTopIndex() const {
    const_cast<CListCtrl*>(this)->executeDelayedItemsLayout();
    if (topLevelItemCount() == 0)
        return 0;
    const QModelIndex top = indexAt(QPoint(1, 1));
    if (top.isValid())
        return top.row();
    return std::clamp(verticalScrollBar()->value(), 0, topLevelItemCount() - 1);
}

int CListCtrl::GetCountPerPage() const {
    return std::max(0, viewport()->height() / std::max(1, GetRowHeight()));
}

DWORD CListCtrl::SetExtendedStyle(DWORD style) {
    const DWORD previous = extendedStyle_;
    extendedStyle_ = style;
    viewport()->update();
    return previous;
}

BOOL CListCtrl::SetTextColor(COLORREF color) {
    textColor_ = color;
    viewport()->update();
    return TRUE;
}

BOOL CListCtrl::SetTextBkColor(COLORREF color) {
    textBkColor_ = color;
    viewport()->update();
    return TRUE;
}

BOOL CListCtrl::SetBkColor(COLORREF color) {
    bkColor_ = color;
    QPalette pal = palette();
    pal.setColor(QPalette::Base, toQColor(color));
    setPalette(pal);
    return TRUE;
}

BOOL CListCtrl::Scroll(QSize size) {
    executeDelayedItemsLayout();
    if (size.height() != 0) {
        const int h = std::max(1, GetRowHeight());
        const int dy = size.height();
        const int rows = (dy >= 0 ? dy + h / 2 : dy - h / 2) / h;
        verticalScrollBar()->setValue(verticalScrollBar()->value() + rows);
    }
    if (size.width() != 0)
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + size.width());
    return TRUE;
}

int CListCtrl::GetScrollPos(int bar) const {
    const_cast<CListCtrl*>(this)->executeDelayedItemsLayout();
    return bar == SB_VERT ? verticalScrollBar()->value() : horizontalScrollBar()->value();
}

void CListCtrl::watchColumnWidths() {
    // The view takes a new column width into its scroll range only on its
    // next turn of the event loop; until then the range is recomputed on
    // demand.
    const auto stale = [this] { geometryStale_ = true; };
    geometryWatches_.push_back(connect(header(), &QHeaderView::sectionResized, this, stale));
    geometryWatches_.push_back(connect(header(), &QHeaderView::sectionCountChanged, this, stale));
}

void CListCtrl::watchRows() {
    // Emptying the list leaves no layout pending that would bring its scroll
    // range and position back to nothing; removed rows are recomputed on
    // demand too.
    const auto stale = [this] { geometryStale_ = true; };
    geometryWatches_.push_back(connect(model(), &QAbstractItemModel::modelReset, this, stale));
    geometryWatches_.push_back(connect(model(), &QAbstractItemModel::rowsRemoved, this, stale));
}

int CListCtrl::GetScrollLimit(int bar) const {
    // Only what is pending is carried out here: recomputing the geometry
    // unasked would lay out an empty list again and repaint it, and the
    // skinned bars read the limit while they paint.
    auto* self = const_cast<CListCtrl*>(this);
    self->executeDelayedItemsLayout();
    if (geometryStale_) {
        geometryStale_ = false;
        self->updateGeometries();
    }
    return bar == SB_VERT ? verticalScrollBar()->maximum() : horizontalScrollBar()->maximum();
}

void CListCtrl::ShowOwnScrollBars(bool show) {
    const auto policy = show ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
    setVerticalScrollBarPolicy(policy);
    setHorizontalScrollBarPolicy(policy);
}

LRESULT CListCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_VSCROLL:
        case WM_HSCROLL: {
            QScrollBar* bar = message == WM_VSCROLL ? verticalScrollBar() : horizontalScrollBar();
            executeDelayedItemsLayout();
            switch (LOWORD(wParam)) {
                case SB_LINEUP:
                    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
                    break;
                case SB_LINEDOWN:
                    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
                    break;
                case SB_PAGEUP:
                    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
                    break;
                case SB_PAGEDOWN:
                    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
                    break;
                case SB_THUMBPOSITION:
                case SB_THUMBTRACK:
                    bar->setValue(static_cast<std::int16_t>(HIWORD(wParam)));
                    break;
                case SB_TOP:
                    bar->setValue(bar->minimum());
                    break;
                case SB_BOTTOM:
                    bar->setValue(bar->maximum());
                    break;
                default:
                    break;
            }
            return 0;
        }
        case LVM_GETITEMCOUNT:
            return GetItemCount();
        case LVM_DELETEALLITEMS:
            return DeleteAllItems();
        case LVM_SCROLL:
            return Scroll(QSize(static_cast<int>(wParam), static_cast<int>(lParam)));
        case LVM_REDRAWITEMS:
            return RedrawItems(static_cast<int>(wParam), static_cast<int>(lParam));
        case LVM_SETTEXTCOLOR:
            return SetTextColor(static_cast<COLORREF>(lParam));
        case LVM_SETTEXTBKCOLOR:
            return SetTextBkColor(static_cast<COLORREF>(lParam));
        case LVM_GETTOPINDEX:
            return GetTopIndex();
        case LVM_GETCOUNTPERPAGE:
            return GetCountPerPage();
        case LVM_GETITEMSTATE:
            return GetItemState(static_cast<int>(wParam), static_cast<UINT>(lParam));
        default:
            return CWnd::WindowProc(message, wParam, lParam);
    }
}

LRESULT CListCtrl::OnCustomDraw(NMLVCUSTOMDRAW* /*draw*/) {
    return CDRF_DODEFAULT;
}

LRESULT CListCtrl::sendCustomDraw(NMLVCUSTOMDRAW& draw) const {
    auto* self = const_cast<CListCtrl*>(this);
    draw.nmcd.hdr.code = NM_CUSTOMDRAW;
    draw.nmcd.hdr.hwndFrom = self;
    draw.nmcd.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
    CDialog* dialog = GetOwnerDialog();
    if (dialog && dialog->FindHandler(WM_NOTIFY, NM_CUSTOMDRAW, GetDlgCtrlID())) {
        return self->NotifyParent(draw.nmcd.hdr);
    }
    return self->OnCustomDraw(&draw);
}

bool CListCtrl::RowDrawnSelected(int r) const {
    return (GetItemState(r, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

QColor CListCtrl::RowTextColor(int r) const {
    const COLORREF c =
        (r == drawingRow_ && drawingText_ != CLR_DEFAULT) ? drawingText_ : textColor_;
    return toQColor(c);
}

QColor CListCtrl::RowBackColor(int r) const {
    COLORREF c = (r == drawingRow_ && drawingBk_ != CLR_DEFAULT) ? drawingBk_ : textBkColor_;
    if (c == CLR_NONE || c == CLR_DEFAULT)
        c = bkColor_;
    return toQColor(c);
}

void CListCtrl::paintEvent(QPaintEvent* event) {
    NMLVCUSTOMDRAW draw;
    draw.nmcd.dwDrawStage = CDDS_PREPAINT;
    draw.nmcd.rc = viewport()->rect();
    prepaintAnswer_ = sendCustomDraw(draw);
    QTreeWidget::paintEvent(event);
    if (prepaintAnswer_ & CDRF_NOTIFYPOSTPAINT) {
        NMLVCUSTOMDRAW post;
        post.nmcd.dwDrawStage = CDDS_POSTPAINT;
        post.nmcd.rc = viewport()->rect();
        sendCustomDraw(post);
    }
    prepaintAnswer_ = 0;
}

void CListCtrl::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const {
    const int r = index.row();
    drawingRow_ = -1;
    const UINT realState = GetItemState(r, LVIS_SELECTED | LVIS_FOCUSED);
    drawingRow_ = r;
    drawingState_ = realState;
    drawingText_ = CLR_DEFAULT;
    drawingBk_ = CLR_DEFAULT;
    LRESULT answer = CDRF_DODEFAULT;
    NMLVCUSTOMDRAW draw;
    if (prepaintAnswer_ & CDRF_NOTIFYITEMDRAW) {
        draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
        draw.nmcd.hdc = painter;
        draw.nmcd.rc = option.rect;
        draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(r);
        draw.nmcd.uItemState =
            ((realState & LVIS_SELECTED) ? 0x1u : 0u) | ((realState & LVIS_FOCUSED) ? 0x10u : 0u);
        draw.nmcd.lItemlParam = static_cast<LPARAM>(GetItemData(r));
        draw.clrText = textColor_;
        draw.clrTextBk = textBkColor_;
        answer = sendCustomDraw(draw);
        drawingText_ = draw.clrText;
        drawingBk_ = draw.clrTextBk;
    }
    if (!(answer & CDRF_SKIPDEFAULT)) {
        QStyleOptionViewItem opt = option;
        opt.state &= ~QStyle::State_Selected;
        QTreeWidget::drawRow(painter, opt, index);
    }
    if (answer & CDRF_NOTIFYPOSTPAINT) {
        draw.nmcd.dwDrawStage = CDDS_ITEMPOSTPAINT;
        sendCustomDraw(draw);
    }
    drawingRow_ = -1;
}

void CListCtrl::mousePressEvent(QMouseEvent* event) {
    QTreeWidget::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) {
        pressed_ = true;
        // A press beside the rows clears the selection, as the list view does.
        if (!indexAt(event->position().toPoint()).isValid())
            clearSelection();
    }
}

void CListCtrl::mouseReleaseEvent(QMouseEvent* event) {
    QTreeWidget::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !pressed_)
        return;
    pressed_ = false;
    NMITEMACTIVATE click;
    click.hdr.code = NM_CLICK;
    click.ptAction = viewport()->mapTo(this, event->position().toPoint());
    int subItem = 0;
    click.iItem = HitTest(click.ptAction, &subItem);
    click.iSubItem = click.iItem >= 0 ? subItem : 0;
    NotifyParent(click.hdr);
}

bool CListCtrl::event(QEvent* event) {
    if (dispatchPostedMessage(event))
        return true;
    return QTreeWidget::event(event);
}
