#pragma once

#include <QColor>
#include <QImage>
#include <QSize>

// Small solid images registered under the skin's bitmap ids, so the tests
// see exactly which bitmap was drawn where, whatever the real ones look like.
namespace skin_test {

struct TestBitmap {
    unsigned id;
    QSize size;
    QColor color;
};

// The images, one distinct colour each.
const TestBitmap& Bitmap(unsigned id);
// Registers all of them (replacing any earlier registration).
void RegisterSkinBitmaps();
// Registers one bitmap with a given image.
void RegisterBitmap(unsigned id, const QImage& image);
QImage Solid(QSize size, QColor color);

// The colour of pixel (x, y) of `image`, without alpha.
QColor Pixel(const QImage& image, int x, int y);

}  // namespace skin_test
