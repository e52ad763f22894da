#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "platform/dialog/combo_box.h"
#include "platform/dialog/dialog.h"
#include "platform/dialog/ip_address_ctrl.h"
#include "platform/dialog/list_ctrl.h"
#include "platform/dialog/message_box.h"
#include "platform/dialog/progress_ctrl.h"
#include "platform/dialog/static_ctrl.h"
#include "platform/dialog/sys_colors.h"

using namespace ostrel::dialog;

namespace {

DialogTemplate controlsTemplate() {
    DialogTemplate t;
    t.id = 910;
    t.cx = 287;
    t.cy = 200;
    t.controls = {
        IpAddress(1006, {50, 145 - 130, 100, 13}),
        ReportList(1000, {14, 44, 179, 61}),
        Static("I P :", {14, 148 - 130, 14, 8}),
        SmoothProgress(1023, {26, 160, 152, 10}),
    };
    return t;
}

struct Octets {
    BYTE b[4] = {9, 9, 9, 9};
    int count = -1;
};

Octets read(const CIPAddressCtrl& ip) {
    Octets o;
    o.count = ip.GetAddress(o.b[0], o.b[1], o.b[2], o.b[3]);
    return o;
}

}  // namespace

TEST(IpAddressCtrl, SetGetClearAndBlank) {
    CIPAddressCtrl ip;
    EXPECT_TRUE(ip.IsBlank());
    Octets o = read(ip);
    EXPECT_EQ(o.count, 0);
    EXPECT_EQ(o.b[0], 0);  // blank fields read as 0

    ip.SetAddress(0xC0A80105);  // 192.168.1.5, first octet in the high byte
    o = read(ip);
    EXPECT_EQ(o.count, 4);
    EXPECT_EQ(std::vector<int>(o.b, o.b + 4), (std::vector<int>{192, 168, 1, 5}));
    DWORD packed = 0;
    EXPECT_EQ(ip.GetAddress(packed), 4);
    EXPECT_EQ(packed, 0xC0A80105u);

    ip.ClearAddress();
    EXPECT_TRUE(ip.IsBlank());
    ip.Field(2)->setText("7");
    EXPECT_FALSE(ip.IsBlank());
    EXPECT_EQ(read(ip).count, 1);
    EXPECT_EQ(ip.SendMessage(IPM_ISBLANK), FALSE);
}

TEST(IpAddressCtrl, TypingRules) {
    CDialog dialog(controlsTemplate());
    ASSERT_TRUE(dialog.Create());
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    auto* ip = dialog.GetDlgItemAs<CIPAddressCtrl>(1006);
    ASSERT_NE(ip, nullptr);
    ip->SetFieldFocus(0);
    // Three digits move on; a dot moves on; letters are refused; 300 is 255.
    QTest::keyClicks(dialog.focusWidget(), "192");
    QTest::keyClicks(dialog.focusWidget(), "16x8.");
    QTest::keyClicks(dialog.focusWidget(), "1.");
    QTest::keyClicks(dialog.focusWidget(), "300");
    EXPECT_EQ(ip->FieldText(0), "192");
    EXPECT_EQ(ip->FieldText(1), "168");
    EXPECT_EQ(ip->FieldText(2), "1");
    EXPECT_EQ(ip->FieldText(3), "255");
    // A value above 255 left by the focus is brought back too.
    ip->SetFieldFocus(1);
    QTest::keyClick(dialog.focusWidget(), Qt::Key_Backspace);
    QTest::keyClicks(dialog.focusWidget(), "99");
    ip->Field(1)->setText("999");
    dialog.GetDlgItem(1000)->SetFocus();
    EXPECT_EQ(ip->FieldText(1), "255");
}

TEST(IpAddressCtrl, FieldFocusAndEnabling) {
    CDialog dialog(controlsTemplate());
    ASSERT_TRUE(dialog.Create());
    dialog.show();
    auto* ip = dialog.GetDlgItemAs<CIPAddressCtrl>(1006);
    ip->SetAddress(10, 0, 0, 1);
    ip->SetFieldFocus(2);
    EXPECT_EQ(dialog.focusWidget(), ip->Field(2));
    ip->Field(1)->clear();
    ip->SetFieldFocus(9);  // beyond 3: the first blank field
    EXPECT_EQ(dialog.focusWidget(), ip->Field(1));
    ip->SendMessage(IPM_SETFOCUS, 0, 0);
    EXPECT_EQ(dialog.focusWidget(), ip->Field(0));
    ip->EnableWindow(FALSE);
    for (int k = 0; k < 4; ++k)
        EXPECT_FALSE(ip->Field(k)->isEnabled());
    ip->EnableWindow(TRUE);
    EXPECT_TRUE(ip->Field(3)->isEnabled());
}

TEST(ListCtrl, RowsColumnsStatesAndPaging) {
    CListCtrl list;
    list.resize(300, 120);
    EXPECT_EQ(list.InsertColumn(0, "Name", LVCFMT_LEFT, 94), 0);
    EXPECT_EQ(list.InsertColumn(1, "IP", LVCFMT_LEFT, 81), 1);
    EXPECT_EQ(list.GetHeaderCtrl()->GetItemText(1), "IP");
    EXPECT_EQ(list.GetColumnWidth(0), 94);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(list.InsertItem(i, QString("rec%1").arg(i)), i);
        list.SetItemText(i, 1, QString("10.0.0.%1").arg(i));
        list.SetItemData(i, static_cast<DWORD_PTR>(1000 + i));
    }
    EXPECT_EQ(list.InsertItem(99, "tail"), 20);  // past the end appends
    EXPECT_EQ(list.GetItemCount(), 21);
    EXPECT_EQ(list.GetItemText(3, 1), "10.0.0.3");
    EXPECT_EQ(list.GetItemData(4), 1004u);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), -1);
    list.SetItemState(5, LVIS_SELECTED, LVIS_SELECTED);
    list.SetItemState(6, LVIS_SELECTED, LVIS_SELECTED);  // single selection
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 6);
    EXPECT_EQ(list.GetNextItem(6, LVNI_SELECTED), -1);
    EXPECT_EQ(list.GetSelectedCount(), 1);

    list.show();
    const int perPage = list.GetCountPerPage();
    EXPECT_GT(perPage, 2);
    EXPECT_EQ(list.GetTopIndex(), 0);
    EXPECT_EQ(list.GetScrollLimit(SB_VERT), 21 - perPage);
    list.SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(list.GetTopIndex(), 1);
    list.Scroll(QSize(0, 2 * list.GetRowHeight()));
    EXPECT_EQ(list.GetScrollPos(SB_VERT), 3);
    EXPECT_EQ(list.GetTopIndex(), 3);
    EXPECT_EQ(list.HitTest(list.GetItemRect(4).center()), 4);
    EXPECT_EQ(list.HitTest(QPoint(2, 2)), -1);  // the header is not a row
    // With its own bars hidden (a skinned list) the scroll ranges still hold:
    // rows vertically, pixels horizontally.
    list.ShowOwnScrollBars(false);
    list.SetColumnWidth(1, 400);
    EXPECT_EQ(list.GetScrollLimit(SB_HORZ), 94 + 400 - list.viewport()->width());
    list.Scroll(QSize(30, 0));
    EXPECT_EQ(list.GetScrollPos(SB_HORZ), 30);
    EXPECT_EQ(list.GetScrollLimit(SB_VERT), 21 - list.GetCountPerPage());
    list.DeleteAllItems();
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_EQ(list.GetColumnCount(), 2);
    EXPECT_EQ(list.GetScrollLimit(SB_VERT), 0);
}

namespace {

// Draws selected rows in its own colours, clearing the selection for the
// drawing only, as a skinned list does.
class GreyList : public CListCtrl {
public:
    int prepaints = 0;
    bool stateSeenAfterPaint = false;
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw) override {
        const int row = static_cast<int>(draw->nmcd.dwItemSpec);
        switch (draw->nmcd.dwDrawStage) {
            case CDDS_PREPAINT:
                ++prepaints;
                return CDRF_NOTIFYITEMDRAW;
            case CDDS_ITEMPREPAINT:
                wasSelected = GetItemState(row, LVIS_SELECTED) != 0;
                if (wasSelected) {
                    draw->clrText = RGB(0, 0, 0);
                    draw->clrTextBk = RGB(190, 190, 190);
                    SetItemState(row, 0, LVIS_SELECTED);
                }
                return CDRF_NOTIFYPOSTPAINT;
            case CDDS_ITEMPOSTPAINT:
                if (wasSelected)
                    SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
                return 0;
            default:
                return 0;
        }
    }
    bool wasSelected = false;
};

}  // namespace

TEST(ListCtrl, CustomDrawColoursRowsWithoutLosingTheSelection) {
    GreyList list;
    list.resize(200, 100);
    list.InsertColumn(0, "Name", LVCFMT_LEFT, 150);
    list.InsertItem(0, "a");
    list.InsertItem(1, "b");
    list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    list.setFocus();
    const QImage image = list.grab().toImage();
    EXPECT_GT(list.prepaints, 0);
    const QRect row1 = list.GetItemRect(1);
    const QRect row0 = list.GetItemRect(0);
    EXPECT_EQ(QColor(image.pixel(row1.left() + 140, row1.center().y())), QColor(190, 190, 190));
    EXPECT_EQ(QColor(image.pixel(row0.left() + 140, row0.center().y())), QColor(255, 255, 255));
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 1);  // still selected after painting
}

TEST(ProgressCtrl, RangePositionAndSteps) {
    CProgressCtrl bar;
    bar.SetRange(1, 100);
    EXPECT_EQ(bar.GetPos(), 1);  // clamped into the new range
    bar.SetStep(1);
    for (int i = 0; i < 99; ++i)
        bar.StepIt();
    EXPECT_EQ(bar.GetPos(), 100);
    bar.StepIt();  // past the end it starts over
    EXPECT_EQ(bar.GetPos(), 2);
    EXPECT_EQ(bar.SetPos(500), 2);
    EXPECT_EQ(bar.GetPos(), 100);
    EXPECT_EQ(bar.SendMessage(PBM_SETRANGE, 0, MAKELPARAM(0, 10)), MAKELPARAM(1, 100));
    EXPECT_EQ(bar.SendMessage(PBM_GETRANGE, TRUE, 0), 0);
    EXPECT_EQ(bar.SendMessage(PBM_GETPOS, 0, 0), 10);
}

namespace {

class WhiteLabels : public CDialog {
public:
    WhiteLabels() : CDialog(controlsTemplate()) {}
    BOOL OnEraseBkgnd(QPainter& painter) {
        painter.fillRect(rect(), QColor(200, 0, 0));
        return TRUE;
    }
    void OnCtlColor(CtlColor& color) {
        CDialog::OnCtlColor(color);
        if (color.ctlType == CTLCOLOR_STATIC) {
            color.SetBkMode(TRANSPARENT);
            color.SetTextColor(RGB(255, 255, 255));
            color.brush = CtlColor::Brush::Null;
        }
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(WhiteLabels, CDialog)
ON_WM_ERASEBKGND()
ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

}  // namespace

TEST(StaticCtrl, ColoursComeFromTheDialog) {
    {
        WhiteLabels dialog;
        ASSERT_TRUE(dialog.Create());
        const QImage image = dialog.grab().toImage();
        const QRect label = dialog.Controls()[2]->widget()->geometry();
        bool white = false;
        for (int x = label.left(); x <= label.right(); ++x) {
            for (int y = label.top(); y <= label.bottom(); ++y)
                white |= QColor(image.pixel(x, y)).green() > 160;  // text on the red background
        }
        EXPECT_TRUE(white);
        EXPECT_EQ(QColor(image.pixel(label.right() - 1, label.bottom() - 1)),
                  QColor(200, 0, 0));  // transparent
    }
    {
        CDialog plain(controlsTemplate());
        ASSERT_TRUE(plain.Create());
        const QImage image = plain.grab().toImage();
        const QRect label = plain.Controls()[2]->widget()->geometry();
        EXPECT_EQ(QColor(image.pixel(label.right() - 1, label.bottom() - 1)),
                  sysColor(COLOR_BTNFACE));
    }
}

TEST(StaticCtrl, RunTimeChildrenJoinTheDialogAndNotifyWhenAsked) {
    CDialog dialog(controlsTemplate());
    ASSERT_TRUE(dialog.Create());
    CStatic bar;
    ASSERT_TRUE(bar.CreateChild(WS_CHILD | WS_VISIBLE | WS_GROUP | SS_NOTIFY, QRect(0, 0, 14, 60),
                                &dialog, 0xFFFF));
    EXPECT_EQ(dialog.Controls().back(), &bar);
    EXPECT_EQ(bar.parentWidget(), &dialog);
    EXPECT_FALSE(bar.testAttribute(Qt::WA_TransparentForMouseEvents));  // SS_NOTIFY takes the mouse
    bar.ModifyStyle(SS_NOTIFY, 0);
    EXPECT_TRUE(bar.testAttribute(Qt::WA_TransparentForMouseEvents));
    dialog.DestroyWindow();
    EXPECT_EQ(bar.parentWidget(), nullptr);  // let go of, not deleted
}

TEST(MessageBox, HookRecordsAndAnswers) {
    SetAppName(QStringLiteral("Ostrel NVR Search Utility"));  // as the program does at start-up
    EXPECT_EQ(QCoreApplication::applicationName(), "Ostrel NVR Search Utility");
    CDialog owner(controlsTemplate());
    ScopedMessageBoxHook boxes(
        [](const MessageBoxRecord& r) { return r.icon() == MB_ICONERROR ? IDCANCEL : IDOK; });
    EXPECT_EQ(MessageBox(&owner, "Set to dhcp client fail.", "Error", MB_ICONERROR), IDCANCEL);
    EXPECT_EQ(MessageBox(&owner, "Please check hard drives."), IDOK);
    EXPECT_EQ(AfxMessageBox("Device is no longer available.", MB_ICONEXCLAMATION), IDOK);
    ASSERT_EQ(boxes.records().size(), 3u);
    EXPECT_EQ(boxes.records()[0].caption, "Error");
    EXPECT_EQ(boxes.records()[0].owner, &owner);
    EXPECT_EQ(boxes.records()[1].caption,
              "Ostrel NVR Search Utility");  // no caption: the application's name
    EXPECT_EQ(boxes.records()[1].icon(), 0u);
    EXPECT_EQ(boxes.records()[2].icon(), MB_ICONEXCLAMATION);
    {
        ScopedMessageBoxHook inner;
        MessageBox(nullptr, "inner", "Confirm", MB_ICONINFORMATION);
        EXPECT_EQ(inner.records().size(), 1u);
    }
    EXPECT_EQ(boxes.records().size(), 3u);
}

TEST(MessageBox, ShownBoxesHaveTheCaptionAndIcon) {
    // Without a hook the real box appears; close it from the event loop.
    SetAppName(QStringLiteral("Ostrel NVR Search Utility"));
    QString title;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            title = box->windowTitle();
            box->accept();
        }
    });
    EXPECT_EQ(MessageBox(nullptr, "Successfully mapped drive.", "", MB_ICONINFORMATION), IDOK);
    EXPECT_EQ(title, "Ostrel NVR Search Utility");
}

TEST(ComboBox, SelectionRulesOfADropDownList) {
    CComboBox combo;
    EXPECT_EQ(combo.AddString("Disable"), 0);
    EXPECT_EQ(combo.AddString("Enable"), 1);
    EXPECT_EQ(combo.GetCurSel(), CB_ERR);  // adding items selects nothing
    EXPECT_EQ(combo.SetCurSel(1), 1);
    EXPECT_EQ(combo.InsertString(0, "First"), 0);
    EXPECT_EQ(combo.GetCurSel(), 2);  // the selection follows its item
    EXPECT_EQ(combo.SetCurSel(7), CB_ERR);
    EXPECT_EQ(combo.GetCurSel(), CB_ERR);  // out of range clears the selection
    combo.SetCurSel(2);
    EXPECT_EQ(combo.DeleteString(2), 2);
    EXPECT_EQ(combo.GetCurSel(), CB_ERR);
    QString text;
    EXPECT_EQ(combo.GetLBText(5, text), CB_ERR);
    EXPECT_EQ(combo.GetLBText(1, text), 7);
    EXPECT_EQ(text, "Disable");
    combo.ResetContent();
    EXPECT_EQ(combo.GetCount(), 0);
}

namespace {

// Custom draw answered by the dialog's message map: the list's own
// reflected handler is not asked.
class MapDrawn : public CDialog {
public:
    MapDrawn() : CDialog(controlsTemplate()) {}
    int mapCalls = 0;
    void OnCustomDrawList(NMHDR* header, LRESULT* result) {
        auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
        ++mapCalls;
        *result = draw->nmcd.dwDrawStage == CDDS_PREPAINT ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
        if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT)
            draw->clrTextBk = RGB(0, 0, 255);
    }
    GreyList list;
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, 1000, list); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(MapDrawn, CDialog)
ON_NOTIFY(NM_CUSTOMDRAW, 1000, &MapDrawn::OnCustomDrawList)
END_MESSAGE_MAP()

}  // namespace

TEST(ListCtrl, TheDialogsCustomDrawEntryComesFirst) {
    MapDrawn dialog;
    ASSERT_TRUE(dialog.Create());
    dialog.list.InsertColumn(0, "Name", LVCFMT_LEFT, 150);
    dialog.list.InsertItem(0, "a");
    const QImage image = dialog.list.grab().toImage();
    EXPECT_GE(dialog.mapCalls, 2);  // pre-paint and the row
    EXPECT_EQ(dialog.list.prepaints, 0);
    const QRect row = dialog.list.GetItemRect(0);
    EXPECT_EQ(QColor(image.pixel(row.left() + 100, row.center().y())), QColor(0, 0, 255));
}
