#include "platform/dialog/dialog.h"

#include <QApplication>
#include <QTest>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dialog/button.h"
#include "platform/dialog/combo_box.h"
#include "platform/dialog/edit.h"
#include "platform/dialog/list_ctrl.h"
#include "platform/dialog/progress_ctrl.h"
#include "platform/dialog/static_ctrl.h"
#include "platform/dialog/timer_driver.h"

using namespace ostrel::dialog;

namespace {

constexpr UINT UM_PING = WM_USER + 7;

DialogTemplate sampleTemplate() {
    DialogTemplate t;
    t.id = 900;
    t.cx = 200;
    t.cy = 120;
    t.style = WS_POPUP | DS_SETFONT | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    t.caption = "Sample";
    t.controls = {
        ReportList(10, {10, 10, 100, 50}),
        PushButton(11, {120, 10, 60, 16}),
        PushButton(12, {120, 30, 60, 16}, {.hidden = true}),
        Static("Label :", {10, 70, 40, 8}),
        DropDownList(13, {60, 68, 60, 40}, {"Disable", "Enable"}),
        Edit(14, {10, 90, 60, 14}, ES_PASSWORD | ES_AUTOHSCROLL, 16),
        PushButton(IDOK, {120, 90, 30, 16}),
    };
    return t;
}

class SampleDialog : public CDialog {
public:
    explicit SampleDialog(const DialogTemplate& t = sampleTemplate()) : CDialog(t) {}

    std::vector<std::string> log;
    CButton boundButton;
    int controlsAtInit = 0;
    bool okDoesNothing = false;
    bool cancelDoesNothing = false;

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        controlsAtInit = static_cast<int>(Controls().size());
        log.push_back("init");
        return TRUE;
    }
    void OnOK() override {
        log.push_back("OnOK");
        if (!okDoesNothing)
            CDialog::OnOK();
    }
    void OnCancel() override {
        log.push_back("OnCancel");
        if (!cancelDoesNothing)
            CDialog::OnCancel();
    }
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, 11, boundButton); }

    void OnButton11() { log.push_back("cmd11"); }
    void OnButton12() { log.push_back("cmd12"); }
    void OnSelChange() { log.push_back("selchange"); }
    void OnListClick(NMHDR* header, LRESULT* result) {
        auto* click = reinterpret_cast<NMITEMACTIVATE*>(header);
        log.push_back("click " + std::to_string(click->iItem));
        *result = 0;
    }
    LRESULT OnPing(WPARAM w, LPARAM l) {
        log.push_back("ping " + std::to_string(w) + " " + std::to_string(l));
        return 42;
    }
    void OnTimer(UINT_PTR id) override { log.push_back("timer " + std::to_string(id)); }
    void OnTimerSeven() { log.push_back("seven"); }
    void OnDestroy() { log.push_back("destroy"); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(SampleDialog, CDialog)
ON_BN_CLICKED(11, &SampleDialog::OnButton11)
ON_BN_CLICKED(12, &SampleDialog::OnButton12)
ON_CBN_SELCHANGE(13, &SampleDialog::OnSelChange)
ON_NOTIFY(NM_CLICK, 10, &SampleDialog::OnListClick)
ON_MESSAGE(UM_PING, &SampleDialog::OnPing)
ON_TIMER(7, &SampleDialog::OnTimerSeven)
ON_WM_TIMER()
ON_WM_DESTROY()
END_MESSAGE_MAP()

int clickedCommand(int id) {
    return static_cast<int>(MAKEWPARAM(id, BN_CLICKED));
}

}  // namespace

TEST(Dialog, TemplateInstantiatesControlsWithTheirGeometryAndOptions) {
    SampleDialog dialog;
    ASSERT_TRUE(dialog.Create());
    EXPECT_EQ(dialog.size(), QSize(300, 210));  // 200 x 120 units at 6 x 14
    EXPECT_EQ(dialog.windowTitle(), "Sample");
    EXPECT_EQ(dialog.controlsAtInit, 7);  // OnInitDialog ran after every control existed

    auto* list = dialog.GetDlgItemAs<CListCtrl>(10);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->geometry(), QRect(15, 18, 150, 88));
    EXPECT_EQ(dialog.GetDlgItem(11), &dialog.boundButton);  // the bound object stands for 11
    EXPECT_EQ(dialog.boundButton.geometry(), QRect(180, 18, 90, 28));
    EXPECT_TRUE(dialog.GetDlgItem(12)->widget()->isHidden());
    EXPECT_FALSE(dialog.GetDlgItem(11)->widget()->isHidden());

    auto* combo = dialog.GetDlgItemAs<CComboBox>(13);
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->GetCount(), 2);
    EXPECT_EQ(combo->GetLBText(1), "Enable");
    EXPECT_EQ(combo->GetCurSel(), CB_ERR);  // nothing selected at start
    EXPECT_LT(combo->height(), 40);         // the template height is the dropped list

    auto* edit = dialog.GetDlgItemAs<CEdit>(14);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
    EXPECT_EQ(edit->GetLimitText(), 16u);

    auto* label = dynamic_cast<CStatic*>(dialog.Controls()[3]);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->GetWindowText(), "Label :");
    EXPECT_EQ(label->GetDlgCtrlID(), IDC_STATIC);
    EXPECT_TRUE(label->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_FALSE(dialog.windowFlags() & Qt::FramelessWindowHint);
    dialog.DestroyWindow();
}

TEST(Dialog, FramelessPopupWithTaskbarPresence) {
    DialogTemplate t;
    t.id = 901;
    t.cx = 287;
    t.cy = 330;
    t.style = WS_POPUP | DS_SETFONT | DS_SETFOREGROUND;
    t.exStyle = WS_EX_APPWINDOW;
    CDialog dialog(t);
    ASSERT_TRUE(dialog.Create());
    EXPECT_TRUE(dialog.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(dialog.windowFlags() & Qt::WindowType_Mask, Qt::Window);
    EXPECT_EQ(dialog.size(), QSize(431, 578));
}

TEST(Dialog, MissingTemplateFailsToCreate) {
    CDialog dialog(12345);
    EXPECT_FALSE(dialog.Create());
    EXPECT_EQ(dialog.DoModal(), -1);
}

TEST(Dialog, MessageMapTablesNameOnlyRealHandlers) {
    for (const MessageMap* map = &SampleDialog::ThisMessageMap(); map; map = map->base()) {
        EXPECT_TRUE(map->problems().empty()) << map->className();
        for (const auto& entry : map->entries()) {
            EXPECT_TRUE(entry.hasHandler) << entry.handlerName;
            EXPECT_TRUE(static_cast<bool>(entry.invoke)) << entry.handlerName;
        }
    }
    EXPECT_EQ(SampleDialog::ThisMessageMap().base(), &CDialog::ThisMessageMap());
    // A table that binds a null handler, or one command twice, is reported.
    void (SampleDialog::*none)() = nullptr;
    const MessageMap broken(
        nullptr, "Broken",
        {message_map_detail::command(11, BN_CLICKED, none, "none"),
         message_map_detail::command(12, BN_CLICKED, &SampleDialog::OnButton12, "a"),
         message_map_detail::command(12, BN_CLICKED, &SampleDialog::OnButton12, "b")});
    EXPECT_EQ(broken.problems().size(), 2u);
}

TEST(Dialog, CommandsNotificationsAndMessagesReachTheirHandlers) {
    SampleDialog dialog;
    ASSERT_TRUE(dialog.Create());
    dialog.log.clear();
    QTest::mouseClick(&dialog.boundButton, Qt::LeftButton);
    dialog.SendMessage(WM_COMMAND, clickedCommand(12), 0);
    EXPECT_EQ(dialog.SendMessage(UM_PING, 3, 4), 42);
    EXPECT_EQ(dialog.log, (std::vector<std::string>{"cmd11", "cmd12", "ping 3 4"}));

    // The selection change notifies only when the user makes it.
    dialog.log.clear();
    auto* combo = dialog.GetDlgItemAs<CComboBox>(13);
    combo->SetCurSel(1);
    EXPECT_TRUE(dialog.log.empty());
    combo->setCurrentIndex(0);  // what a choice in the drop-down list does
    EXPECT_EQ(dialog.log, (std::vector<std::string>{"selchange"}));

    // A click on the list reports the row under the press, after selecting it.
    dialog.log.clear();
    auto* list = dialog.GetDlgItemAs<CListCtrl>(10);
    list->InsertColumn(0, "Name", LVCFMT_LEFT, 80);
    list->InsertItem(0, "first");
    list->InsertItem(1, "second");
    dialog.show();
    const QPoint second = list->visualItemRect(list->topLevelItem(1)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
    EXPECT_EQ(dialog.log, (std::vector<std::string>{"click 1"}));
    EXPECT_EQ(list->GetNextItem(-1, LVNI_SELECTED), 1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      QPoint(5, list->viewport()->height() - 3));
    EXPECT_EQ(dialog.log.back(), "click -1");
    EXPECT_EQ(list->GetNextItem(-1, LVNI_SELECTED), -1);  // a press beside the rows deselects
    dialog.DestroyWindow();
}

TEST(Dialog, ModalRunsEndWithTheirResult) {
    {
        SampleDialog dialog;
        ScopedModalHook hook([](CDialog& d) { d.EndDialog(77); });
        EXPECT_EQ(dialog.DoModal(), 77);
        EXPECT_EQ(hook.runs(), std::vector<int>{900});
        EXPECT_EQ(dialog.log, (std::vector<std::string>{"init", "destroy"}));
        EXPECT_FALSE(dialog.IsCreated());
        // A second run builds the window again.
        EXPECT_EQ(dialog.DoModal(), 77);
        EXPECT_EQ(dialog.GetDlgItem(11), nullptr);  // controls are gone after the run
    }
    {
        // The OK button runs the virtual OnOK; clicking it from the hook ends the run.
        SampleDialog dialog;
        ScopedModalHook hook(
            [](CDialog& d) { QTest::mouseClick(d.GetDlgItem(IDOK)->widget(), Qt::LeftButton); });
        EXPECT_EQ(dialog.DoModal(), IDOK);
        EXPECT_EQ(dialog.log[1], "OnOK");
    }
}

TEST(Dialog, EnterEscapeAndTheCloseBoxFollowTheDialogManager) {
    auto run = [](auto&& act, SampleDialog& dialog) {
        ScopedModalHook hook([&](CDialog& d) {
            act(d);
            if (d.IsRunningModal())
                d.EndDialog(-5);
        });
        return dialog.DoModal();
    };
    {
        // Focus on the list (no button): Enter is IDOK, so OnOK.
        SampleDialog dialog;
        const int result = run(
            [](CDialog& d) {
                d.GetDlgItem(10)->SetFocus();
                QTest::keyClick(&d, Qt::Key_Return);
            },
            dialog);
        EXPECT_EQ(result, IDOK);
        EXPECT_EQ(dialog.log[1], "OnOK");
    }
    {
        // Focus on a push button: Enter is that button's command.
        SampleDialog dialog;
        const int result = run(
            [](CDialog& d) {
                d.GetDlgItem(11)->SetFocus();
                QTest::keyClick(&d, Qt::Key_Return);
            },
            dialog);
        EXPECT_EQ(result, -5);
        EXPECT_EQ(dialog.log[1], "cmd11");
    }
    {
        // Escape and the close box are IDCANCEL.
        SampleDialog escape;
        EXPECT_EQ(run([](CDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }, escape), IDCANCEL);
        EXPECT_EQ(escape.log[1], "OnCancel");
        SampleDialog closeBox;
        EXPECT_EQ(run([](CDialog& d) { d.close(); }, closeBox), IDCANCEL);
        EXPECT_EQ(closeBox.log[1], "OnCancel");
    }
    {
        // An OnCancel that does nothing keeps the dialog open.
        SampleDialog dialog;
        dialog.cancelDoesNothing = true;
        EXPECT_EQ(run(
                      [](CDialog& d) {
                          QTest::keyClick(&d, Qt::Key_Escape);
                          d.close();
                      },
                      dialog),
                  -5);
        EXPECT_EQ(dialog.log,
                  (std::vector<std::string>{"init", "OnCancel", "OnCancel", "destroy"}));
    }
    {
        // A default push button takes Enter when no button has the focus.
        DialogTemplate t = sampleTemplate();
        t.controls[1] = DefPushButton(11, {120, 10, 60, 16});
        SampleDialog dialog(t);
        run(
            [](CDialog& d) {
                d.GetDlgItem(10)->SetFocus();
                QTest::keyClick(&d, Qt::Key_Enter);
            },
            dialog);
        EXPECT_EQ(dialog.log[1], "cmd11");
    }
}

TEST(Dialog, EndDialogDuringInitialisationNeverShowsTheDialog) {
    class Quitter : public CDialog {
    public:
        Quitter() : CDialog(sampleTemplate()) {}
        BOOL OnInitDialog() override {
            CDialog::OnInitDialog();
            EndDialog(IDCANCEL);
            return TRUE;
        }
    };
    Quitter dialog;
    int hookRuns = 0;
    ScopedModalHook hook([&](CDialog&) { ++hookRuns; });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(hookRuns, 0);
}

TEST(Dialog, TimersFireByIdOnTheVirtualClock) {
    ManualTimerDriver clock;
    ScopedTimerDriver use(clock);
    SampleDialog dialog;
    ASSERT_TRUE(dialog.Create());
    dialog.log.clear();
    dialog.SetTimer(3, 100);
    dialog.SetTimer(7, 250);
    clock.advance(99);
    EXPECT_TRUE(dialog.log.empty());
    clock.advance(201);  // t = 300
    EXPECT_EQ(dialog.log, (std::vector<std::string>{"timer 3", "timer 3", "seven", "timer 3"}));
    EXPECT_TRUE(dialog.KillTimer(3));
    EXPECT_FALSE(dialog.KillTimer(3));
    clock.advance(200);  // t = 500: only timer 7
    EXPECT_EQ(dialog.log.back(), "seven");
    EXPECT_EQ(dialog.log.size(), 5u);
    // A window's timers stop with the window.
    dialog.DestroyWindow();
    EXPECT_FALSE(clock.running(&dialog, 7));
}

TEST(Dialog, QtTimersDeliverWmTimer) {
    SampleDialog dialog;
    ASSERT_TRUE(dialog.Create());
    dialog.log.clear();
    dialog.SetTimer(3, 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.log.empty(); }, 5000));
    dialog.KillTimer(3);
    EXPECT_EQ(dialog.log.front(), "timer 3");
}

TEST(Dialog, PostedMessagesArriveLaterAndSentOnesAtOnce) {
    SampleDialog dialog;
    ASSERT_TRUE(dialog.Create());
    dialog.log.clear();
    EXPECT_TRUE(dialog.PostMessage(UM_PING, 1, 2));
    EXPECT_TRUE(dialog.log.empty());
    QCoreApplication::sendPostedEvents(&dialog);
    EXPECT_EQ(dialog.log, std::vector<std::string>{"ping 1 2"});

    // A message sent from another thread runs on the window's thread.
    auto* progress = new CProgressCtrl(&dialog);
    progress->SetRange(1, 100);
    progress->SetStep(1);
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int i = 0; i < 10; ++i)
            SendMessage(progress, PBM_STEPIT, 0, 0);
        done = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 5000));
    worker.join();
    EXPECT_EQ(progress->GetPos(), 11);

    // A worker that outlives the window: its messages are dropped.
    delete progress;
    EXPECT_FALSE(IsWindow(progress));
    LRESULT sent = -1;
    BOOL posted = TRUE;
    done = false;
    std::thread late([&] {
        sent = SendMessage(progress, PBM_STEPIT, 0, 0);
        posted = PostMessage(progress, PBM_STEPIT, 0, 0);
        done = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 5000));
    late.join();
    EXPECT_EQ(sent, 0);
    EXPECT_FALSE(posted);
}

TEST(Dialog, GroupWalkStaysInsideItsGroup) {
    DialogTemplate t;
    t.id = 902;
    t.cx = 150;
    t.cy = 115;
    t.controls = {
        Static("Please select:", {11, 26, 60, 8}),
        AutoRadioButton(1029, "HSV-510", {11, 42, 45, 10}, {.group = true}),
        AutoRadioButton(1030, "HSV-520", {11, 56, 45, 10}),
        AutoRadioButton(1031, "HSV-540", {11, 70, 45, 10}),
        AutoRadioButton(1032, "other", {11, 84, 45, 10}),
        PushButton(IDOK, {11, 90, 62, 16}, {.group = true}),
        PushButton(IDCANCEL, {75, 90, 62, 16}),
    };
    t.controls[4].style &= ~WS_VISIBLE;
    CDialog dialog(t);
    ASSERT_TRUE(dialog.Create());
    CWnd* a = dialog.GetDlgItem(1029);
    CWnd* b = dialog.GetDlgItem(1030);
    CWnd* c = dialog.GetDlgItem(1031);
    EXPECT_EQ(dialog.GetNextDlgGroupItem(a), b);
    EXPECT_EQ(dialog.GetNextDlgGroupItem(c), a);  // the hidden 1032 is skipped, the walk wraps
    EXPECT_EQ(dialog.GetNextDlgGroupItem(a, TRUE), c);
    b->EnableWindow(FALSE);
    EXPECT_EQ(dialog.GetNextDlgGroupItem(a), c);
    EXPECT_EQ(dialog.GetNextDlgGroupItem(dialog.GetDlgItem(IDOK)), dialog.GetDlgItem(IDCANCEL));
    EXPECT_EQ(dialog.GetNextDlgGroupItem(dialog.Controls()[0]), dialog.Controls()[0]);  // alone
    EXPECT_EQ(dialog.GetNextDlgGroupItem(nullptr), nullptr);

    // Automatic radio buttons clear the others of their group when clicked.
    b->EnableWindow(TRUE);
    dialog.show();
    auto* radioA = static_cast<CButton*>(a);
    auto* radioB = static_cast<CButton*>(b);
    QTest::mouseClick(radioA, Qt::LeftButton);
    EXPECT_EQ(radioA->GetCheck(), BST_CHECKED);
    QTest::mouseClick(radioB, Qt::LeftButton);
    EXPECT_EQ(radioA->GetCheck(), BST_UNCHECKED);
    EXPECT_EQ(radioB->GetCheck(), BST_CHECKED);
}

TEST(Dialog, DataExchangeMovesTextsAndLimitsThem) {
    class Login : public CDialog {
    public:
        Login() : CDialog(sampleTemplate()) {}
        QString password = "secret";
        void DoDataExchange(CDataExchange* pDX) override {
            DDX_Text(pDX, 14, password);
            DDV_MaxChars(pDX, password, 4);
        }
    };
    Login dialog;
    ASSERT_TRUE(dialog.Create());
    auto* edit = dialog.GetDlgItemAs<CEdit>(14);
    EXPECT_EQ(edit->GetLimitText(), 4u);
    edit->setText("abc");
    EXPECT_TRUE(dialog.UpdateData(TRUE));
    EXPECT_EQ(dialog.password, "abc");
}

namespace {

// A window moved by its surface, as the skinned main window is.
class Draggable : public CDialog {
public:
    Draggable() : CDialog(sampleTemplate()) {}
    std::vector<std::string> log;
    UINT OnNcHitTest(QPoint screenPos) {
        const UINT hit = CDialog::OnNcHitTest(screenPos);
        log.push_back("hittest " + std::to_string(hit));
        return hit == HTCLIENT && captionMode ? HTCAPTION : hit;
    }
    void OnLButtonDown(UINT /*flags*/, QPoint clientPos) {
        log.push_back("down " + std::to_string(clientPos.x()) + "," +
                      std::to_string(clientPos.y()));
    }
    void OnSize(UINT type, int cx, int cy) {
        log.push_back("size " + std::to_string(type) + " " + std::to_string(cx) + "x" +
                      std::to_string(cy));
    }
    bool captionMode = true;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Draggable, CDialog)
ON_WM_NCHITTEST()
ON_WM_LBUTTONDOWN()
ON_WM_SIZE()
END_MESSAGE_MAP()

}  // namespace

TEST(Dialog, PressesOnTheSurfaceAndOnStaticTextsMoveTheWindow) {
    std::vector<QPoint> moves;
    CDialog::SetWindowMoveHook([&](CDialog&, QPoint screenPos) { moves.push_back(screenPos); });
    Draggable dialog;
    ASSERT_TRUE(dialog.Create());
    dialog.show();
    EXPECT_EQ(dialog.log, std::vector<std::string>{"size 0 300x210"});  // as the window is shown
    dialog.log.clear();
    QWidget* label = dialog.Controls()[3]->widget();
    QWidget* button = dialog.GetDlgItem(11)->widget();
    // The label lets the press through to the window; the button keeps it.
    EXPECT_EQ(dialog.childAt(label->geometry().center()), nullptr);
    QTest::mouseClick(&dialog, Qt::LeftButton, {}, QPoint(3, 200));
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(moves.size(), 1u);
    EXPECT_EQ(dialog.log, std::vector<std::string>{"hittest 1"});
    // Where the hit test answers HTCLIENT the press is an ordinary button-down.
    dialog.captionMode = false;
    QTest::mouseClick(&dialog, Qt::LeftButton, {}, QPoint(3, 200));
    EXPECT_EQ(dialog.log.back(), "down 3,200");
    EXPECT_EQ(moves.size(), 1u);
    // Size changes reach WM_SIZE.
    dialog.setFixedSize(320, 220);
    EXPECT_EQ(dialog.log.back(), "size 0 320x220");
    CDialog::SetWindowMoveHook({});
}

TEST(Dialog, NestedModalRunsAreAnsweredInOrder) {
    class Outer : public SampleDialog {
    public:
        int innerResult = 0;
        void OnOK() override {
            SampleDialog inner;
            innerResult = inner.DoModal();
            SampleDialog::OnOK();
        }
    };
    Outer outer;
    // The first run answered is the outer dialog: its OK opens the inner one,
    // which the hook answers with Cancel.
    ScopedModalHook hook([&](CDialog& d) {
        if (&d == &outer) {
            d.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        } else {
            d.EndDialog(IDCANCEL);
        }
    });
    EXPECT_EQ(outer.DoModal(), IDOK);
    EXPECT_EQ(outer.innerResult, IDCANCEL);
    EXPECT_EQ(hook.runs(), (std::vector<int>{900, 900}));
    EXPECT_EQ(outer.DoModal(), IDOK);  // a run again after the nested one
    EXPECT_EQ(hook.runs().size(), 4u);
}
