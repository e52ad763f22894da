// The icon writer's files read back with every image at its size.

#include "icon_file.h"

#include <QBuffer>
#include <QImageReader>

#include <gtest/gtest.h>

namespace {

TEST(IconFile, ReadsBackEveryImageWithItsSizeAndAlpha) {
    std::vector<QImage> images;
    for (int px : {16, 48, 256}) {
        QImage image(px, px, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        image.setPixel(px / 2, px / 2, qRgba(10, 200, 30, 255));
        images.push_back(image);
    }
    QByteArray bytes = res::gen::IconFile(images);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    ASSERT_EQ(reader.imageCount(), 3);
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(reader.jumpToImage(i));
        const QImage read = reader.read();
        ASSERT_FALSE(read.isNull()) << i;
        const int px = images[static_cast<std::size_t>(i)].width();
        EXPECT_EQ(read.size(), QSize(px, px));
        // Rows are stored bottom-up; a mix-up would move the pixel.
        EXPECT_EQ(read.pixel(px / 2, px / 2), qRgba(10, 200, 30, 255)) << px;
        EXPECT_EQ(qAlpha(read.pixel(0, 0)), 0) << px;
    }
}

}  // namespace
