#include "sheets.h"

#include <QGuiApplication>
#include <QPainter>
#include <algorithm>
#include <set>

#include "res/bitmap_catalog.h"
#include "res/button_skins.h"
#include "res/resource_check.h"

namespace res::gallery {
namespace {

const QColor kSheet(0xfa, 0xfa, 0xfa);
const QColor kCaption(0x44, 0x44, 0x44);

QFont CaptionFont() {
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(11);
    return f;
}

const char* DialogName(int templateId) {
    switch (templateId) {
        case 102:
            return "main window";
        case 134:
            return "login";
        case 139:
            return "language";
        case 229:
            return "drive letter in use";
        case 264:
            return "widget engine";
        case 265:
            return "model picker";
        case 308:
            return "about";
        default:
            return "";
    }
}

}  // namespace

qreal GalleryScale() {
    return qApp->devicePixelRatio();
}

QImage Picture(QSize size, const QColor& fill) {
    QImage image(size * GalleryScale(), QImage::Format_RGB32);
    image.setDevicePixelRatio(GalleryScale());
    image.fill(fill);
    return image;
}

QImage GalleryBitmap(unsigned id) {
    if (GalleryScale() <= 1.0)
        return QImage(BitmapResourcePath(id));
    QImage image(BitmapResourcePath(id, kHighDensityScale));
    image.setDevicePixelRatio(kHighDensityScale);
    return image;
}

QImage ButtonSheet() {
    const auto skins = ButtonSkins();
    constexpr int kCell = 118;
    constexpr int kRow = 44;
    constexpr int kLabel = 200;
    const char* states[] = {"normal", "hover", "pressed", "disabled"};
    QImage sheet = Picture(QSize(kLabel + 4 * kCell + 10, 30 + kRow * int(skins.size())), kSheet);
    QPainter p(&sheet);
    p.setFont(CaptionFont());
    p.setPen(kCaption);
    for (int s = 0; s < 4; ++s)
        p.drawText(kLabel + s * kCell, 18, states[s]);
    int y = 30;
    for (const ButtonSkin& skin : skins) {
        p.setPen(kCaption);
        p.drawText(10, y + 17,
                   QStringLiteral("%1 / %2").arg(DialogName(skin.templateId)).arg(skin.controlId));
        const unsigned ids[] = {skin.normal, skin.over, skin.down, skin.disabled};
        for (int s = 0; s < 4; ++s) {
            const QImage face = GalleryBitmap(ids[s]);
            const QPoint at(kLabel + s * kCell, y);
            p.drawImage(at, face);
            const int faceHeight = qRound(face.deviceIndependentSize().height());
            p.drawText(at + QPoint(0, faceHeight + 11), QString::number(ids[s]));
        }
        y += kRow;
    }
    return sheet;
}

QImage BitmapSheet() {
    constexpr int kWidth = 1400;
    constexpr int kGap = 14;
    // Lay the bitmaps out in rows, small ones enlarged four times.
    struct Item {
        const BitmapSpec* bitmap;
        QImage image;
        QRect at;
    };
    std::vector<Item> items;
    int x = kGap, y = kGap, rowHeight = 0;
    for (const BitmapSpec& bitmap : BitmapCatalog()) {
        QImage image = GalleryBitmap(bitmap.id);
        const int scale = std::max(bitmap.width, bitmap.height) <= 32 ? 4 : 1;
        if (!image.isNull()) {
            const qreal ratio = image.devicePixelRatio();
            image = image.scaled(image.size() * scale);
            image.setDevicePixelRatio(ratio);
        }
        const QSize shown = QSize(bitmap.width, bitmap.height) * scale;
        const QSize cell(std::max(shown.width(), 170), shown.height() + 28);
        if (x + cell.width() > kWidth) {
            x = kGap;
            y += rowHeight + kGap;
            rowHeight = 0;
        }
        items.push_back({&bitmap, image, QRect(QPoint(x, y), cell)});
        x += cell.width() + kGap;
        rowHeight = std::max(rowHeight, cell.height());
    }
    QImage sheet = Picture(QSize(kWidth, y + rowHeight + kGap), kSheet);
    QPainter p(&sheet);
    p.setFont(CaptionFont());
    for (const Item& it : items) {
        p.drawImage(it.at.topLeft(), it.image);
        p.setPen(kCaption);
        const int shownHeight = it.at.height() - 28;
        p.drawText(it.at.left(), it.at.top() + shownHeight + 12,
                   QStringLiteral("%1  %2x%3")
                       .arg(it.bitmap->id)
                       .arg(it.bitmap->width)
                       .arg(it.bitmap->height));
        p.drawText(it.at.left(), it.at.top() + shownHeight + 24,
                   QString::fromLatin1(it.bitmap->what));
    }
    return sheet;
}

}  // namespace res::gallery
