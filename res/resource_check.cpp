#include "res/resource_check.h"

#include <QFile>
#include <QIcon>
#include <QImageReader>

#include "res/bitmap_catalog.h"
#include "res/bitmap_ids.h"

namespace res {

QString BitmapResourcePath(unsigned id) { return QStringLiteral(":/bitmaps/%1.bmp").arg(id); }
QString IconResourcePath(unsigned id) { return QStringLiteral(":/icons/%1.ico").arg(id); }

QStringList CheckBitmapSet() {
  QStringList problems;
  for (const BitmapSpec& spec : BitmapCatalog()) {
    QFile file(BitmapResourcePath(spec.id));
    if (!file.open(QIODevice::ReadOnly)) {
      problems << QStringLiteral("bitmap %1 (%2) is missing").arg(spec.id).arg(spec.what);
      continue;
    }
    const QByteArray bytes = file.readAll();
    // BITMAPINFOHEADER's bit count sits at offset 28 of the file.
    const int bits = bytes.size() > 29 ? (static_cast<unsigned char>(bytes[28]) |
                                          (static_cast<unsigned char>(bytes[29]) << 8))
                                       : 0;
    if (!bytes.startsWith("BM") || bits != 24) {
      problems << QStringLiteral("bitmap %1 is not a 24-bit bitmap (%2 bits)").arg(spec.id).arg(bits);
    }
    QImageReader reader(BitmapResourcePath(spec.id));
    if (reader.size() != QSize(spec.width, spec.height)) {
      problems << QStringLiteral("bitmap %1 is %2 x %3, not %4 x %5")
                      .arg(spec.id)
                      .arg(reader.size().width())
                      .arg(reader.size().height())
                      .arg(spec.width)
                      .arg(spec.height);
    }
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
