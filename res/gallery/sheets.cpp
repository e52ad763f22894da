#include "sheets.h"

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

QImage ButtonSheet() {
    const auto skins = ButtonSkins();
    constexpr int kCell = 118;
    constexpr int kRow = 44;
    constexpr int kLabel = 200;
    const char* states[] = {"normal", "hover", "pressed", "disabled"};
    QImage sheet(kLabel + 4 * kCell + 10, 30 + kRow * int(skins.size()), QImage::Format_RGB32);
    sheet.fill(kSheet);
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
            const QImage face(BitmapResourcePath(ids[s]));
            const QPoint at(kLabel + s * kCell, y);
            p.drawImage(at, face);
            p.drawText(at + QPoint(0, face.height() + 11), QString::number(ids[s]));
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
        QImage image(BitmapResourcePath(bitmap.id));
        const int scale = std::max(bitmap.width, bitmap.height) <= 32 ? 4 : 1;
        if (!image.isNull())
            image = image.scaled(image.size() * scale);
        const QSize cell(std::max(image.width(), 170), image.height() + 28);
        if (x + cell.width() > kWidth) {
            x = kGap;
            y += rowHeight + kGap;
            rowHeight = 0;
        }
        items.push_back({&bitmap, image, QRect(QPoint(x, y), cell)});
        x += cell.width() + kGap;
        rowHeight = std::max(rowHeight, cell.height());
    }
    QImage sheet(kWidth, y + rowHeight + kGap, QImage::Format_RGB32);
    sheet.fill(kSheet);
    QPainter p(&sheet);
    p.setFont(CaptionFont());
    for (const Item& it : items) {
        p.drawImage(it.at.topLeft(), it.image);
        p.setPen(kCaption);
        p.drawText(it.at.left(), it.at.top() + it.image.height() + 12,
                   QStringLiteral("%1  %2x%3")
                       .arg(it.bitmap->id)
                       .arg(it.bitmap->width)
                       .arg(it.bitmap->height));
        p.drawText(it.at.left(), it.at.top() + it.image.height() + 24,
                   QString::fromLatin1(it.bitmap->what));
    }
    return sheet;
}

}  // namespace res::gallery
