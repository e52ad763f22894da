#include "skin/skin_button.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

#include "platform/dialog/dialog.h"
#include "platform/dialog/resources.h"
#include "platform/dialog/sys_colors.h"

using namespace ostrel::dialog;

namespace {

// Bitmap ids of the test's own faces, one solid colour each.
enum : unsigned { kNormal = 9001, kDown, kOver, kDisabled, kFocus, kMask, kMissing = 9099 };
const QColor kRed(220, 0, 0), kGreen(0, 200, 0), kBlue(0, 0, 230), kGrey(90, 90, 90),
    kYellow(230, 230, 0);
const QColor kBackground(10, 120, 140);

QImage solid(QColor color, QSize size = {100, 25}) {
    QImage image(size, QImage::Format_RGB888);
    image.fill(color);
    return image;
}

void registerFaces() {
    RegisterBitmapResource(kNormal, solid(kRed));
    RegisterBitmapResource(kDown, solid(kGreen));
    RegisterBitmapResource(kOver, solid(kBlue));
    RegisterBitmapResource(kDisabled, solid(kGrey));
    RegisterBitmapResource(kFocus, solid(kYellow));
    // Mask: white (keep the background) on the left half, black on the right.
    QImage mask = solid(Qt::white);
    QPainter(&mask).fillRect(QRect(50, 0, 50, 25), Qt::black);
    RegisterBitmapResource(kMask, mask);
}

enum Id {
    kPush = 1002,
    kCheck = 1003,
    kRadioA1 = 1029,
    kRadioA2 = 1030,
    kPlainA3 = 1031,
    kRadioB1 = 1040
};

DialogTemplate buttonsTemplate() {
    DialogTemplate t;
    t.id = 920;
    t.cx = 287;
    t.cy = 200;
    t.controls = {
        PushButton(kPush, {20, 20, 68, 16}),
        CheckBox(kCheck, "", {20, 40, 68, 16}),
        AutoRadioButton(kRadioA1, "", {20, 60, 68, 16}, {.group = true}),
        AutoRadioButton(kRadioA2, "", {20, 80, 68, 16}),
        AutoRadioButton(kPlainA3, "", {20, 100, 68, 16}),
        AutoRadioButton(kRadioB1, "", {120, 60, 68, 16}, {.group = true}),
        PushButton(IDOK, {120, 150, 68, 16}, {.group = true}),
    };
    return t;
}

class ButtonsDialog : public CDialog {
public:
    ButtonsDialog() : CDialog(buttonsTemplate()) {}
    CxSkinButton push, check, radioA1, radioA2, radioB1;
    std::vector<int> clicks;

    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, kPush, push);
        DDX_Control(pDX, kCheck, check);
        DDX_Control(pDX, kRadioA1, radioA1);
        DDX_Control(pDX, kRadioA2, radioA2);
        DDX_Control(pDX, kRadioB1, radioB1);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        for (CxSkinButton* b : {&push, &check, &radioA1, &radioA2, &radioB1}) {
            b->LoadSkinBitmaps(kNormal, kDown, kOver, kDisabled);
        }
        return TRUE;
    }
    BOOL OnEraseBkgnd(QPainter& painter) {
        painter.fillRect(rect(), kBackground);
        return TRUE;
    }
    void OnPush() { clicks.push_back(kPush); }
    void OnCheck() { clicks.push_back(kCheck); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ButtonsDialog, CDialog)
ON_BN_CLICKED(kPush, &ButtonsDialog::OnPush)
ON_BN_CLICKED(kCheck, &ButtonsDialog::OnCheck)
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

class SkinButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearRegisteredResources();
        registerFaces();
        ASSERT_TRUE(dialog.Create());
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }
    void TearDown() override { ClearRegisteredResources(); }

    // The colour at `p` of the button as the dialog shows it.
    QColor face(CxSkinButton& button, QPoint p = {5, 5}) {
        const QImage image = dialog.grab().toImage();
        return QColor(image.pixel(button.geometry().topLeft() + p));
    }
    static void hover(QWidget* w, QPoint p) {
        QMouseEvent move(QEvent::MouseMove, p, w->mapToGlobal(p), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(w, &move);
    }
    static void leave(QWidget* w) {
        QEvent event(QEvent::Leave);
        QApplication::sendEvent(w, &event);
    }

    ButtonsDialog dialog;
};

}  // namespace

TEST_F(SkinButtonTest, KindComesFromTheStyleAndTheButtonBecomesOwnerDrawn) {
    EXPECT_EQ(dialog.push.buttonKindValue(), CxSkinButton::KindPush);
    EXPECT_EQ(dialog.check.buttonKindValue(), CxSkinButton::KindCheck);
    EXPECT_EQ(dialog.radioA1.buttonKindValue(), CxSkinButton::KindRadio);
    for (CxSkinButton* b : {&dialog.push, &dialog.check, &dialog.radioA1}) {
        EXPECT_EQ(b->GetStyle() & BS_TYPEMASK, BS_OWNERDRAW);
    }
}

TEST_F(SkinButtonTest, LoadSkinBitmapsArgumentRules) {
    CxSkinButton& b = dialog.push;
    b.LoadSkinBitmaps(kNormal, kDown, kOver, 0, 0, 0, 7, 1, -3);
    EXPECT_TRUE(b.hasBitmap(2));  // no disabled id: the normal bitmap again
    EXPECT_EQ(b.drawModeValue(), CxSkinButton::DrawModeTile);
    EXPECT_EQ(b.focusMarginValue(), 0);
    EXPECT_EQ(b.drawBorderValue(), 1);
    b.LoadSkinBitmaps(kNormal, 0, 0, 0, 0, 0, -2, 0, 4);
    EXPECT_EQ(b.drawModeValue(), CxSkinButton::DrawModeNormal);
    EXPECT_EQ(b.focusMarginValue(), 4);
    EXPECT_FALSE(b.hasBitmap(1));  // a new call releases what the last one loaded
    EXPECT_FALSE(b.hasBitmap(4));
    b.LoadSkinBitmaps(kMissing, 0, 0, 0);
    EXPECT_FALSE(b.hasBitmap(0));
    EXPECT_FALSE(b.hasBitmap(2));
}

TEST_F(SkinButtonTest, EachStateShowsItsBitmap) {
    CxSkinButton& b = dialog.push;
    b.LoadSkinBitmaps(kNormal, kDown, kOver, kDisabled, kFocus);
    dialog.GetDlgItem(IDOK)->SetFocus();
    EXPECT_EQ(face(b), kRed);
    EXPECT_EQ(face(b, {99, 24}), kRed);          // drawn 1:1 from the top-left corner
    EXPECT_EQ(face(b, {101, 27}), kBackground);  // the button is larger than its bitmap
    hover(&b, {10, 10});
    EXPECT_TRUE(b.isHovering());
    EXPECT_EQ(face(b), kBlue);
    leave(&b);
    EXPECT_FALSE(b.isHovering());
    b.SetFocus();
    EXPECT_EQ(face(b), kYellow);
    QTest::mousePress(&b, Qt::LeftButton, {}, {10, 10});
    EXPECT_EQ(face(b), kGreen);
    QTest::mouseRelease(&b, Qt::LeftButton, {}, {10, 10});
    b.EnableWindow(FALSE);
    EXPECT_EQ(face(b), kGrey);
}

TEST_F(SkinButtonTest, MissingNormalBitmapFillsWithButtonFace) {
    CxSkinButton& b = dialog.push;
    b.LoadSkinBitmaps(kMissing, kDown, kOver, 0, kFocus);
    b.SetFocus();
    hover(&b, {10, 10});
    EXPECT_EQ(face(b), sysColor(COLOR_BTNFACE));
    b.LoadSkinBitmaps(0, 0, 0, 0);
    b.EnableWindow(FALSE);
    EXPECT_EQ(face(b), sysColor(COLOR_BTNFACE));  // disabled without a bitmap
}

TEST_F(SkinButtonTest, MaskComposesOverTheBackgroundAndShapesTheWindow) {
    CxSkinButton& b = dialog.push;
    b.LoadSkinBitmaps(kNormal, kDown, kOver, 0, 0, kMask, CxSkinButton::DrawModeNormal);
    EXPECT_EQ(b.size(), QSize(100, 25));        // 1:1 with a mask: the window takes the mask's size
    EXPECT_EQ(face(b, {10, 10}), kBackground);  // white mask keeps what is under the button
    EXPECT_EQ(face(b, {60, 10}), kRed);         // black mask shows the bitmap
    EXPECT_FALSE(b.mask().contains(QPoint(10, 10)));
    EXPECT_TRUE(b.mask().contains(QPoint(60, 10)));
    // A press in the cut-away part is not a press on the button.
    QTest::mouseClick(&b, Qt::LeftButton, {}, {10, 10});
    QTest::mouseClick(&b, Qt::LeftButton, {}, {60, 10});
    EXPECT_EQ(dialog.clicks, std::vector<int>{kPush});
}

TEST(SkinButtonRegion, RunsOfNonKeyPixelsRowByRow) {
    QImage mask(6, 2, QImage::Format_RGB888);
    mask.fill(Qt::white);
    mask.setPixelColor(1, 0, Qt::black);
    mask.setPixelColor(2, 0, Qt::black);
    mask.setPixelColor(5, 0, Qt::red);  // any colour but the key counts, up to the right edge
    mask.setPixelColor(0, 1, Qt::black);
    const QRegion region = CxSkinButton::RegionFromMask(mask);
    const std::vector<QRect> rects(region.begin(), region.end());
    EXPECT_EQ(rects, (std::vector<QRect>{QRect(1, 0, 2, 1), QRect(5, 0, 1, 1), QRect(0, 1, 1, 1)}));
    EXPECT_TRUE(CxSkinButton::RegionFromMask(QImage()).isEmpty());
}

TEST(SkinButtonTile, TilesFromTheTopLeftAndCutsTheLastOnes) {
    QImage tile(2, 2, QImage::Format_RGB888);
    tile.fill(Qt::black);
    tile.setPixelColor(0, 0, Qt::red);
    QImage target(5, 3, QImage::Format_RGB32);
    target.fill(Qt::white);
    {
        QPainter painter(&target);
        CxSkinButton::TileSkinBitmap(painter, tile, QRect(0, 0, 5, 3));
    }
    for (QPoint p : {QPoint(0, 0), QPoint(2, 0), QPoint(4, 0), QPoint(0, 2), QPoint(4, 2)}) {
        EXPECT_EQ(target.pixelColor(p), QColor(Qt::red)) << p.x() << "," << p.y();
    }
    EXPECT_EQ(target.pixelColor(1, 1), QColor(Qt::black));
}

TEST_F(SkinButtonTest, StretchAndTileModesCoverTheButton) {
    CxSkinButton& b = dialog.push;
    b.LoadSkinBitmaps(kNormal, 0, 0, 0, 0, 0, CxSkinButton::DrawModeStretch);
    EXPECT_EQ(face(b, {b.width() - 1, b.height() - 1}), kRed);
    b.LoadSkinBitmaps(kNormal, 0, 0, 0, 0, 0, CxSkinButton::DrawModeTile);
    EXPECT_EQ(face(b, {b.width() - 1, b.height() - 1}), kRed);
}

TEST_F(SkinButtonTest, CheckAndRadioBehaviour) {
    // BM_SETCHECK on a push button leaves it unchecked.
    dialog.push.SendMessage(BM_SETCHECK, 1, 0);
    EXPECT_EQ(dialog.push.SendMessage(BM_GETCHECK), 0);
    // A check box toggles on each click and shows the pressed face while checked.
    QTest::mouseClick(&dialog.check, Qt::LeftButton, {}, {10, 10});
    EXPECT_EQ(dialog.check.GetCheck(), 1);
    EXPECT_EQ(face(dialog.check), kGreen);
    QTest::mouseClick(&dialog.check, Qt::LeftButton, {}, {10, 10});
    EXPECT_EQ(dialog.check.GetCheck(), 0);
    EXPECT_EQ(dialog.clicks, (std::vector<int>{kCheck, kCheck}));
    dialog.check.SetFocus();
    QTest::keyClick(&dialog.check, Qt::Key_Space);
    EXPECT_EQ(dialog.check.GetCheck(), 1);

    // A radio clears the other skinned radios of its group only.
    auto* plain = dialog.GetDlgItemAs<CButton>(kPlainA3);
    plain->SetCheck(1);
    dialog.radioA2.SetCheck(1);
    dialog.radioB1.SetCheck(1);
    QCoreApplication::sendPostedEvents();
    QTest::mouseClick(&dialog.radioA1, Qt::LeftButton, {}, {10, 10});
    EXPECT_EQ(dialog.radioA2.GetCheck(), 1);  // UM_UNCHECK is posted, not sent
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(dialog.radioA1.GetCheck(), 1);
    EXPECT_EQ(dialog.radioA2.GetCheck(), 0);
    EXPECT_EQ(plain->GetCheck(), 1);          // a plain button ignores UM_UNCHECK
    EXPECT_EQ(dialog.radioB1.GetCheck(), 1);  // another group
    // Clicking a checked radio keeps it checked.
    QTest::mouseClick(&dialog.radioA1, Qt::LeftButton, {}, {10, 10});
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(dialog.radioA1.GetCheck(), 1);
}

TEST_F(SkinButtonTest, DraggingOffAndReleasingOutsideSendsNoClick) {
    CxSkinButton& b = dialog.check;
    QTest::mousePress(&b, Qt::LeftButton, {}, {10, 10});
    EXPECT_TRUE(b.isCapturedPress());
    EXPECT_TRUE(b.isDown());
    QTest::mouseMove(&b, {200, 10});
    EXPECT_FALSE(b.isDown());
    EXPECT_EQ(face(b), kRed);
    QTest::mouseMove(&b, {20, 10});
    EXPECT_TRUE(b.isDown());
    EXPECT_EQ(face(b), kGreen);
    QTest::mouseMove(&b, {20, 200});
    EXPECT_FALSE(b.isDown());
    QTest::mouseRelease(&b, Qt::LeftButton, {}, {20, 200});
    EXPECT_FALSE(b.isCapturedPress());
    EXPECT_TRUE(dialog.clicks.empty());
    EXPECT_EQ(b.GetCheck(), 0);
}

TEST_F(SkinButtonTest, DoubleClickIsASecondPress) {
    CxSkinButton& b = dialog.push;
    QTest::mousePress(&b, Qt::LeftButton, {}, {10, 10});
    QTest::mouseRelease(&b, Qt::LeftButton, {}, {10, 10});
    QTest::mouseDClick(&b, Qt::LeftButton, {}, {10, 10});
    EXPECT_TRUE(b.isDown());
    QTest::mouseRelease(&b, Qt::LeftButton, {}, {10, 10});
    EXPECT_EQ(dialog.clicks, (std::vector<int>{kPush, kPush}));
}

TEST_F(SkinButtonTest, EnterOnAFocusedSkinButtonGoesToTheDefault) {
    // Owner-drawn buttons are not push buttons to the dialog manager.
    ScopedModalHook hook([](CDialog& d) {
        d.GetDlgItem(kPush)->SetFocus();
        EXPECT_EQ(d.focusWidget(), d.GetDlgItem(kPush)->widget());
        QTest::keyClick(&d, Qt::Key_Return);
    });
    dialog.DestroyWindow();
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(dialog.clicks.empty());
}

TEST_F(SkinButtonTest, AccessibleNameAndTooltip) {
    dialog.push.SetAccessibleName("Search");
    dialog.push.SetToolTip("Search");
    EXPECT_EQ(dialog.push.accessibleName(), "Search");
    EXPECT_EQ(dialog.push.toolTip(), "Search");
}

// The keyboard focus mark: a dotted line three pixels inside the face, in
// white on a dark face and the skin's ink on a light one; it shows while the
// user moves through the dialog by keyboard, not after a mouse press.
TEST_F(SkinButtonTest, FocusMarkShowsAfterTabNotAfterAMousePress) {
    const QColor ink(0x1f, 0x2a, 0x3d);
    // The pixels of `color` along the mark's top side.
    auto markDots = [&](CxSkinButton& b, const QColor& color) {
        const QImage image = dialog.grab().toImage();
        const QRect r = b.geometry();
        const int inset = CxSkinButton::kFocusMarkInset;
        int dots = 0;
        for (int x = r.left() + inset; x <= r.right() - inset; ++x)
            dots += QColor(image.pixel(x, r.top() + inset)) == color ? 1 : 0;
        return dots;
    };
    CxSkinButton& push = dialog.push;
    CxSkinButton& check = dialog.check;
    const int side = push.width() - 2 * CxSkinButton::kFocusMarkInset;

    // The focus the dialog gave its first button on opening: no mark.
    ASSERT_TRUE(push.hasFocus());
    EXPECT_FALSE(push.focusMarkShown());
    EXPECT_EQ(markDots(push, Qt::white), 0);

    // Focus from a mouse press: no mark.
    QTest::mouseClick(&check, Qt::LeftButton, {}, {10, 10});
    QTest::mouseClick(&push, Qt::LeftButton, {}, {10, 10});
    ASSERT_TRUE(push.hasFocus());
    EXPECT_FALSE(push.focusMarkShown());
    EXPECT_EQ(markDots(push, Qt::white), 0);

    // Tab to the next button: the mark, dotted (every other pixel), goes
    // with the focus.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_TRUE(check.hasFocus());
    EXPECT_TRUE(check.focusMarkShown());
    EXPECT_NEAR(markDots(check, Qt::white), side / 2, 2);
    EXPECT_EQ(markDots(push, Qt::white), 0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    ASSERT_TRUE(push.hasFocus());
    EXPECT_NEAR(markDots(push, Qt::white), side / 2, 2);
    EXPECT_EQ(markDots(check, Qt::white), 0);

    // A mouse press on the focused button takes the mark away; a key used on
    // it brings it back.
    QTest::mousePress(&push, Qt::LeftButton, {}, {10, 10});
    EXPECT_FALSE(push.focusMarkShown());
    EXPECT_EQ(markDots(push, Qt::white), 0);
    QTest::mouseRelease(&push, Qt::LeftButton, {}, {10, 10});
    QTest::keyPress(&push, Qt::Key_Space);
    EXPECT_TRUE(push.focusMarkShown());
    QTest::keyRelease(&push, Qt::Key_Space);

    // On a light face the mark is in the skin's ink.
    push.LoadSkinBitmaps(kFocus, kDown, 0, 0);
    EXPECT_NEAR(markDots(push, ink), side / 2, 2);
    EXPECT_EQ(markDots(push, Qt::white), 0);
}
