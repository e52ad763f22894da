#include "skin_paint.h"

#include <QFontMetrics>
#include <QPainter>

#include "platform/dialog/resources.h"
#include "res/bitmap_ids.h"

namespace skin {
namespace {

// Copies `source` 1:1 to `at`, `size` pixels at most (the part of the
// bitmap that exists).
void CopyPart(QPainter& p, const QPoint& at, const QImage& source, const QSize& size) {
    if (source.isNull())
        return;
    const QRect part = QRect(QPoint(0, 0), size).intersected(source.rect());
    p.drawImage(at, source, part);
}

void CopyWhole(QPainter& p, const QPoint& at, const QImage& source) {
    if (!source.isNull())
        p.drawImage(at, source);
}

// The header background for a header `height` rows high. The strip is
// shorter than a header can be; its last row carries on below it.
QImage StripToHeight(const QImage& strip, int height) {
    if (strip.isNull() || height <= 0)
        return {};
    if (strip.height() >= height)
        return strip.copy(0, 0, strip.width(), height);
    QImage tall(strip.width(), height, QImage::Format_RGB32);
    QPainter p(&tall);
    p.drawImage(QPoint(0, 0), strip);
    const QImage last = strip.copy(0, strip.height() - 1, strip.width(), 1);
    p.drawImage(QRect(0, strip.height(), strip.width(), height - strip.height()), last);
    return tall;
}

}  // namespace

BarBitmaps VerticalBarBitmaps(bool enabled) {
    if (enabled)
        return {LoadBitmapResource(res::IDB_VSCROLL_TRACK), LoadBitmapResource(res::IDB_VSCROLL_UP),
                LoadBitmapResource(res::IDB_VSCROLL_DOWN),
                LoadBitmapResource(res::IDB_VSCROLL_THUMB)};
    return {LoadBitmapResource(res::IDB_VSCROLL_TRACK_OFF),
            LoadBitmapResource(res::IDB_VSCROLL_UP_OFF),
            LoadBitmapResource(res::IDB_VSCROLL_DOWN_OFF), QImage()};
}

BarBitmaps HorizontalBarBitmaps(bool enabled) {
    if (enabled)
        return {
            LoadBitmapResource(res::IDB_HSCROLL_TRACK), LoadBitmapResource(res::IDB_HSCROLL_LEFT),
            LoadBitmapResource(res::IDB_HSCROLL_RIGHT), LoadBitmapResource(res::IDB_HSCROLL_THUMB)};
    return {LoadBitmapResource(res::IDB_HSCROLL_TRACK_OFF),
            LoadBitmapResource(res::IDB_HSCROLL_LEFT_OFF),
            LoadBitmapResource(res::IDB_HSCROLL_RIGHT_OFF), QImage()};
}

void PaintVerticalBar(QPainter& p, const QSize& client, bool enabled, int thumbTop,
                      const BarBitmaps& bitmaps) {
    const int h = client.height();
    p.fillRect(QRect(QPoint(0, 0), client), Qt::black);
    // The track's first pixel row, stretched from y = 9 to H - 9, 18 wide.
    if (!bitmaps.track.isNull() && h - 18 > 0)
        p.drawImage(QRect(0, 9, 18, h - 18), bitmaps.track, QRect(0, 0, bitmaps.track.width(), 1));
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
        p.drawImage(QRect(15, 0, w - 27, 18), bitmaps.track,
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

void PaintHeader(QPainter& p, const QSize& client, const QImage& strip, const QImage& separator,
                 const std::vector<HeaderItemPaint>& items) {
    p.fillRect(QRect(QPoint(0, 0), client), Qt::black);
    const QImage background = StripToHeight(strip, client.height());
    if (!background.isNull())
        p.drawImage(QRect(0, 0, client.width(), background.height()), background);
    for (size_t i = 0; i < items.size(); ++i) {
        const QRect r = items[i].rect;
        if (!background.isNull() && r.width() > 0)
            p.drawImage(QRect(r.left(), 0, r.width(), background.height()), background);
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
