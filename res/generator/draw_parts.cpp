#include "draw_parts.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "palette.h"

namespace res::gen {
namespace {

constexpr int kBar = 14;  // visible thickness of a scroll-bar part

QImage Blank(QSize size, const QColor& fill, int scale) {
    QImage image(size * scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    image.fill(fill);
    return image;
}

QColor WithAlpha(QColor c, int alpha) {
    c.setAlpha(alpha);
    return c;
}

QPainterPath Rounded(const QRectF& r, qreal radius) {
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

void DrawLabel(QPainter& p, const QRectF& area, const QString& text, const QColor& ink,
               const QColor& shadow) {
    QFont font(SkinFontFamily());
    font.setPixelSize(12);
    font.setBold(true);
    font.setHintingPreference(QFont::PreferFullHinting);
    p.setFont(font);
    // Centre on the cap height rather than the full line so the label sits in
    // the optical middle of the face.
    const QFontMetricsF fm(font);
    const qreal capHeight = fm.capHeight();
    const qreal width = fm.horizontalAdvance(text);
    const qreal x = std::round(area.left() + (area.width() - width) / 2.0);
    const qreal baseline = std::round(area.top() + (area.height() + capHeight) / 2.0);
    if (shadow.alpha() > 0) {
        p.setPen(shadow);
        p.drawText(QPointF(x, baseline + 1), text);
    }
    p.setPen(ink);
    p.drawText(QPointF(x, baseline), text);
}

}  // namespace

QString SkinFontFamily() {
    return QStringLiteral("Liberation Sans");
}

QImage DrawButtonFace(const FaceRequest& rq) {
    using namespace palette;
    QImage image = Blank(rq.bitmapSize, rq.backdrop, rq.scale);
    const QSize face = rq.faceSize.boundedTo(rq.bitmapSize);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // The shape leaves its last row for the drop shadow when raised; pressed,
    // it sits one pixel lower and casts none.
    const QRectF raised(0.5, 0.5, face.width() - 1.0, face.height() - 2.0);
    const QRectF shape = rq.pressed ? raised.translated(0, 1) : raised;
    constexpr qreal radius = 3.5;

    if (!rq.pressed) {
        p.setPen(Qt::NoPen);
        p.setBrush(WithAlpha(QColor(0, 0, 0), 40));
        p.drawPath(Rounded(raised.translated(0, 1), radius));
    }

    QColor top, bottom, border, ink, textShadow;
    const bool primary = rq.tone == FaceTone::Primary;
    if (primary) {
        top = rq.pressed ? kAccentDeep : kAccentLight;
        bottom = rq.pressed ? kAccentDark : kAccent;
        border = rq.pressed ? kAccentDeep.darker(115) : kAccentDark;
        ink = Qt::white;
        textShadow = WithAlpha(QColor(0, 0, 0), rq.pressed ? 0 : 60);
    } else {
        top = rq.pressed ? kFacePressedTop : kFaceTop;
        bottom = rq.pressed ? kFacePressedBottom : kFaceBottom;
        border = rq.pressed ? kFacePressedBorder : kFaceBorder;
        ink = kInk;
        textShadow = WithAlpha(QColor(255, 255, 255), rq.pressed ? 0 : 200);
    }
    QLinearGradient fill(shape.topLeft(), shape.bottomLeft());
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    p.setBrush(fill);
    p.setPen(QPen(border, 1));
    p.drawPath(Rounded(shape, radius));

    p.save();
    p.setClipPath(Rounded(shape.adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5));
    p.setPen(Qt::NoPen);
    if (rq.pressed) {
        // Inner shadow along the top edge: the face reads as pushed in.
        QLinearGradient inset(shape.topLeft(), shape.topLeft() + QPointF(0, 5));
        inset.setColorAt(0, WithAlpha(QColor(0, 0, 0), primary ? 90 : 55));
        inset.setColorAt(1, WithAlpha(QColor(0, 0, 0), 0));
        p.setBrush(inset);
        p.drawRect(shape);
    } else {
        // A hairline of light just inside the top edge.
        p.setBrush(WithAlpha(QColor(255, 255, 255), primary ? 70 : 230));
        p.drawRect(QRectF(shape.left() + 2, shape.top() + 0.5, shape.width() - 4, 1));
    }
    p.restore();

    if (!rq.label.isEmpty()) {
        QRectF labelArea = raised;
        if (rq.pressed)
            labelArea.translate(1, 1);  // the label follows the face down
        DrawLabel(p, labelArea, rq.label, ink, textShadow);
    }
    return image;
}

QImage DrawTitleGlyph(GlyphKind kind, bool pressed, QSize bitmapSize, QSize faceSize, int scale) {
    using namespace palette;
    QImage image = Blank(bitmapSize, kSlate, scale);
    const QSize face = faceSize.boundedTo(bitmapSize);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box(0.5, 0.5, face.width() - 1.0, face.height() - 1.0);
    if (pressed) {
        p.setPen(Qt::NoPen);
        p.setBrush(kind == GlyphKind::Close ? kDanger : kSlateLine);
        p.drawRoundedRect(box, 3, 3);
    }
    const QColor ink = pressed ? QColor(Qt::white) : QColor(0xc8, 0xd2, 0xe3);
    const QPointF c = box.center();
    p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap));
    if (kind == GlyphKind::Close) {
        constexpr qreal h = 3.5;
        p.drawLine(QPointF(c.x() - h, c.y() - h), QPointF(c.x() + h, c.y() + h));
        p.drawLine(QPointF(c.x() - h, c.y() + h), QPointF(c.x() + h, c.y() - h));
    } else {
        p.drawLine(QPointF(c.x() - 4, c.y() + 3), QPointF(c.x() + 4, c.y() + 3));
    }
    return image;
}

QImage DrawHeaderStrip(QSize size, bool pressed, int scale) {
    using namespace palette;
    QImage image = Blank(size, kHeaderBottom, scale);
    QPainter p(&image);
    QLinearGradient g(0, 0, 0, size.height() - 1);
    g.setColorAt(0, pressed ? kHeaderBottom : kHeaderTop);
    g.setColorAt(1, pressed ? kHeaderBottom.darker(108) : kHeaderBottom);
    p.fillRect(QRect(0, 0, size.width(), size.height() - 1), g);
    p.fillRect(QRect(0, size.height() - 1, size.width(), 1), kHeaderLine);
    return image;
}

QImage DrawHeaderSeparator(QSize size, bool pressed, int scale) {
    using namespace palette;
    // The strip in every column, so the separator blends into it, with a
    // short engraved line where the column boundary falls (two pixels in,
    // because the separator is placed two pixels left of the column start).
    QImage image = DrawHeaderStrip(QSize(1, size.height()), pressed, scale).scaled(size * scale);
    image.setDevicePixelRatio(scale);
    QPainter p(&image);
    const int top = 3;
    const int bottom = size.height() - 4;
    p.fillRect(QRect(1, top, 1, bottom - top), kHeaderLine);
    p.fillRect(QRect(2, top, 1, bottom - top), QColor(255, 255, 255));
    return image;
}

QImage DrawScrollPart(ScrollPart part, bool vertical, bool enabled, QSize size, int scale) {
    using namespace palette;
    const QColor track = enabled ? kTrack : kTrackOff;
    QImage image = Blank(size, track, scale);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // Draw in a frame where the bar runs downward (vertical); a horizontal part
    // is the same drawing transposed, so both bars look alike.
    const int along = vertical ? size.height() : size.width();
    const int across = vertical ? size.width() : size.height();
    if (!vertical)
        p.setTransform(QTransform(0, 1, 1, 0, 0, 0));

    // Edges of the track, on both long sides of the visible 14 pixels.
    p.setPen(Qt::NoPen);
    p.fillRect(QRectF(0, 0, 1, along), kTrackEdge);
    p.fillRect(QRectF(kBar - 1, 0, across - (kBar - 1), along), kTrackEdge);

    const QColor glyph = enabled ? kArrowGlyph : kArrowGlyphOff;
    const qreal cx = kBar / 2.0;
    switch (part) {
        case ScrollPart::Track:
        case ScrollPart::Corner:
            break;
        case ScrollPart::BackArrow:
        case ScrollPart::ForwardArrow: {
            const bool back = part == ScrollPart::BackArrow;
            const qreal cy = along / 2.0;
            const qreal tip = back ? cy - 2.5 : cy + 2.5;
            const qreal base = back ? cy + 1.5 : cy - 1.5;
            QPainterPath tri;
            tri.moveTo(cx, tip);
            tri.lineTo(cx + 4, base);
            tri.lineTo(cx - 4, base);
            tri.closeSubpath();
            p.setBrush(glyph);
            p.drawPath(tri);
            break;
        }
        case ScrollPart::Thumb: {
            const QRectF pill(3.5, 1.5, kBar - 7.0, along - 3.0);
            p.setBrush(enabled ? kThumb : kTrackEdge);
            p.setPen(QPen(enabled ? kThumbEdge : kArrowGlyphOff, 1));
            p.drawRoundedRect(pill, 3.5, 3.5);
            if (enabled) {
                p.setPen(QPen(QColor(0xd6, 0xdc, 0xe6), 1));
                for (int k = -1; k <= 1; ++k) {
                    const qreal y = along / 2.0 + 3 * k + 0.5;
                    p.drawLine(QPointF(cx - 1.5, y), QPointF(cx + 1.5, y));
                }
            }
            break;
        }
    }
    return image;
}

QImage DrawAppIcon(int s) {
    using namespace palette;
    QImage image(s, s, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal u = s / 16.0;  // design grid: 16 units across

    // Tile: rounded square in slate, lit from the top.
    const QRectF tile(0.5 * u, 0.5 * u, 15 * u, 15 * u);
    QLinearGradient g(tile.topLeft(), tile.bottomLeft());
    g.setColorAt(0, kSlateRaised.lighter(115));
    g.setColorAt(1, kSlateDeep);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(tile, 3.2 * u, 3.2 * u);

    // The recorder: a flat box with two status lights.
    const QRectF box(3 * u, 9 * u, 10 * u, 4 * u);
    p.setBrush(QColor(0xe9, 0xee, 0xf5));
    p.drawRoundedRect(box, 0.9 * u, 0.9 * u);
    p.setBrush(kAccent);
    const qreal led = std::max<qreal>(1.0, 1.1 * u);
    p.drawEllipse(QPointF(10 * u, 11 * u), led / 2 * 1.2, led / 2 * 1.2);
    if (s >= 24) {
        p.setBrush(QColor(0x5c, 0xd6, 0x8a));
        p.drawEllipse(QPointF(11.7 * u, 11 * u), led / 2 * 1.2, led / 2 * 1.2);
        p.setBrush(QColor(0xa9, 0xb6, 0xc9));
        p.drawRect(QRectF(4.2 * u, 10.7 * u, 4 * u, 0.6 * u));
    }

    // Search waves rising from the box.
    p.setBrush(Qt::NoBrush);
    const QPointF origin(8 * u, 8.2 * u);
    // Small sizes keep fewer, wider-spaced waves so they stay apart.
    const int waves = s >= 32 ? 3 : (s >= 24 ? 2 : 1);
    for (int k = 0; k < waves; ++k) {
        const qreal r = waves == 1 ? 4.5 * u : (2.0 + 2.0 * k) * u;
        const qreal pen = waves == 1 ? 1.6 : std::max<qreal>(1.2, 0.95 * u);
        p.setPen(
            QPen(k == 0 && waves > 1 ? kAccentLight : kAccent, pen, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(origin.x() - r, origin.y() - r, 2 * r, 2 * r), 40 * 16, 100 * 16);
    }
    return image;
}

}  // namespace res::gen
