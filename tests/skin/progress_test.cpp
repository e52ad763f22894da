#include <gtest/gtest.h>

#include "platform/dialog/sys_colors.h"
#include "skin/skin_progress.h"
#include "skin_test_support.h"

using namespace ostrel::dialog;

using skin_test::Pixel;

TEST(ProgressFill, EdgesOfTheRange) {
    EXPECT_EQ(ProgressFillRight(1, 100, 1, 0, 200), 0);
    EXPECT_EQ(ProgressFillRight(1, 100, 100, 0, 200), 200);
    EXPECT_EQ(ProgressFillRight(1, 100, 50, 0, 200), 98);  // 49 × 200 / 99 = 98.99
    EXPECT_EQ(ProgressFillRight(0, 3, 1, 0, 10), 3);       // 3.33 truncated
    // An empty range fills nothing instead of dividing zero by zero.
    EXPECT_EQ(ProgressFillRight(5, 5, 5, 0, 200), 0);
    EXPECT_EQ(ProgressFillRight(5, 5, 9, 0, 200), 0);
    // The fill never leaves the bar, whatever the position says.
    EXPECT_EQ(ProgressFillRight(0, 10, 20, 0, 200), 200);
    EXPECT_EQ(ProgressFillRight(0, 10, -5, 0, 200), 0);
    EXPECT_EQ(ProgressFillRight(0, 10, 5, 0, 0), 0);
}

TEST(SkinProgress, PaintsTheFillFromTheLeft) {
    CSkinProgress bar;
    bar.resize(200, 18);
    const QColor face = sysColor(COLOR_BTNFACE);
    const QColor blue(4, 134, 232);
    bar.SetRange(1, 100);
    {
        bar.SetPos(1);
        const QImage shot = bar.grab().toImage();
        for (int x : {0, 1, 100, 199})
            EXPECT_EQ(Pixel(shot, x, 9), face) << x;
    }
    {
        bar.SetPos(100);
        const QImage shot = bar.grab().toImage();
        for (int x : {0, 100, 199})
            EXPECT_EQ(Pixel(shot, x, 9), blue) << x;
        EXPECT_EQ(Pixel(shot, 199, 0), blue);
        EXPECT_EQ(Pixel(shot, 199, 17), blue);
    }
    {
        bar.SetPos(50);
        const QImage shot = bar.grab().toImage();
        EXPECT_EQ(Pixel(shot, 97, 9), blue);
        EXPECT_EQ(Pixel(shot, 98, 9), face);
    }
    {
        bar.SetRange(5, 5);
        bar.SetPos(5);
        const QImage shot = bar.grab().toImage();
        for (int x : {0, 100, 199})
            EXPECT_EQ(Pixel(shot, x, 9), face) << x;
    }
}
