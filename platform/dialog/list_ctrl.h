#pragma once

// CListCtrl: a report-mode list view (rows and columns, one selection),
// built on a QTreeView. Rows are items (index from 0), columns sub-items.
//
// Painting follows the platform's custom-draw protocol: for each paint the
// list sends NM_CUSTOMDRAW with CDDS_PREPAINT; an answer with
// CDRF_NOTIFYITEMDRAW gets CDDS_ITEMPREPAINT for every row drawn (the row's
// index in dwItemSpec, its rectangle in rc, the painter in hdc), where the
// handler may set clrText / clrTextBk and change the row's state; an answer
// with CDRF_NOTIFYPOSTPAINT gets CDDS_ITEMPOSTPAINT after the row. The
// dialog's message map sees the notification first (ON_NOTIFY
// NM_CUSTOMDRAW); without an entry the list's own OnCustomDraw gets it, as
// a reflected notification. State changes made during a row's pre-paint
// (SetItemState) apply to that row's drawing only: they are what GetItemState
// answers until its post-paint, and the real selection never changes.
//
// Selected rows are drawn in COLOR_HIGHLIGHT while the list has the focus,
// in COLOR_BTNFACE otherwise (LVS_SHOWSELALWAYS). A mouse click sends
// NM_CLICK (NMITEMACTIVATE) to the dialog after the selection has changed.
// Vertical scrolling is by rows, horizontal by pixels, as on the platform.

#include <QHeaderView>
#include <QTreeWidget>
#include <vector>

#include "window.h"

// The column header of a list. A skinned header derives from it; install it
// with CListCtrl::SetHeaderCtrl (the list owns it from then on).
class CHeaderCtrl : public QHeaderView {
    Q_OBJECT

public:
    explicit CHeaderCtrl(QWidget* parent = nullptr);
    ~CHeaderCtrl() override;
    int GetItemCount() const;
    QRect GetItemRect(int index) const;  // in header client coordinates
    QString GetItemText(int index) const;
    int GetItemFormat(int index) const;  // LVCFMT_*
};

class CListCtrl : public QTreeWidget, public CWnd {
    Q_OBJECT

public:
    explicit CListCtrl(QWidget* parent = nullptr);
    ~CListCtrl() override;

    // Columns.
    int InsertColumn(int column, const QString& heading, int format = LVCFMT_LEFT, int width = -1,
                     int subItem = -1);
    BOOL DeleteColumn(int column);
    int GetColumnWidth(int column) const;
    BOOL SetColumnWidth(int column, int width);
    int GetColumnCount() const;
    CHeaderCtrl* GetHeaderCtrl() const;
    void SetHeaderCtrl(CHeaderCtrl* header);

    // Rows.
    int InsertItem(int index, const QString& text);  // index of the new row
    BOOL DeleteItem(int index);
    BOOL DeleteAllItems();
    int GetItemCount() const;
    BOOL SetItemText(int item, int subItem, const QString& text);
    QString GetItemText(int item, int subItem) const;
    BOOL SetItemData(int item, DWORD_PTR data);
    DWORD_PTR GetItemData(int item) const;
    UINT GetItemState(int item, UINT mask) const;
    BOOL SetItemState(int item, UINT state, UINT mask);
    // The next row after `start` (-1: from the top) with all of `flags`
    // (LVNI_SELECTED, LVNI_FOCUSED); -1 when none.
    int GetNextItem(int start, UINT flags) const;
    int GetSelectedCount() const;
    QRect GetItemRect(int item) const;  // whole row, list client coordinates
    int HitTest(const QPoint& clientPoint, int* subItem = nullptr) const;
    BOOL EnsureVisible(int item, BOOL partialOk = FALSE);
    BOOL RedrawItems(int first, int last);

    // View.
    int GetTopIndex() const;
    int GetCountPerPage() const;
    DWORD GetExtendedStyle() const { return extendedStyle_; }
    DWORD SetExtendedStyle(DWORD style);  // previous style
    BOOL SetTextColor(COLORREF color);
    COLORREF GetTextColor() const { return textColor_; }
    BOOL SetTextBkColor(COLORREF color);
    COLORREF GetTextBkColor() const { return textBkColor_; }
    BOOL SetBkColor(COLORREF color);
    COLORREF GetBkColor() const { return bkColor_; }
    // LVM_SCROLL: dx pixels, dy pixels (rounded to whole rows).
    BOOL Scroll(QSize size);
    int GetScrollPos(int bar) const;
    int GetScrollLimit(int bar) const;
    int GetRowHeight() const;
    // Shows or hides the list's own scroll bars (hidden for skinned bars).
    void ShowOwnScrollBars(bool show);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool AcceptsClass(ostrel::dialog::ControlClass controlClass) const override;

    // The reflected NM_CUSTOMDRAW; the default draws everything itself.
    virtual LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw);

    // Used by the row painting: how the row is drawn right now.
    bool RowDrawnSelected(int row) const;
    QColor RowTextColor(int row) const;
    QColor RowBackColor(int row) const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    LRESULT sendCustomDraw(NMLVCUSTOMDRAW& draw) const;
    QTreeWidgetItem* row(int index) const;
    void watchColumnWidths();
    void watchRows();
    DWORD extendedStyle_ = 0;
    COLORREF textColor_ = 0;
    COLORREF textBkColor_ = 0xFFFFFF;
    COLORREF bkColor_ = 0xFFFFFF;
    // Per-paint custom-draw state.
    mutable LRESULT prepaintAnswer_ = 0;
    mutable int drawingRow_ = -1;
    mutable UINT drawingState_ = 0;
    mutable COLORREF drawingText_ = CLR_DEFAULT;
    mutable COLORREF drawingBk_ = CLR_DEFAULT;
    bool pressed_ = false;
    // A column's width, the column count or the rows changed in a way the
    // view does not take into its scroll range at once: the range is
    // brought up to date at the next read of the limit.
    mutable bool geometryStale_ = false;
    std::vector<QMetaObject::Connection> geometryWatches_;
};
