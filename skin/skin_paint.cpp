#include "skin_paint.h"

#include <QFontMetrics>
#include <QPainter>

#include "res/bitmap_ids.h"

namespace skin {
namespace {

// Copies `source` 1:1 to `at`, `size` pixels at most (the part of the
// bitmap that exists).
void CopyPart(QPainter& p, const QPoint& at, const SkinBitmap& source, const QSize& size) {
    if (source.isNull())
        return;
    const QRect part = QRect(QPoint(0, 0), size).intersected(QRect(QPoint(0, 0), source.size()));
    DrawBitmap(p, at, source, part);
}

void CopyWhole(QPainter& p, const QPoint& at, const SkinBitmap& source) {
    if (!source.isNull())
        DrawBitmap(p, at, source);
}

// `image` (at its own density) lengthened to `height` design pixels: the
// strip is shorter than a header can be, so its last row carries on below.
QImage Lengthened(const QImage& image, int height) {
    const int ratio = qRound(image.devicePixelRatio());
    const int rows = image.height() / ratio;
    if (rows >= height)
        return image.copy(0, 0, image.width(), height * ratio);
    QImage tall(image.width(), height * ratio, QImage::Format_RGB32);
    tall.setDevicePixelRatio(ratio);
    QPainter p(&tall);
    p.drawImage(QPoint(0, 0), image);
    const QImage last = image.copy(0, image.height() - ratio, image.width(), ratio);
    p.drawImage(QRect(0, rows, image.width() / ratio, height - rows), last);
    return tall;
}

// The header background for a header `height` rows high.
SkinBitmap StripToHeight(const SkinBitmap& strip, int height) {
    if (strip.isNull() || height <= 0)
        return {};
    if (!strip.hasDoubled())
        return Lengthened(strip.normal(), height);
    return SkinBitmap(Lengthened(strip.normal(), height), Lengthened(strip.doubled(), height));
}

}  // namespace

BarBitmaps VerticalBarBitmaps(bool enabled) {
    using L = SkinBitmap;
    if (enabled)
        return {L::LoadShared(res::IDB_VSCROLL_TRACK), L::LoadShared(res::IDB_VSCROLL_UP),
                L::LoadShared(res::IDB_VSCROLL_DOWN), L::LoadShared(res::IDB_VSCROLL_THUMB)};
    return {L::LoadShared(res::IDB_VSCROLL_TRACK_OFF), L::LoadShared(res::IDB_VSCROLL_UP_OFF),
            L::LoadShared(res::IDB_VSCROLL_DOWN_OFF), SkinBitmap()};
}

BarBitmaps HorizontalBarBitmaps(bool enabled) {
    using L = SkinBitmap;
    if (enabled)
        return {L::LoadShared(res::IDB_HSCROLL_TRACK), L::LoadShared(res::IDB_HSCROLL_LEFT),
                L::LoadShared(res::IDB_HSCROLL_RIGHT), L::LoadShared(res::IDB_HSCROLL_THUMB)};
    return {L::LoadShared(res::IDB_HSCROLL_TRACK_OFF), L::LoadShared(res::IDB_HSCROLL_LEFT_OFF),
            L::LoadShared(res::IDB_HSCROLL_RIGHT_OFF), SkinBitmap()};
}

void PaintVerticalBar(QPainter& p, const QSize& client, bool enabled, int thumbTop,
                      const BarBitmaps& bitmaps) {
    const int h = client.height();
    p.fillRect(QRect(QPoint(0, 0), client), Qt::black);
    // The track's first pixel row, stretched from y = 9 to H - 9, 18 wide.
    if (!bitmaps.track.isNull() && h - 18 > 0)
        DrawBitmap(p, QRect(0, 9, 18, h - 18), bitmaps.track,
                   QRect(0, 0, bitmaps.track.width(), 1));
    CopyWhole(p, QPoint(0, 0), bitmaps.back);
    CopyWhole(p, QPoint(0, h - 16), bitmaps.forward);
    if (enabled)
        CopyPart(p, QPoint(0, thumbTop - 4), bitmaps.thumb, QSize(14, 26));
}

void PaintHorizontalBar(QPainter& p, const QSize& client, bool enabled, int thumbLeft,
                        const BarBitmaps& bitmaps) {
    const int w = client.width();
    p.fillRect(QRect(QPoint(0, 0), client), Qt::white);
    // The track's first pixel column, stretched from x = 15 to W - 12, 18 high.
    if (!bitmaps.track.isNull() && w - 27 > 0)
        DrawBitmap(p, QRect(15, 0, w - 27, 18), bitmaps.track,
                   QRect(0, 0, 1, bitmaps.track.height()));
    CopyPart(p, QPoint(0, 0), bitmaps.back, QSize(16, 14));
    CopyPart(p, QPoint(w - 16, 0), bitmaps.forward, QSize(16, 14));
    if (enabled)
        CopyWhole(p, QPoint(thumbLeft - 4, 0), bitmaps.thumb);
}

QFont HeaderCaptionFont() {
    // "Tahoma 14" names no installed face; the font mapper's stand-in is the
    // Tahoma substitute at a cell height (ascent plus descent) of 14 pixels.
    QFont font(QStringLiteral("Tahoma"));
    font.setStyleHint(QFont::SansSerif);
    for (int px = 14; px > 6; --px) {
        font.setPixelSize(px);
        if (QFontMetrics(font).height() <= 14)
            break;
    }
    return font;
}

void PaintHeader(QPainter& p, const QSize& client, const SkinBitmap& strip,
                 const SkinBitmap& separator, const std::vector<HeaderItemPaint>& items) {
    p.fillRect(QRect(QPoint(0, 0), client), Qt::black);
    const SkinBitmap background = StripToHeight(strip, client.height());
    const QRect whole(QPoint(0, 0), background.size());
    if (!background.isNull())
        DrawBitmap(p, QRect(0, 0, client.width(), background.height()), background, whole);
    for (size_t i = 0; i < items.size(); ++i) {
        const QRect r = items[i].rect;
        if (!background.isNull() && r.width() > 0)
            DrawBitmap(p, QRect(r.left(), 0, r.width(), background.height()), background, whole);
        if (i > 0)
            CopyPart(p, QPoint(r.left() - 2, 0), separator, QSize(12, 17));
        const QFont font = HeaderCaptionFont();
        p.setFont(font);
        p.setPen(Qt::black);
        const QRect text = r.adjusted(2, 2, -2, -2);
        if (text.width() <= 0)
            continue;
        const QString shown =
            QFontMetrics(font).elidedText(items[i].text, Qt::ElideRight, text.width());
        p.drawText(text, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, shown);
    }
}

}  // namespace skin
