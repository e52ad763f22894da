#include "res/resource_check.h"

#include <QFile>
#include <QIcon>
#include <QImageReader>

#include "res/bitmap_catalog.h"
#include "res/bitmap_ids.h"

namespace res {

QString BitmapResourcePath(unsigned id, int scale) {
    return QStringLiteral(":/bitmaps/") + BitmapFileName(id, scale);
}
QString IconResourcePath(unsigned id) {
    return QStringLiteral(":/icons/%1.ico").arg(id);
}

namespace {

void CheckBitmap(const BitmapSpec& bitmap, int scale, QStringList& problems) {
    const QString path = BitmapResourcePath(bitmap.id, scale);
    const QString name = BitmapFileName(bitmap.id, scale);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        problems << QStringLiteral("bitmap %1 (%2) is missing").arg(name).arg(bitmap.what);
        return;
    }
    const QByteArray bytes = file.readAll();
    // BITMAPINFOHEADER's bit count sits at offset 28 of the file.
    const int bits =
        bytes.size() > 29
            ? (static_cast<unsigned char>(bytes[28]) | (static_cast<unsigned char>(bytes[29]) << 8))
            : 0;
    if (!bytes.startsWith("BM") || bits != 24) {
        problems
            << QStringLiteral("bitmap %1 is not a 24-bit bitmap (%2 bits)").arg(name).arg(bits);
    }
    QImageReader reader(path);
    const QSize expected = QSize(bitmap.width, bitmap.height) * scale;
    if (reader.size() != expected) {
        problems << QStringLiteral("bitmap %1 is %2 x %3, not %4 x %5")
                        .arg(name)
                        .arg(reader.size().width())
                        .arg(reader.size().height())
                        .arg(expected.width())
                        .arg(expected.height());
    }
}

}  // namespace

QStringList CheckBitmapSet() {
    QStringList problems;
    for (const BitmapSpec& bitmap : BitmapCatalog()) {
        CheckBitmap(bitmap, 1, problems);
        CheckBitmap(bitmap, kHighDensityScale, problems);
    }
    const QIcon icon(IconResourcePath(IDI_APP));
    for (int px : AppIconSizes()) {
        if (!icon.availableSizes().contains(QSize(px, px))) {
            problems << QStringLiteral("icon %1 has no %2 x %2 image").arg(IDI_APP).arg(px);
        }
    }
    return problems;
}

}  // namespace res
