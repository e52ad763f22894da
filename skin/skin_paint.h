#pragma once

#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>
#include <vector>

#include "skin_bitmap.h"

class QPainter;

// Painting of the list's skinned parts (scroll bars and column header) from
// their bitmaps. The functions only draw; the controls decide what. Every
// size and position is in design pixels; each bitmap is painted from the
// image that suits the painter's device (see skin_bitmap.h).

namespace skin {

// The four parts of one bar; a missing part (null image) is left out.
struct BarBitmaps {
    SkinBitmap track;
    SkinBitmap back;     // up / left arrow
    SkinBitmap forward;  // down / right arrow
    SkinBitmap thumb;    // null for the disabled set
};

// Loads the enabled or the disabled set of a bar from the bitmap resources.
BarBitmaps VerticalBarBitmaps(bool enabled);
BarBitmaps HorizontalBarBitmaps(bool enabled);

// A bar of the given client size. `enabled` is "the list can scroll this
// way"; the disabled set has no thumb.
void PaintVerticalBar(QPainter& p, const QSize& client, bool enabled, int thumbTop,
                      const BarBitmaps& bitmaps);
void PaintHorizontalBar(QPainter& p, const QSize& client, bool enabled, int thumbLeft,
                        const BarBitmaps& bitmaps);

// One column of the header, as the header control reports it.
struct HeaderItemPaint {
    QRect rect;
    QString text;
};

// The header's caption font: a cell height of 14 pixels.
QFont HeaderCaptionFont();

// The header of the given client size: the strip under everything, and for
// each item its background again, the separator before every item but the
// first, and the caption centred at the top.
void PaintHeader(QPainter& p, const QSize& client, const SkinBitmap& strip,
                 const SkinBitmap& separator, const std::vector<HeaderItemPaint>& items);

}  // namespace skin
