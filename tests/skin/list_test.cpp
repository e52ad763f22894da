#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include "list_host.h"
#include "platform/dialog/resources.h"
#include "platform/dialog/timer_driver.h"
#include "skin/scroll_bar_geometry.h"
#include "skin_test_support.h"

using namespace ostrel::dialog;

using skin_test::Bitmap;
using skin_test::CountingList;
using skin_test::ListHost;
using skin_test::Pixel;

namespace {

class SkinListTest : public ::testing::Test {
protected:
    void SetUp() override { skin_test::RegisterSkinBitmaps(); }
    void TearDown() override { ClearRegisteredResources(); }

    // Builds and shows the host; the list is bound and its bars attached.
    static void Open(ListHost& host) {
        ASSERT_TRUE(host.Create());
        host.show();
        QCoreApplication::processEvents();
    }

    static void Click(QWidget& w, QPoint at) {
        QTest::mousePress(&w, Qt::LeftButton, {}, at);
        QTest::mouseRelease(&w, Qt::LeftButton, {}, at);
    }
};

bool Dark(const QColor& c) {
    return c.red() < 90 && c.green() < 90 && c.blue() < 90;
}

QRect RowRectInList(CountingList& list, int row) {
    const QRect r = list.visualItemRect(list.topLevelItem(row));
    return QRect(list.viewport()->mapTo(&list, r.topLeft()), r.size());
}

}  // namespace

TEST_F(SkinListTest, SelectedRowIsBlackOnGreyAndStaysSelected) {
    ListHost host(5);
    Open(host);
    CountingList& list = host.list;
    list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);

    for (bool focused : {false, true}) {
        if (focused)
            list.setFocus();
        const QImage shot = list.grab().toImage();
        const QRect selected = RowRectInList(list, 1);
        const QRect plain = RowRectInList(list, 2);
        ASSERT_FALSE(selected.isEmpty());
        // Background beside the text, and past the first column.
        EXPECT_EQ(Pixel(shot, selected.left() + 70, selected.center().y()), QColor(190, 190, 190));
        EXPECT_EQ(Pixel(shot, selected.left() + 150, selected.center().y()), QColor(190, 190, 190));
        EXPECT_EQ(Pixel(shot, plain.left() + 70, plain.center().y()), QColor(255, 255, 255));
        // The text is black, and the platform's highlight is nowhere in the row.
        int darkest = 255;
        bool highlight = false;
        for (int x = selected.left(); x < selected.left() + 60; ++x)
            for (int y = selected.top(); y <= selected.bottom(); ++y) {
                const QColor c = Pixel(shot, x, y);
                darkest = std::min(darkest, std::max({c.red(), c.green(), c.blue()}));
                if (c.blue() > c.red() + 40)
                    highlight = true;
            }
        EXPECT_LT(darkest, 40) << "focused=" << focused;
        EXPECT_FALSE(highlight) << "focused=" << focused;
        // Painting did not touch the selection.
        EXPECT_EQ(list.GetItemState(1, LVIS_SELECTED), LVIS_SELECTED);
        EXPECT_EQ(list.GetSelectedCount(), 1);
        EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 1);
        EXPECT_EQ(list.GetItemState(2, LVIS_SELECTED), 0u);
    }
}

TEST_F(SkinListTest, HeaderCaptionsAndSeparators) {
    ListHost host(3);
    Open(host);
    CSkinHeaderCtrl* header = host.list.Header();
    ASSERT_NE(header, nullptr);
    ASSERT_EQ(host.list.GetHeaderCtrl(), header);
    EXPECT_EQ(header->height(), CSkinHeaderCtrl::kHeight);
    const QImage shot = header->viewport()->grab().toImage();
    const QColor strip = Bitmap(374).color;
    const QColor separator = Bitmap(240).color;

    // Columns 94, 81, 81, 81: separators start 2 pixels left of columns 1..3
    // and are 12 wide and 17 high; column 0 has none.
    for (int left : {94, 175, 256}) {
        if (left + 9 >= shot.width())
            continue;
        EXPECT_EQ(Pixel(shot, left - 3, 0), strip) << left;
        EXPECT_EQ(Pixel(shot, left - 2, 0), separator) << left;
        EXPECT_EQ(Pixel(shot, left + 9, 16), separator) << left;
        EXPECT_NE(Pixel(shot, left + 9, 17), separator) << left;
    }
    EXPECT_EQ(Pixel(shot, 0, 0), strip);
    EXPECT_EQ(Pixel(shot, 1, 10), strip);
    // Below the strip's 17 rows its last row carries on.
    EXPECT_EQ(Pixel(shot, 1, CSkinHeaderCtrl::kHeight - 1), strip);

    // "Name" is centred in column 0 (x 2..91) and starts near the top.
    int minX = 1000, maxX = -1, minY = 1000;
    for (int x = 0; x < 92; ++x)
        for (int y = 0; y < shot.height(); ++y)
            if (Dark(Pixel(shot, x, y))) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
            }
    ASSERT_LT(minX, maxX);
    EXPECT_NEAR((minX + maxX) / 2.0, 47.0, 3.0);
    EXPECT_GE(minY, 2);
    EXPECT_LE(minY, 6);
}

TEST_F(SkinListTest, BarsSitBesideTheListAndReplaceItsOwn) {
    ListHost host(3);
    Open(host);
    CountingList& list = host.list;
    const QRect g = list.geometry();
    CSkinVerticleScrollbar& v = list.VerticalBar();
    CSkinHorizontalScrollbar& h = list.HorizontalBar();
    EXPECT_EQ(v.parentWidget(), &host);
    EXPECT_EQ(h.parentWidget(), &host);
    EXPECT_EQ(v.geometry(), QRect(g.x() + g.width(), g.y(), 14, g.height() - 1));
    EXPECT_EQ(h.geometry(), QRect(g.x(), g.y() + g.height(), g.width() - 2, 14));
    EXPECT_EQ(v.GetDlgCtrlID(), 0xFFFF);
    EXPECT_EQ(v.GetStyle() & 0xFFFF0000u, WS_CHILD | WS_VISIBLE | WS_GROUP);
    EXPECT_TRUE(v.GetStyle() & SS_NOTIFY);
    EXPECT_TRUE(v.isVisible());
    EXPECT_FALSE(list.verticalScrollBar()->isVisible());
    EXPECT_FALSE(list.horizontalScrollBar()->isVisible());
    EXPECT_EQ(v.listCtrl, &list);
    EXPECT_EQ(h.listCtrl, &list);
}

TEST_F(SkinListTest, NothingToScrollShowsTheDisabledSetButStillSendsMessages) {
    ListHost host(2, /*wide=*/false);
    Open(host);
    CountingList& list = host.list;
    ASSERT_EQ(list.GetScrollLimit(SB_VERT), 0);
    ASSERT_EQ(list.GetScrollLimit(SB_HORZ), 0);
    CSkinVerticleScrollbar& v = list.VerticalBar();
    CSkinHorizontalScrollbar& h = list.HorizontalBar();
    {
        const QImage shot = v.grab().toImage();
        const int hgt = shot.height();
        EXPECT_EQ(Pixel(shot, 5, 5), Bitmap(383).color);
        EXPECT_EQ(Pixel(shot, 5, hgt / 2), Bitmap(384).color);
        EXPECT_EQ(Pixel(shot, 5, hgt - 5), Bitmap(385).color);
        for (int y = 0; y < hgt; ++y)
            ASSERT_NE(Pixel(shot, 5, y), Bitmap(236).color) << y;
    }
    {
        const QImage shot = h.grab().toImage();
        const int w = shot.width();
        EXPECT_EQ(Pixel(shot, 5, 5), Bitmap(380).color);
        EXPECT_EQ(Pixel(shot, w / 2, 5), Bitmap(382).color);
        EXPECT_EQ(Pixel(shot, w - 5, 5), Bitmap(381).color);
        for (int x = 0; x < w; ++x)
            ASSERT_NE(Pixel(shot, x, 5), Bitmap(243).color) << x;
    }
    list.reset();
    Click(v, QPoint(5, v.height() - 20));  // down arrow
    Click(v, QPoint(5, 15));               // up arrow
    Click(v, QPoint(5, 50));               // track below the thumb at 20
    EXPECT_EQ(list.count(WM_VSCROLL, SB_LINEDOWN), 1);
    EXPECT_EQ(list.count(WM_VSCROLL, SB_LINEUP), 1);
    EXPECT_EQ(list.count(WM_VSCROLL, SB_PAGEDOWN), 1);
    Click(h, QPoint(h.width() - 5, 5));
    EXPECT_EQ(list.count(WM_HSCROLL, SB_LINERIGHT), 1);
}

TEST_F(SkinListTest, EnabledSetWithThumbFollowsTheList) {
    ListHost host(40);
    Open(host);
    CountingList& list = host.list;
    CSkinVerticleScrollbar& v = list.VerticalBar();
    const int limit = list.GetScrollLimit(SB_VERT);
    ASSERT_GT(limit, 0);
    EXPECT_EQ(v.ThumbTop(), 20);
    {
        const QImage shot = v.grab().toImage();
        EXPECT_EQ(Pixel(shot, 5, 5), Bitmap(234).color);
        EXPECT_EQ(Pixel(shot, 5, 16 + 3), Bitmap(236).color);  // thumb drawn from thumbTop - 4
        EXPECT_EQ(Pixel(shot, 5, 16 + 25), Bitmap(236).color);
        EXPECT_EQ(Pixel(shot, 5, 16 + 26), Bitmap(235).color);
        EXPECT_EQ(Pixel(shot, 5, shot.height() - 5), Bitmap(237).color);
    }
    // A scroll made elsewhere (keyboard, wheel, code) moves the thumb.
    list.verticalScrollBar()->setValue(limit);
    EXPECT_EQ(list.GetScrollPos(SB_VERT), limit);
    EXPECT_EQ(v.ThumbTop(), skin::VerticalThumbFromScroll(limit, limit, v.height()).thumb);
    EXPECT_EQ(v.ThumbTop(), v.height() - 38);
    list.verticalScrollBar()->setValue(0);
    EXPECT_EQ(v.ThumbTop(), 20);

    // The horizontal bar: wide columns leave something to scroll.
    CSkinHorizontalScrollbar& h = list.HorizontalBar();
    ASSERT_GT(list.GetScrollLimit(SB_HORZ), 0);
    const QImage shot = h.grab().toImage();
    EXPECT_EQ(Pixel(shot, 5, 5), Bitmap(233).color);
    EXPECT_EQ(Pixel(shot, h.ThumbLeft() - 4 + 13, 5), Bitmap(243).color);
    EXPECT_EQ(Pixel(shot, h.width() - 5, 5), Bitmap(231).color);
    EXPECT_EQ(Pixel(shot, h.width() - 30, 5), Bitmap(232).color);
}

// A search empties the list and fills it again: once emptied it has
// nothing to scroll and its bar shows so, and the new rows start at the top.
TEST_F(SkinListTest, AnEmptiedListHasNothingToScrollAndRefillsFromTheTop) {
    ListHost host(40);
    Open(host);
    CountingList& list = host.list;
    list.verticalScrollBar()->setValue(5);
    ASSERT_EQ(list.GetTopIndex(), 5);
    list.DeleteAllItems();
    QTest::qWait(100);
    EXPECT_EQ(list.GetScrollLimit(SB_VERT), 0);
    EXPECT_EQ(list.GetScrollPos(SB_VERT), 0);
    EXPECT_EQ(Pixel(list.VerticalBar().grab().toImage(), 5, 5), Bitmap(383).color);
    host.fill(40);
    QTest::qWait(100);
    EXPECT_EQ(list.GetTopIndex(), 0);
    EXPECT_EQ(list.VerticalBar().ThumbTop(), 20);
}

TEST_F(SkinListTest, ArrowAutoRepeatCountsSteps) {
    ManualTimerDriver clock;
    ScopedTimerDriver useClock(clock);
    ListHost host(60);
    Open(host);
    CountingList& list = host.list;
    CSkinVerticleScrollbar& v = list.VerticalBar();
    const QPoint down(5, v.height() - 20);

    {
        // Released within the delay: one step, on release.
        list.reset();
        QTest::mousePress(&v, Qt::LeftButton, {}, down);
        clock.advance(249);
        EXPECT_EQ(list.count(WM_VSCROLL, SB_LINEDOWN), 0);
        QTest::mouseRelease(&v, Qt::LeftButton, {}, down);
        EXPECT_EQ(list.count(WM_VSCROLL, SB_LINEDOWN), 1);
        EXPECT_EQ(list.GetScrollPos(SB_VERT), 1);
        EXPECT_FALSE(clock.running(&v, skin::kDelayTimerId));
        EXPECT_FALSE(clock.running(&v, skin::kRepeatTimerId));
        clock.advance(1000);
        EXPECT_EQ(list.count(WM_VSCROLL, SB_LINEDOWN), 1);
    }
    {
        // Held: 250 ms delay, then a step every 50 ms, and one more on release.
        list.reset();
        QTest::mousePress(&v, Qt::LeftButton, {}, down);
        clock.advance(250);
        EXPECT_EQ(list.count(WM_VSCROLL, SB_LINEDOWN), 0);
        EXPECT_TRUE(clock.running(&v, skin::kRepeatTimerId));
        EXPECT_FALSE(clock.running(&v, skin::kDelayTimerId));
        clock.advance(49);
        EXPECT_EQ(list.count(WM_VSCROLL, SB_LINEDOWN), 0);
        clock.advance(1);
        EXPECT_EQ(list.count(WM_VSCROLL, SB_LINEDOWN), 1);
        clock.advance(150);
        EXPECT_EQ(list.count(WM_VSCROLL, SB_LINEDOWN), 4);
        QTest::mouseRelease(&v, Qt::LeftButton, {}, down);
        EXPECT_EQ(list.count(WM_VSCROLL, SB_LINEDOWN), 5);
        EXPECT_EQ(list.GetScrollPos(SB_VERT), 6);
        EXPECT_FALSE(clock.running(&v, skin::kRepeatTimerId));
        clock.advance(500);
        EXPECT_EQ(list.count(WM_VSCROLL, SB_LINEDOWN), 5);
    }
    {
        // The up arrow repeats the same way.
        list.reset();
        const QPoint up(5, 15);
        QTest::mousePress(&v, Qt::LeftButton, {}, up);
        clock.advance(250 + 2 * 50);
        QTest::mouseRelease(&v, Qt::LeftButton, {}, up);
        EXPECT_EQ(list.count(WM_VSCROLL, SB_LINEUP), 3);
        EXPECT_EQ(list.GetScrollPos(SB_VERT), 3);
    }
    {
        // The track pages once, on release, however long it is held.
        list.reset();
        const QPoint track(5, v.ThumbTop() + 40);
        QTest::mousePress(&v, Qt::LeftButton, {}, track);
        clock.advance(2000);
        EXPECT_EQ(list.total(WM_VSCROLL), 0);
        QTest::mouseRelease(&v, Qt::LeftButton, {}, track);
        EXPECT_EQ(list.count(WM_VSCROLL, SB_PAGEDOWN), 1);
        EXPECT_EQ(list.total(WM_VSCROLL), 1);
        // Above the thumb it pages up.
        list.verticalScrollBar()->setValue(list.GetScrollLimit(SB_VERT) / 2);
        list.reset();
        const QPoint above(5, v.ThumbTop() - 2);
        ASSERT_GT(above.y(), 26);  // clear of the up arrow
        Click(v, above);
        EXPECT_EQ(list.count(WM_VSCROLL, SB_PAGEUP), 1);
    }
    {
        // Horizontal arrows repeat too.
        CSkinHorizontalScrollbar& h = list.HorizontalBar();
        list.reset();
        const QPoint right(h.width() - 5, 5);
        QTest::mousePress(&h, Qt::LeftButton, {}, right);
        clock.advance(250 + 3 * 50);
        QTest::mouseRelease(&h, Qt::LeftButton, {}, right);
        EXPECT_EQ(list.count(WM_HSCROLL, SB_LINERIGHT), 4);
        EXPECT_GT(list.GetScrollPos(SB_HORZ), 0);
    }
}

TEST_F(SkinListTest, DraggingTheThumbsScrollsTheList) {
    ListHost host(60);
    Open(host);
    CountingList& list = host.list;
    {
        CSkinVerticleScrollbar& v = list.VerticalBar();
        const int limit = list.GetScrollLimit(SB_VERT);
        QTest::mousePress(&v, Qt::LeftButton, {},
                          QPoint(5, 30));  // on the thumb at 20, clear of the arrow
        EXPECT_TRUE(v.ThumbPressed());
        QTest::mouseMove(&v, QPoint(5, 60));
        // thumbTop = 60 - 13 = 47; target = (47 - 20) / ((H - 80) / limit).
        int target = 0;
        ASSERT_TRUE(skin::VerticalDragTarget(47, limit, v.height(), &target));
        EXPECT_EQ(list.GetScrollPos(SB_VERT), std::min(target, limit));
        EXPECT_EQ(v.ThumbTop(), skin::VerticalClampThumb(47, v.height()));
        list.reset();
        QTest::mouseRelease(&v, Qt::LeftButton, {}, QPoint(5, 60));
        EXPECT_EQ(list.total(WM_VSCROLL), 0);  // a drag's release does not page
        EXPECT_FALSE(v.ThumbPressed());
        EXPECT_EQ(
            v.ThumbTop(),
            skin::VerticalThumbFromScroll(list.GetScrollPos(SB_VERT), limit, v.height()).thumb);
    }
    {
        CSkinHorizontalScrollbar& h = list.HorizontalBar();
        const int limit = list.GetScrollLimit(SB_HORZ);
        ASSERT_GT(limit, 0);
        QTest::mousePress(&h, Qt::LeftButton, {}, QPoint(h.ThumbLeft() + 5, 5));
        QTest::mouseMove(&h, QPoint(h.ThumbLeft() + 20, 5));
        EXPECT_TRUE(h.Dragging());
        const int dropX = 100;
        QTest::mouseMove(&h, QPoint(dropX, 5));
        int target = 0;
        ASSERT_TRUE(skin::HorizontalDragTarget(dropX - 13, limit, h.width(), &target));
        EXPECT_EQ(list.GetScrollPos(SB_HORZ), std::min(target, limit));
        EXPECT_EQ(h.ThumbLeft(), dropX - 13);
        list.reset();
        QTest::mouseRelease(&h, Qt::LeftButton, {}, QPoint(dropX, 5));
        EXPECT_EQ(list.total(WM_HSCROLL), 0);
        // Released, the thumb goes where the list's new position puts it, a
        // few pixels from where it was dropped.
        const int settled =
            skin::HorizontalThumbFromScroll(list.GetScrollPos(SB_HORZ), limit, h.width()).thumb;
        EXPECT_EQ(h.ThumbLeft(), settled);
        EXPECT_LE(std::abs(settled - (dropX - 13)), 12);
        EXPECT_FALSE(h.Dragging());
    }
}
