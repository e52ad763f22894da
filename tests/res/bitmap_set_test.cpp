// The compiled-in bitmap set: complete, exact sizes, 24 bits per pixel,
// reachable through the dialog layer's lookup by id, and covering every id
// a dialog loads.

#include <QFile>
#include <QIcon>
#include <set>

#include <gtest/gtest.h>

#include "platform/dialog/resources.h"
#include "res/bitmap_catalog.h"
#include "res/bitmap_ids.h"
#include "res/button_skins.h"
#include "res/resource_check.h"

namespace {

TEST(BitmapSet, IsCompleteAtExactSizesAndDepth) {
    const QStringList problems = res::CheckBitmapSet();
    EXPECT_TRUE(problems.isEmpty()) << problems.join('\n').toStdString();
    EXPECT_EQ(res::BitmapCatalog().size(), 61u);
}

TEST(BitmapSet, EveryBitmapLoadsByIdThroughTheDialogLayer) {
    for (const res::BitmapSpec& bitmap : res::BitmapCatalog()) {
        const QImage image = LoadBitmapResource(bitmap.id);
        ASSERT_FALSE(image.isNull()) << "bitmap " << bitmap.id;
        EXPECT_EQ(image.size(), QSize(bitmap.width, bitmap.height)) << "bitmap " << bitmap.id;
    }
    EXPECT_TRUE(LoadBitmapResource(231 + 1000).isNull());
}

TEST(BitmapSet, SizesTheWindowsRelyOn) {
    auto size = [](unsigned id) {
        const res::BitmapSpec* s = res::FindBitmapSpec(id);
        return s ? QSize(s->width, s->height) : QSize();
    };
    EXPECT_EQ(size(res::IDB_BG_MAIN), QSize(430, 574));
    EXPECT_EQ(size(res::IDB_BG_LANGUAGE), QSize(441, 178));
    EXPECT_EQ(size(res::IDB_BG_PROGRESS), QSize(441, 169));
    EXPECT_EQ(size(res::IDB_BG_ABOUT), QSize(366, 135));
    EXPECT_EQ(size(res::IDB_CLOSE), QSize(16, 16));
    EXPECT_EQ(size(res::IDB_MINIMIZE_DOWN), QSize(16, 16));
    EXPECT_EQ(size(res::IDB_CODEPAGE), QSize(93, 30));
    EXPECT_EQ(size(res::IDB_ADDON), QSize(93, 28));
    EXPECT_EQ(size(res::IDB_CANCEL), QSize(93, 28));
    EXPECT_EQ(size(res::IDB_OK), QSize(100, 25));
    EXPECT_EQ(size(res::IDB_HEADER_STRIP), QSize(1, 17));
    EXPECT_EQ(size(res::IDB_HEADER_SEPARATOR), QSize(12, 17));
    EXPECT_EQ(size(res::IDB_VSCROLL_THUMB), QSize(14, 26));
    EXPECT_EQ(size(res::IDB_HSCROLL_LEFT), QSize(16, 14));
    EXPECT_EQ(size(res::IDB_HSCROLL_RIGHT_OFF), QSize(16, 14));
    // The ids no window draws are carried too.
    for (unsigned id : {230u, 239u, 244u, 246u, 247u, 292u, 293u}) {
        EXPECT_NE(res::FindBitmapSpec(id), nullptr) << id;
    }
}

TEST(BitmapSet, CoversEveryButtonSkinAndEveryScrollBarPart) {
    std::set<unsigned> referenced;
    for (const res::ButtonSkin& s : res::ButtonSkins()) {
        referenced.insert({s.normal, s.down, s.over, s.disabled});
    }
    for (unsigned id = 231; id <= 237; ++id)
        referenced.insert(id);
    referenced.insert(243);
    for (unsigned id = 380; id <= 385; ++id)
        referenced.insert(id);
    for (unsigned id = 267; id <= 274; ++id)
        referenced.insert(id);
    referenced.insert({res::IDB_HEADER_STRIP, res::IDB_HEADER_SEPARATOR});
    for (unsigned id : referenced)
        EXPECT_NE(res::FindBitmapSpec(id), nullptr) << id;
    EXPECT_EQ(res::ButtonSkins().size(), 22u);
}

TEST(BitmapSet, IconCarriesSmallAndLargeSizes) {
    const QIcon icon = LoadIconResource(res::IDI_APP);
    ASSERT_FALSE(icon.isNull());
    for (int px : {16, 32, 48, 256}) {
        EXPECT_TRUE(icon.availableSizes().contains(QSize(px, px))) << px;
    }
    // The small image is drawn for its size, not a blur of the large one:
    // its corner is transparent and its centre opaque.
    const QImage small = icon.pixmap(16, 16).toImage();
    EXPECT_EQ(qAlpha(small.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(small.pixel(8, 12)), 255);
}

}  // namespace

namespace {

// The share of the 2 x 2 pixel blocks of `image` that are not one colour:
// none in an image enlarged pixel by pixel.
double MixedBlocks(const QImage& image) {
    int mixed = 0, blocks = 0;
    for (int y = 0; y + 1 < image.height(); y += 2) {
        for (int x = 0; x + 1 < image.width(); x += 2) {
            const QRgb a = image.pixel(x, y);
            mixed += (image.pixel(x + 1, y) != a || image.pixel(x, y + 1) != a ||
                      image.pixel(x + 1, y + 1) != a)
                         ? 1
                         : 0;
            ++blocks;
        }
    }
    return blocks == 0 ? 0.0 : double(mixed) / blocks;
}

// The mean difference per channel between `normal` and `doubled` shrunk to
// its size, averaging each 2 x 2 block.
double MeanDifference(const QImage& normal, const QImage& doubled) {
    long long sum = 0;
    for (int y = 0; y < normal.height(); ++y) {
        for (int x = 0; x < normal.width(); ++x) {
            int r = 0, g = 0, b = 0;
            for (int k = 0; k < 4; ++k) {
                const QRgb c = doubled.pixel(2 * x + k % 2, 2 * y + k / 2);
                r += qRed(c);
                g += qGreen(c);
                b += qBlue(c);
            }
            const QRgb n = normal.pixel(x, y);
            sum += std::abs(r / 4 - qRed(n)) + std::abs(g / 4 - qGreen(n)) +
                   std::abs(b / 4 - qBlue(n));
        }
    }
    return double(sum) / (3.0 * normal.width() * normal.height());
}

}  // namespace

// Every bitmap is drawn again at twice its size: the same design, with its
// labels, lines and edges drawn on the doubled pixels rather than enlarged.
TEST(BitmapSet, DoubledBitmapsAreTheSameDesignDrawnOnTwiceThePixels) {
    for (const res::BitmapSpec& bitmap : res::BitmapCatalog()) {
        SCOPED_TRACE(bitmap.id);
        const QImage normal(res::BitmapResourcePath(bitmap.id));
        const QImage doubled(res::BitmapResourcePath(bitmap.id, res::kHighDensityScale));
        ASSERT_EQ(doubled.size(), normal.size() * 2);
        EXPECT_LT(MeanDifference(normal, doubled), 6.0);
        if (bitmap.kind == res::BitmapKind::ButtonFace ||
            bitmap.kind == res::BitmapKind::Background) {
            EXPECT_GT(MixedBlocks(doubled), 0.01) << MixedBlocks(doubled);
        }
    }
}
