#include <QMouseEvent>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

#include "platform/dialog/dialog.h"
#include "platform/dialog/resources.h"
#include "platform/dialog/sys_colors.h"
#include "skin/dialog_looks.h"
#include "skin/drag_move.h"
#include "skin/window_region.h"
#include "skin_test_support.h"

using namespace ostrel::dialog;

using skin::BackgroundLoad;
using skin::BackgroundPaint;
using skin_test::Pixel;

namespace {

constexpr unsigned kBackgroundId = 9267;
constexpr int kStaticId = 1040;
constexpr int kButtonId = 1002;
constexpr int kListId = 1000;
constexpr int kEditId = 1016;

DialogTemplate LookTemplate(int id) {
    DialogTemplate t;
    t.id = id;
    t.cx = 200;
    t.cy = 120;
    t.style = DS_SETFONT | WS_POPUP;
    t.controls = {Static("I P : 192.168.1.10", {10, 10, 90, 10}, kStaticId),
                  PushButton(kButtonId, {120, 10, 60, 16}), ReportList(kListId, {10, 40, 100, 40}),
                  Edit(kEditId, {120, 40, 60, 14})};
    return t;
}

// A skinned dialog wired the way the product's dialogs are: background,
// static colours and, for the main window's look, region and dragging.
class LookDialog : public CDialog {
    DECLARE_MESSAGE_MAP()

public:
    LookDialog(unsigned bitmapId, BackgroundLoad load, BackgroundPaint paint, COLORREF text)
        : CDialog(LookTemplate(9300)), background(bitmapId, load, paint), textColor(text) {}

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        background.OnInitDialog();
        return TRUE;
    }
    BOOL OnEraseBkgnd(QPainter& painter) { return background.OnEraseBkgnd(*this, painter); }
    void OnCtlColor(CtlColor& color) { skin::StaticTextColors(color, textColor); }
    void OnSize(UINT type, int cx, int cy) {
        CDialog::OnSize(type, cx, cy);
        skin::ApplyMainWindowRegion(*this, cx, cy);
    }
    UINT OnNcHitTest(QPoint point) { return skin::CaptionHitTest(CDialog::OnNcHitTest(point)); }
    void OnLButtonDown(UINT flags, QPoint point) { skin::MoveWindowByPress(*this, flags, point); }

    skin::SkinBackground background;
    COLORREF textColor;
};

BEGIN_MESSAGE_MAP(LookDialog, CDialog)
ON_WM_ERASEBKGND()
ON_WM_CTLCOLOR()
ON_WM_SIZE()
ON_WM_NCHITTEST()
ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

// A 2 × 2 bitmap with four colours, so a stretch shows in the corners.
QImage Quadrants() {
    QImage image(2, 2, QImage::Format_RGB888);
    image.setPixelColor(0, 0, QColor(255, 0, 0));
    image.setPixelColor(1, 0, QColor(0, 255, 0));
    image.setPixelColor(0, 1, QColor(0, 0, 255));
    image.setPixelColor(1, 1, QColor(255, 255, 0));
    return image;
}

class LooksTest : public ::testing::Test {
protected:
    void TearDown() override { ClearRegisteredResources(); }
};

}  // namespace

TEST_F(LooksTest, BackgroundIsLoadedOnceAtItsMoment) {
    skin_test::RegisterBitmap(kBackgroundId, Quadrants());
    {
        skin::SkinBackground atConstruction(kBackgroundId, BackgroundLoad::AtConstruction,
                                            BackgroundPaint::OneToOne);
        EXPECT_TRUE(atConstruction.Loaded());
        atConstruction.OnInitDialog();
        EXPECT_EQ(atConstruction.LoadAttempts(), 1);
    }
    {
        LookDialog dialog(kBackgroundId, BackgroundLoad::InInitDialog, BackgroundPaint::Stretched,
                          0);
        EXPECT_FALSE(dialog.background.Loaded());
        ASSERT_TRUE(dialog.Create());
        EXPECT_TRUE(dialog.background.Loaded());
        for (int i = 0; i < 3; ++i)
            dialog.grab();
        EXPECT_EQ(dialog.background.LoadAttempts(), 1);
    }
    {
        LookDialog dialog(kBackgroundId, BackgroundLoad::OnFirstErase, BackgroundPaint::Stretched,
                          0);
        ASSERT_TRUE(dialog.Create());
        EXPECT_FALSE(dialog.background.Loaded());
        for (int i = 0; i < 3; ++i)
            dialog.grab();
        EXPECT_TRUE(dialog.background.Loaded());
        EXPECT_EQ(dialog.background.LoadAttempts(), 1);
    }
    {
        // A bitmap that is not there is looked for once, not on every repaint.
        LookDialog dialog(kBackgroundId + 1, BackgroundLoad::OnFirstErase,
                          BackgroundPaint::Stretched, 0);
        ASSERT_TRUE(dialog.Create());
        for (int i = 0; i < 3; ++i)
            dialog.grab();
        EXPECT_FALSE(dialog.background.Loaded());
        EXPECT_EQ(dialog.background.LoadAttempts(), 1);
    }
}

TEST_F(LooksTest, StretchedAndOneToOneBackgrounds) {
    skin_test::RegisterBitmap(kBackgroundId, Quadrants());
    const QColor face = sysColor(COLOR_BTNFACE);
    {
        LookDialog dialog(kBackgroundId, BackgroundLoad::InInitDialog, BackgroundPaint::Stretched,
                          0);
        ASSERT_TRUE(dialog.Create());
        const QImage shot = dialog.grab().toImage();
        const int w = shot.width();
        const int h = shot.height();
        // Well away from the controls: the four quadrants fill the whole client.
        EXPECT_EQ(Pixel(shot, 1, 1), QColor(255, 0, 0));
        EXPECT_EQ(Pixel(shot, w - 2, 1), QColor(0, 255, 0));
        EXPECT_EQ(Pixel(shot, 1, h - 2), QColor(0, 0, 255));
        EXPECT_EQ(Pixel(shot, w - 2, h - 2), QColor(255, 255, 0));
        EXPECT_EQ(Pixel(shot, w / 2 - 1, h - 2), QColor(0, 0, 255));
        EXPECT_EQ(Pixel(shot, w / 2, h - 2), QColor(255, 255, 0));
    }
    {
        skin_test::RegisterBitmap(kBackgroundId, skin_test::Solid({20, 12}, QColor(90, 20, 20)));
        LookDialog dialog(kBackgroundId, BackgroundLoad::AtConstruction, BackgroundPaint::OneToOne,
                          0);
        ASSERT_TRUE(dialog.Create());
        const QImage shot = dialog.grab().toImage();
        EXPECT_EQ(Pixel(shot, 0, 0), QColor(90, 20, 20));
        EXPECT_EQ(Pixel(shot, 19, 11), QColor(90, 20, 20));
        EXPECT_EQ(Pixel(shot, 2, 30), face);  // beyond the bitmap: the dialog's own colour
        EXPECT_EQ(Pixel(shot, shot.width() - 2, shot.height() - 2), face);
    }
    {
        // Without its bitmap a dialog still opens with the default background.
        LookDialog dialog(kBackgroundId + 1, BackgroundLoad::InInitDialog,
                          BackgroundPaint::Stretched, 0);
        ASSERT_TRUE(dialog.Create());
        const QImage shot = dialog.grab().toImage();
        EXPECT_EQ(Pixel(shot, 1, 1), face);
        EXPECT_EQ(Pixel(shot, shot.width() - 2, shot.height() - 2), face);
    }
}

TEST_F(LooksTest, StaticTextsAreTransparentInTheirColour) {
    skin_test::RegisterBitmap(kBackgroundId, skin_test::Solid({4, 4}, QColor(20, 40, 90)));
    LookDialog dialog(kBackgroundId, BackgroundLoad::InInitDialog, BackgroundPaint::Stretched,
                      RGB(255, 255, 255));
    ASSERT_TRUE(dialog.Create());
    CWnd* label = dialog.GetDlgItem(kStaticId);
    ASSERT_NE(label, nullptr);
    const QRect r = label->widget()->geometry();
    const QImage shot = dialog.grab().toImage();
    int white = 0;
    int background = 0;
    for (int x = r.left(); x <= r.right(); ++x)
        for (int y = r.top(); y <= r.bottom(); ++y) {
            const QColor c = Pixel(shot, x, y);
            if (c.red() > 200 && c.green() > 200 && c.blue() > 200)
                ++white;
            if (c == QColor(20, 40, 90))
                ++background;
        }
    EXPECT_GT(white, 10);                               // the text, in white
    EXPECT_GT(background, r.width() * r.height() / 2);  // the dialog shows through the rest
    EXPECT_EQ(Pixel(shot, r.right() - 1, r.bottom() - 1), QColor(20, 40, 90));

    // Other controls keep the platform's colours: the handler leaves them be.
    CtlColor edit;
    edit.ctlType = CTLCOLOR_EDIT;
    const CtlColor before = edit;
    skin::DialogCtlColor(edit, 134);
    EXPECT_EQ(edit.brush, before.brush);
    EXPECT_EQ(edit.textColor, before.textColor);
    CtlColor text;
    text.ctlType = CTLCOLOR_STATIC;
    skin::DialogCtlColor(text, 102);
    EXPECT_EQ(text.textColor, RGB(0, 0, 0));
    EXPECT_EQ(text.bkMode, TRANSPARENT);
    EXPECT_EQ(text.brush, CtlColor::Brush::Null);
    skin::DialogCtlColor(text, 134);
    EXPECT_EQ(text.textColor, RGB(255, 255, 255));
}

TEST_F(LooksTest, RegionFollowsEverySizeChange) {
    LookDialog dialog(0, BackgroundLoad::InInitDialog, BackgroundPaint::Stretched, 0);
    ASSERT_TRUE(dialog.Create());
    dialog.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog.GetWindowRgn(), skin::MainWindowRegion(dialog.width(), dialog.height()));
    dialog.setFixedSize(321, 213);
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog.GetWindowRgn(), skin::MainWindowRegion(321, 213));
    EXPECT_FALSE(dialog.GetWindowRgn().contains(QPoint(0, 0)));
    EXPECT_FALSE(dialog.GetWindowRgn().contains(QPoint(320, 212)));
    EXPECT_TRUE(dialog.GetWindowRgn().contains(QPoint(160, 100)));
    // Minimised and restored: the corners are cut again.
    dialog.showMinimized();
    QCoreApplication::processEvents();
    dialog.showNormal();
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog.GetWindowRgn(), skin::MainWindowRegion(dialog.width(), dialog.height()));
}

TEST_F(LooksTest, SurfaceAndStaticTextsMoveTheWindowControlsDoNot) {
    std::vector<QPoint> moves;
    CDialog::SetWindowMoveHook([&](CDialog&, QPoint at) { moves.push_back(at); });
    LookDialog dialog(0, BackgroundLoad::InInitDialog, BackgroundPaint::Stretched, 0);
    ASSERT_TRUE(dialog.Create());
    dialog.show();
    QCoreApplication::processEvents();

    // A press goes to the deepest widget under the point, as the window
    // system delivers it.
    auto pressOn = [&](QWidget* control, QPoint local) {
        QPoint at = control->mapTo(&dialog, local);
        QWidget* target = dialog.childAt(at);
        if (target == nullptr)
            target = &dialog;
        at = target->mapFrom(&dialog, at);
        moves.clear();
        QTest::mousePress(target, Qt::LeftButton, {}, at);
        QCoreApplication::processEvents();  // the caption press is posted
        QTest::mouseRelease(target, Qt::LeftButton, {}, at);
        QCoreApplication::processEvents();
        return moves.size();
    };
    EXPECT_EQ(pressOn(&dialog, QPoint(dialog.width() - 5, dialog.height() - 5)), 1u);
    EXPECT_EQ(pressOn(dialog.GetDlgItem(kStaticId)->widget(), QPoint(3, 3)), 1u);
    EXPECT_EQ(pressOn(dialog.GetDlgItem(kButtonId)->widget(), QPoint(3, 3)), 0u);
    EXPECT_EQ(pressOn(dialog.GetDlgItem(kListId)->widget(), QPoint(20, 30)), 0u);
    EXPECT_EQ(pressOn(dialog.GetDlgItem(kEditId)->widget(), QPoint(5, 5)), 0u);
    CDialog::SetWindowMoveHook(nullptr);
}

TEST_F(LooksTest, ManualMoveFollowsTheMouseUntilRelease) {
    // The off-screen platform has no window-system move, so the fallback runs.
    QWidget window;
    window.setWindowFlags(Qt::FramelessWindowHint);
    window.setGeometry(100, 100, 200, 150);
    window.show();
    QCoreApplication::processEvents();
    const QPoint start = window.pos();
    const QPoint press(150, 120);
    skin::StartWindowMove(&window, press);
    ASSERT_NE(skin::ManualWindowMove::active(), nullptr);
    auto send = [&](QEvent::Type type, QPoint global, Qt::MouseButtons buttons,
                    Qt::MouseButton button) {
        QMouseEvent event(type, window.mapFromGlobal(global), global, button, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(&window, &event);
    };
    send(QEvent::MouseMove, press + QPoint(30, 12), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(window.pos(), start + QPoint(30, 12));
    send(QEvent::MouseMove, press + QPoint(-7, 40), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(window.pos(), start + QPoint(-7, 40));
    send(QEvent::MouseButtonRelease, press + QPoint(-7, 40), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(skin::ManualWindowMove::active(), nullptr);
    send(QEvent::MouseMove, press + QPoint(50, 50), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(window.pos(), start + QPoint(-7, 40));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
