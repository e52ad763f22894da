#include "icon_file.h"

#include <QtEndian>

namespace res::gen {
namespace {

void Put16(QByteArray& b, quint16 v) {
    const quint16 le = qToLittleEndian(v);
    b.append(reinterpret_cast<const char*>(&le), 2);
}
void Put32(QByteArray& b, quint32 v) {
    const quint32 le = qToLittleEndian(v);
    b.append(reinterpret_cast<const char*>(&le), 4);
}

// One icon image: header, colour rows bottom-up, mask rows bottom-up.
QByteArray Dib(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int w = image.width();
    const int h = image.height();
    const int maskStride = ((w + 31) / 32) * 4;
    QByteArray b;
    Put32(b, 40);
    Put32(b, static_cast<quint32>(w));
    Put32(b, static_cast<quint32>(2 * h));  // colour and mask stacked
    Put16(b, 1);
    Put16(b, 32);
    Put32(b, 0);
    Put32(b, static_cast<quint32>(w * h * 4 + maskStride * h));
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, 0);
    for (int y = h - 1; y >= 0; --y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            b.append(static_cast<char>(qBlue(row[x])));
            b.append(static_cast<char>(qGreen(row[x])));
            b.append(static_cast<char>(qRed(row[x])));
            b.append(static_cast<char>(qAlpha(row[x])));
        }
    }
    for (int y = h - 1; y >= 0; --y) {
        QByteArray mask(maskStride, '\0');
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            if (qAlpha(row[x]) == 0)
                mask[x / 8] = static_cast<char>(mask[x / 8] | (0x80 >> (x % 8)));
        }
        b.append(mask);
    }
    return b;
}

}  // namespace

QByteArray IconFile(const std::vector<QImage>& images) {
    QByteArray head;
    Put16(head, 0);
    Put16(head, 1);  // icon
    Put16(head, static_cast<quint16>(images.size()));
    QByteArray body;
    const quint32 dataStart = 6 + 16 * static_cast<quint32>(images.size());
    for (const QImage& image : images) {
        const QByteArray dib = Dib(image);
        head.append(static_cast<char>(image.width() >= 256 ? 0 : image.width()));
        head.append(static_cast<char>(image.height() >= 256 ? 0 : image.height()));
        head.append('\0');  // no palette
        head.append('\0');
        Put16(head, 1);
        Put16(head, 32);
        Put32(head, static_cast<quint32>(dib.size()));
        Put32(head, dataStart + static_cast<quint32>(body.size()));
        body.append(dib);
    }
    return head + body;
}

}  // namespace res::gen
