#include "gdi.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>

#include "sys_colors.h"

using namespace ostrel::dialog;

namespace {

// One ring of an edge: top-left colour and bottom-right colour.
void drawRing(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight,
              UINT flags) {
    if (r.width() <= 0 || r.height() <= 0)
        return;
    if (flags & BF_TOP)
        p.fillRect(QRect(r.left(), r.top(), r.width(), 1), topLeft);
    if (flags & BF_LEFT)
        p.fillRect(QRect(r.left(), r.top(), 1, r.height()), topLeft);
    if (flags & BF_BOTTOM)
        p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
    if (flags & BF_RIGHT)
        p.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
}

}  // namespace

void DrawEdge(QPainter& painter, const QRect& rect, UINT edge, UINT flags) {
    const QColor light = sysColor(COLOR_3DLIGHT);
    const QColor highlight = sysColor(COLOR_BTNHIGHLIGHT);
    const QColor shadow = sysColor(COLOR_BTNSHADOW);
    const QColor dark = sysColor(COLOR_3DDKSHADOW);
    QRect r = rect;
    if (edge & (BDR_RAISEDOUTER | BDR_SUNKENOUTER)) {
        if (edge & BDR_RAISEDOUTER) {
            drawRing(painter, r, light, dark, flags);
        } else {
            drawRing(painter, r, shadow, highlight, flags);
        }
        r.adjust(flags & BF_LEFT ? 1 : 0, flags & BF_TOP ? 1 : 0, flags & BF_RIGHT ? -1 : 0,
                 flags & BF_BOTTOM ? -1 : 0);
    }
    if (edge & (BDR_RAISEDINNER | BDR_SUNKENINNER)) {
        if (edge & BDR_RAISEDINNER) {
            drawRing(painter, r, highlight, shadow, flags);
        } else {
            drawRing(painter, r, dark, light, flags);
        }
    }
}

void DrawFocusRect(QPainter& painter, const QRect& rect) {
    painter.save();
    QPen pen(sysColor(COLOR_BTNTEXT));
    pen.setStyle(Qt::DotLine);
    pen.setWidth(1);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.restore();
}

QString ostrel::dialog::StripMnemonic(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&')) {
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('&')) {
                out += QLatin1Char('&');
                ++i;
            }
            continue;
        }
        out += text[i];
    }
    return out;
}

void DrawText(QPainter& painter, const QString& text, const QRect& rect, UINT format) {
    int flags = 0;
    if (format & DT_CENTER) {
        flags |= Qt::AlignHCenter;
    } else if (format & DT_RIGHT) {
        flags |= Qt::AlignRight;
    } else {
        flags |= Qt::AlignLeft;
    }
    const bool single = (format & DT_SINGLELINE) != 0;
    if (single && (format & DT_VCENTER)) {
        flags |= Qt::AlignVCenter;
    } else if (single && (format & DT_BOTTOM)) {
        flags |= Qt::AlignBottom;
    } else {
        flags |= Qt::AlignTop;
    }
    if (!single && (format & DT_WORDBREAK))
        flags |= Qt::TextWordWrap;
    QString shown = (format & DT_NOPREFIX) ? text : StripMnemonic(text);
    if (single)
        shown.replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (format & DT_END_ELLIPSIS) {
        const QFontMetrics metrics(painter.font());
        shown = metrics.elidedText(shown, Qt::ElideRight, rect.width());
    }
    painter.drawText(rect, flags, shown);
}
