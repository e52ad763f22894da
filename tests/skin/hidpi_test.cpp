// The skin on a screen of two device pixels per design pixel (200 %): the
// doubled bitmaps are painted, sharp, into the same design-pixel rectangles;
// the window region, the scroll bars' arithmetic and their hit zones stay in
// design pixels. The whole executable runs at that scale.

#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <QWindow>
#include <cstdlib>

#include <gtest/gtest.h>

#include "list_host.h"
#include "platform/dialog/dialog.h"
#include "platform/dialog/dialog_units.h"
#include "platform/dialog/resources.h"
#include "platform/dialog/timer_driver.h"
#include "res/bitmap_ids.h"
#include "res/templates/dialog_templates.h"
#include "skin/dialog_looks.h"
#include "skin/scroll_bar_geometry.h"
#include "skin/skin_bitmap.h"
#include "skin/window_region.h"
#include "skin_test_support.h"
#include "tests/support/qt_test_main.h"

using namespace ostrel::dialog;

using skin_test::Bitmap;
using skin_test::Pixel;
using skin_test::Solid;

namespace {

[[maybe_unused]] const bool kSetUp = ostrel::test::SetQtTestSetup({
    .beforeApplication = [] { qputenv("QT_SCALE_FACTOR", "2"); },
    .withApplication =
        [] {
            EnsureDialogFonts();
            res::RegisterProductDialogTemplates();
        },
});

constexpr qreal kScale = 2.0;

// Sum of the channel differences of two colours.
int Distance(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
           std::abs(a.blue() - b.blue());
}

// How many pixels of column `x`, rows `from` to `to`, are neither `above`
// nor `below` (within a small tolerance): the width of a horizontal edge.
int RowsBetween(const QImage& image, int x, int from, int to, QColor above, QColor below) {
    int between = 0;
    for (int y = from; y <= to; ++y) {
        const QColor c = Pixel(image, x, y);
        if (Distance(c, above) > 12 && Distance(c, below) > 12)
            ++between;
    }
    return between;
}

// A dialog of the product's template `templateId` with its background, as
// the product's dialogs paint it.
class BackgroundDialog : public CDialog {
public:
    explicit BackgroundDialog(int templateId) : CDialog(templateId), background(templateId) {}
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        background.OnInitDialog();
        return TRUE;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_ERASEBKGND)
            return background.OnEraseBkgnd(*this, *reinterpret_cast<QPainter*>(wParam));
        return CDialog::WindowProc(message, wParam, lParam);
    }
    skin::SkinBackground background;
};

// A frameless window that cuts its corners on every size change, as the main
// window does.
class RegionDialog : public CDialog {
    DECLARE_MESSAGE_MAP()

public:
    RegionDialog() : CDialog(Template()) {}
    static DialogTemplate Template() {
        DialogTemplate t;
        t.id = 9301;
        t.cx = 200;
        t.cy = 120;
        t.style = DS_SETFONT | WS_POPUP;
        return t;
    }
    void OnSize(UINT type, int cx, int cy) {
        CDialog::OnSize(type, cx, cy);
        skin::ApplyMainWindowRegion(*this, cx, cy);
    }
    BOOL OnEraseBkgnd(QPainter& painter) {
        painter.fillRect(rect(), Qt::white);
        return TRUE;
    }
};

BEGIN_MESSAGE_MAP(RegionDialog, CDialog)
ON_WM_SIZE()
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

class HighDensityTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(qApp->devicePixelRatio(), kScale); }
    void TearDown() override { ClearRegisteredResources(); }

    static void Click(QWidget& w, QPoint at) {
        QTest::mousePress(&w, Qt::LeftButton, {}, at);
        QTest::mouseRelease(&w, Qt::LeftButton, {}, at);
    }
};

}  // namespace

TEST_F(HighDensityTest, DoubledImageIsPaintedAboveOneDevicePixelPerDesignPixel) {
    const QColor normal(200, 0, 0), doubled(0, 0, 200), ground(0, 0, 0);
    const skin::SkinBitmap bitmap(Solid({4, 4}, normal), Solid({8, 8}, doubled));
    ASSERT_TRUE(bitmap.hasDoubled());
    EXPECT_EQ(bitmap.size(), QSize(4, 4));
    for (qreal scale : {1.0, 1.5, 2.0}) {
        SCOPED_TRACE(scale);
        QImage target(QSize(10, 10) * scale, QImage::Format_RGB32);
        target.setDevicePixelRatio(scale);
        target.fill(ground);
        {
            QPainter p(&target);
            skin::DrawBitmap(p, QPoint(1, 1), bitmap);
        }
        const QColor inside = Pixel(target, int(3 * scale), int(3 * scale));
        EXPECT_EQ(inside, scale > 1 ? doubled : normal);
        // The bitmap covers its four design pixels, whatever the density.
        EXPECT_EQ(Pixel(target, int(5 * scale) + 1, int(3 * scale)), ground);
        EXPECT_EQ(Pixel(target, int(3 * scale), int(5 * scale) + 1), ground);
    }
    // A doubled image of the wrong size is not taken for one.
    EXPECT_FALSE(skin::SkinBitmap(Solid({4, 4}, normal), Solid({7, 8}, doubled)).hasDoubled());
}

// The scroll bars and the header ask for their bitmaps on every paint: each
// is decoded once, both densities, and shared afterwards. One a test
// registers in its place is taken alone, and the compiled one comes back
// when it is removed.
TEST_F(HighDensityTest, PaintTimeBitmapsAreDecodedOnceAndARegisteredOneStandsAlone) {
    const skin::SkinBitmap first = skin::SkinBitmap::LoadShared(res::IDB_VSCROLL_THUMB);
    const skin::SkinBitmap again = skin::SkinBitmap::LoadShared(res::IDB_VSCROLL_THUMB);
    ASSERT_TRUE(first.hasDoubled());
    EXPECT_EQ(again.normal().cacheKey(), first.normal().cacheKey());
    EXPECT_EQ(again.doubled().cacheKey(), first.doubled().cacheKey());
    // The same pictures as a fresh load, and the doubled one at its density.
    const skin::SkinBitmap fresh = skin::SkinBitmap::Load(res::IDB_VSCROLL_THUMB);
    EXPECT_EQ(fresh.normal(), first.normal());
    EXPECT_EQ(fresh.doubled(), first.doubled());
    EXPECT_EQ(first.doubled().devicePixelRatio(), kScale);

    for (auto load : {&skin::SkinBitmap::Load, &skin::SkinBitmap::LoadShared}) {
        RegisterBitmapResource(res::IDB_VSCROLL_THUMB, Solid(first.size(), Qt::red));
        const skin::SkinBitmap replaced = load(res::IDB_VSCROLL_THUMB);
        EXPECT_FALSE(replaced.hasDoubled());
        EXPECT_EQ(Pixel(replaced.normal(), 1, 1), QColor(Qt::red));
        RegisterBitmapResource(res::IDB_VSCROLL_THUMB, QImage());
        EXPECT_EQ(load(res::IDB_VSCROLL_THUMB).normal(), first.normal());
    }
    EXPECT_EQ(skin::SkinBitmap::LoadShared(res::IDB_VSCROLL_THUMB).normal().cacheKey(),
              first.normal().cacheKey());
}

TEST_F(HighDensityTest, DialogBackgroundIsTheDoubledBitmapAndItsEdgesStaySharp) {
    const skin::SkinBitmap login = skin::SkinBitmap::Load(res::IDB_BG_LOGIN);
    ASSERT_TRUE(login.hasDoubled()) << "the compiled-in set carries the doubled background";
    BackgroundDialog dialog(134);
    ASSERT_TRUE(dialog.Create());
    dialog.show();
    QCoreApplication::processEvents();
    ASSERT_EQ(dialog.size(), login.size()) << "the login background fits its client 1:1";
    const QImage shown = dialog.grab().toImage();
    ASSERT_EQ(shown.size(), login.size() * 2);
    const QImage& doubled = login.doubled();

    // Above the fields, the window shows the doubled bitmap pixel for pixel.
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < shown.width(); x += 7)
            ASSERT_EQ(Pixel(shown, x, y), Pixel(doubled, x, y)) << x << "," << y;
    }

    // The accent line along the top ends within one device pixel: its last
    // row is accent, the next one already the glow below it.
    const int x = shown.width() / 2;
    const QColor accent = Pixel(doubled, x, 0);
    const QColor glow = Pixel(doubled, x, 4);
    ASSERT_GT(Distance(accent, glow), 100);
    EXPECT_EQ(Pixel(shown, x, 3), accent);
    EXPECT_EQ(RowsBetween(shown, x, 0, 8, accent, glow), 0);

    // The design-size bitmap stretched smoothly to the same screen, as a
    // scaled window shows it, blurs the same edge over two device rows.
    const QImage stretched =
        login.normal().scaled(login.size() * 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_GE(RowsBetween(stretched, x, 0, 8, accent, glow), 2);
}

TEST_F(HighDensityTest, RegionStillCutsTheCornersAtTwiceTheScale) {
    RegionDialog dialog;
    ASSERT_TRUE(dialog.Create());
    dialog.setFixedSize(321, 213);
    dialog.show();
    QCoreApplication::processEvents();
    // The region is the design's, in design pixels, and so is what the
    // window is given: the platform maps it to device pixels with the rest
    // of the window's geometry.
    const QRegion region = skin::MainWindowRegion(321, 213);
    EXPECT_EQ(dialog.GetWindowRgn(), region);
    ASSERT_NE(dialog.windowHandle(), nullptr);
    EXPECT_EQ(dialog.windowHandle()->mask(), region);

    // Shaped by it, the window's device pixels lose twice as deep a corner.
    QImage shown = dialog.grab().toImage();
    ASSERT_EQ(shown.size(), QSize(642, 426));
    {
        QPainter p(&shown);
        p.setClipRegion(QRegion(0, 0, 321, 213).subtracted(dialog.GetWindowRgn()));
        p.fillRect(QRect(0, 0, 321, 213), Qt::black);
    }
    auto cut = [&](int x, int y) { return Pixel(shown, x, y) == QColor(Qt::black); };
    EXPECT_TRUE(cut(0, 0));
    EXPECT_TRUE(cut(1, 9));    // design (0, 4)
    EXPECT_FALSE(cut(1, 10));  // design (0, 5)
    EXPECT_TRUE(cut(641, 9));  // top right, design (320, 4)
    EXPECT_FALSE(cut(641, 10));
    EXPECT_TRUE(cut(0, 425));  // bottom left, design (0, 212)
    EXPECT_TRUE(cut(1, 416));  // design (0, 208)
    EXPECT_FALSE(cut(1, 415));
    EXPECT_FALSE(cut(320, 200));
}

TEST_F(HighDensityTest, ScrollBarsKeepTheirDesignPixelArithmeticAndHitZones) {
    ManualTimerDriver clock;  // no arrow repeats between press and release
    ScopedTimerDriver useClock(clock);
    skin_test::RegisterSkinBitmaps();
    skin_test::ListHost host(40);
    ASSERT_TRUE(host.Create());
    host.show();
    QCoreApplication::processEvents();
    skin_test::CountingList& list = host.list;
    CSkinVerticleScrollbar& v = list.VerticalBar();
    CSkinHorizontalScrollbar& h = list.HorizontalBar();
    const QRect g = list.geometry();
    EXPECT_EQ(v.geometry(), QRect(g.x() + g.width(), g.y(), 14, g.height() - 1));
    EXPECT_EQ(h.geometry(), QRect(g.x(), g.y() + g.height(), g.width() - 2, 14));

    // The thumb is where the design-pixel arithmetic puts it.
    const int limit = list.GetScrollLimit(SB_VERT);
    ASSERT_GT(limit, 0);
    EXPECT_EQ(v.ThumbTop(), 20);
    list.verticalScrollBar()->setValue(limit);
    EXPECT_EQ(v.ThumbTop(), skin::VerticalThumbFromScroll(limit, limit, v.height()).thumb);
    EXPECT_EQ(v.ThumbTop(), v.height() - 38);
    list.verticalScrollBar()->setValue(0);
    EXPECT_EQ(v.ThumbTop(), 20);

    // ... and painted there on twice as many device pixels.
    const QImage shot = v.grab().toImage();
    ASSERT_EQ(shot.size(), v.size() * 2);
    EXPECT_EQ(Pixel(shot, 10, 2 * (16 + 3)), Bitmap(res::IDB_VSCROLL_THUMB).color);
    EXPECT_EQ(Pixel(shot, 10, 2 * (16 + 26)), Bitmap(res::IDB_VSCROLL_TRACK).color);

    // Presses land on the arrows and the track in design pixels, where they
    // land on a screen at 100 %.
    list.reset();
    Click(v, QPoint(5, v.height() - 20));  // down arrow
    EXPECT_EQ(list.count(WM_VSCROLL, SB_LINEDOWN), 1);
    EXPECT_EQ(list.GetScrollPos(SB_VERT), 1);
    Click(v, QPoint(5, 15));  // up arrow
    EXPECT_EQ(list.count(WM_VSCROLL, SB_LINEUP), 1);
    EXPECT_EQ(list.GetScrollPos(SB_VERT), 0);
    Click(v, QPoint(5, v.ThumbTop() + 40));  // track below the thumb
    EXPECT_EQ(list.count(WM_VSCROLL, SB_PAGEDOWN), 1);
    Click(h, QPoint(h.width() - 5, 5));  // right arrow
    EXPECT_EQ(list.count(WM_HSCROLL, SB_LINERIGHT), 1);
}

TEST_F(HighDensityTest, ListHeaderAndBarsArePaintedFromTheDoubledBitmaps) {
    skin_test::ListHost host(40);
    ASSERT_TRUE(host.Create());
    host.show();
    QCoreApplication::processEvents();
    skin_test::CountingList& list = host.list;

    // The up arrow, copied 1:1 to the bar's top: its doubled image, pixel for
    // pixel, through the bar's off-screen surface.
    const skin::SkinBitmap up = skin::SkinBitmap::Load(res::IDB_VSCROLL_UP);
    ASSERT_TRUE(up.hasDoubled());
    const QImage bar = list.VerticalBar().grab().toImage();
    for (int y = 0; y < up.doubled().height(); ++y) {
        for (int x = 0; x < up.doubled().width(); ++x)
            ASSERT_EQ(Pixel(bar, x, y), Pixel(up.doubled(), x, y)) << x << "," << y;
    }

    // The header strip under the first caption's margin: the doubled strip,
    // row for row.
    const skin::SkinBitmap strip = skin::SkinBitmap::Load(res::IDB_HEADER_STRIP);
    ASSERT_TRUE(strip.hasDoubled());
    QWidget* header = list.Header()->viewport();
    const QImage shown = header->grab().toImage();
    ASSERT_EQ(shown.height(), header->height() * 2);
    for (int y = 0; y < strip.doubled().height(); ++y)
        EXPECT_EQ(Pixel(shown, 2, y), Pixel(strip.doubled(), 0, y)) << y;
}
