#include "platform/dialog/dialog_units.h"

#include <QFontInfo>

#include <gtest/gtest.h>

using namespace ostrel::dialog;

TEST(DialogUnits, MulDivRoundsHalvesAwayFromZero) {
    EXPECT_EQ(MulDiv(287, 6, 4), 431);  // 430.5
    EXPECT_EQ(MulDiv(205, 6, 4), 308);  // 307.5
    EXPECT_EQ(MulDiv(-5, 3, 2), -8);    // -7.5
    EXPECT_EQ(MulDiv(8, 96, 72), 11);   // 10.67: 8 points at 96 dpi
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
    EXPECT_EQ(MulDiv(1 << 30, 4, 8), 1 << 29);  // no overflow in the product
}

TEST(DialogUnits, StandInFontsAreTheOnesInstalled) {
    EnsureDialogFonts();
    EXPECT_EQ(ResolvedFontFamily("Arial"), "Liberation Sans");
    EXPECT_EQ(ResolvedFontFamily("Tahoma"), "Tahoma");  // Wine's, registered at start-up
    const QFont font = DialogTemplateFont("Arial", 8);
    EXPECT_EQ(QFontInfo(font).pixelSize(), 11);
}

TEST(DialogUnits, ArialEightGivesTheUnitsTheBitmapsWereDrawnFor) {
    const DialogBaseUnits units = DialogBaseUnitsFor("Arial", 8);
    EXPECT_EQ(units, (DialogBaseUnits{6, 14}));
    // Template sizes against their background bitmaps.
    EXPECT_EQ(DluToPixelsX(205, units), 308);  // login, bitmap 308 x 147
    EXPECT_EQ(DluToPixelsY(84, units), 147);
    EXPECT_EQ(DluToPixelsX(165, units), 248);  // MountMessage, 248 x 119
    EXPECT_EQ(DluToPixelsY(68, units), 119);
    EXPECT_EQ(DluToPixelsX(343, units), 515);  // yahoowidgetalert, 515 x 205
    EXPECT_EQ(DluToPixelsY(117, units), 205);
    EXPECT_EQ(DluToPixelsX(287, units), 431);  // main window, bitmap 430 x 574
    EXPECT_EQ(DluToPixelsY(330, units), 578);
}

TEST(DialogUnits, OtherSizesFollowTheGdiRules) {
    // Arial 9: 12 px, 52 letters 364 px wide -> cx 7; no hinted height known,
    // so ceil(10.86) + ceil(2.54).
    EXPECT_EQ(DialogBaseUnitsFor("Arial", 9), (DialogBaseUnits{7, 14}));
    // Tahoma has a VDMX table: 11 ppem is 11 + 2.
    QFont tahoma("Tahoma");
    tahoma.setPixelSize(11);
    EXPECT_EQ(GdiCellHeight(tahoma), 13);
}

TEST(DialogUnits, ControlRectanglesConvertEachValueOnItsOwn) {
    const DialogBaseUnits units{6, 14};
    EXPECT_EQ(MapDialogRect(QRect(14, 44, 179, 61), units), QRect(21, 77, 269, 107));
    EXPECT_EQ(MapDialogRect(QRect(271, 3, 12, 10), units), QRect(407, 5, 18, 18));
}

TEST(DialogUnits, LogicalFontHeights) {
    // A positive height is the cell: Tahoma 13 is the 11-pixel face.
    const QFont cell = LogicalFont("Tahoma", 13, 100);
    EXPECT_EQ(cell.pixelSize(), 11);
    EXPECT_LE(GdiCellHeight(cell), 13);
    EXPECT_EQ(cell.weight(), QFont::Normal);  // weight 100 maps to the regular face
    const QFont em = LogicalFont("Tahoma", -14, 700);
    EXPECT_EQ(em.pixelSize(), 14);
    EXPECT_EQ(em.weight(), QFont::Bold);
}
