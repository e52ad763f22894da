#pragma once

// CSkinListCtrl: the report list of the skinned dialogs. It draws selected
// rows black on light grey (and still reports them selected), owns a
// bitmap-painted header, and drives two bitmap-painted scroll bars that sit
// beside it as child controls of its dialog; its own scroll bars are off.
//
// Use: bind it to the list control (DDX_Control / BindControl), then in
// OnInitDialog, after the list's font is set and before its columns are
// filled, call AttachSkinScrollBars() once.

#include "platform/dialog/list_ctrl.h"
#include "skin_header_ctrl.h"
#include "skin_scrollbar.h"

class CSkinListCtrl : public CListCtrl {
    Q_OBJECT

public:
    explicit CSkinListCtrl(QWidget* parent = nullptr);
    ~CSkinListCtrl() override;

    // Switches the list's own scroll bars off, creates the two skin bars as
    // children of the list's dialog (style WS_CHILD | WS_VISIBLE | WS_GROUP |
    // SS_NOTIFY, id 0xFFFF) and places them. The list must have a parent.
    void AttachSkinScrollBars();
    // Places the vertical bar along the list's right edge and the horizontal
    // bar along its bottom edge, then syncs both thumbs.
    void PositionScrollBars();

    void PreSubclassWindow() override;
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw) override;

    CSkinHeaderCtrl* Header() const { return header; }
    CSkinVerticleScrollbar& VerticalBar() { return vertBar; }
    CSkinHorizontalScrollbar& HorizontalBar() { return horzBar; }

    static constexpr int kScrollBarId = 0xFFFF;
    static constexpr DWORD kScrollBarStyle = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_NOTIFY;

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void syncBars();

    CSkinHeaderCtrl* header = nullptr;  // owned by the list once installed
    COLORREF selectedTextColor = RGB(0, 0, 0);
    COLORREF selectedBackColor = RGB(190, 190, 190);
    CSkinVerticleScrollbar vertBar;
    CSkinHorizontalScrollbar horzBar;
    bool barsAttached = false;

    // Carries a row's selection from its pre-paint to its post-paint; one
    // for all lists, as rows are painted one at a time.
    static bool rowWasSelected;
};
