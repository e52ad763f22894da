#include "skin_test_support.h"

#include <vector>

#include "platform/dialog/resources.h"

using namespace ostrel::dialog;

namespace skin_test {
namespace {

const std::vector<TestBitmap>& All() {
    static const std::vector<TestBitmap> bitmaps = {
        // vertical bar, enabled
        {234, {14, 16}, QColor(200, 0, 0)},    // up arrow
        {235, {18, 4}, QColor(0, 200, 0)},     // track
        {236, {14, 26}, QColor(200, 200, 0)},  // thumb
        {237, {14, 16}, QColor(0, 0, 200)},    // down arrow
        // vertical bar, disabled
        {383, {14, 16}, QColor(120, 0, 0)},
        {384, {18, 4}, QColor(90, 90, 90)},
        {385, {14, 16}, QColor(0, 0, 120)},
        // horizontal bar, enabled
        {233, {16, 14}, QColor(150, 0, 150)},  // left arrow
        {232, {4, 18}, QColor(0, 150, 150)},   // track
        {243, {26, 14}, QColor(255, 0, 255)},  // thumb
        {231, {16, 14}, QColor(250, 120, 0)},  // right arrow
        // horizontal bar, disabled
        {380, {16, 14}, QColor(100, 0, 100)},
        {382, {4, 18}, QColor(60, 60, 60)},
        {381, {16, 14}, QColor(125, 60, 0)},
        // header
        {374, {1, 17}, QColor(255, 255, 160)},  // strip
        {240, {12, 17}, QColor(0, 128, 255)},   // separator
    };
    return bitmaps;
}

}  // namespace

const TestBitmap& Bitmap(unsigned id) {
    for (const TestBitmap& b : All())
        if (b.id == id)
            return b;
    static const TestBitmap none{0, {}, QColor()};
    return none;
}

QImage Solid(QSize size, QColor color) {
    QImage image(size, QImage::Format_RGB888);
    image.fill(color);
    return image;
}

void RegisterBitmap(unsigned id, const QImage& image) {
    RegisterBitmapResource(id, image);
}

void RegisterSkinBitmaps() {
    for (const TestBitmap& b : All())
        RegisterBitmapResource(b.id, Solid(b.size, b.color));
}

QColor Pixel(const QImage& image, int x, int y) {
    return QColor(image.pixel(x, y)).toRgb();
}

}  // namespace skin_test
