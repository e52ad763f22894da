#pragma once

#include <QImage>
#include <QPointF>
#include <QRect>
#include <QRectF>

class QPainter;

// A bitmap of the skin at the screen's density. The bitmap set carries every
// bitmap at its own size and again drawn at twice that size; a control
// paints the doubled one where a design pixel covers more than one device
// pixel, so its labels and edges stay sharp. Every size and rectangle the
// controls work with stays in design pixels (the 1x bitmap's): the doubled
// image has a device pixel ratio of 2, so it covers the same rectangle.

namespace skin {

class SkinBitmap {
public:
    SkinBitmap() = default;
    // A bitmap with only its design-size image (tests, a set without the
    // doubled image): painted stretched on a denser screen. Implicit, so a
    // plain image goes wherever a skin bitmap is painted.
    SkinBitmap(QImage normal);
    // `doubled` is kept only when it is exactly twice the size of `normal`.
    SkinBitmap(QImage normal, QImage doubled);

    // Bitmap resource `id` through the dialog layer's lookup, with its
    // doubled image where the compiled-in set carries one of exactly twice
    // the size (and the bitmap found is the compiled-in one).
    static SkinBitmap Load(unsigned id);
    // The same for a control that asks for its bitmap on every paint (the
    // scroll bars, the list header): a compiled-in bitmap is decoded once
    // and shared for the rest of the program; a registered one is taken as
    // it is now.
    static SkinBitmap LoadShared(unsigned id);

    bool isNull() const { return normal_.isNull(); }
    // The size in design pixels.
    QSize size() const { return normal_.size(); }
    int width() const { return normal_.width(); }
    int height() const { return normal_.height(); }
    const QImage& normal() const { return normal_; }
    const QImage& doubled() const { return doubled_; }
    bool hasDoubled() const { return !doubled_.isNull(); }

    // The image for a device of `scale` device pixels per design pixel: the
    // doubled one above 1 when there is one, else the design-size one.
    const QImage& ForScale(qreal scale) const;

private:
    QImage normal_;
    QImage doubled_;
};

// Device pixels per design pixel of what `painter` draws on.
qreal PaintScale(const QPainter& painter);

// Draws the part `source` (in design pixels) of `bitmap` into `target` (in
// the painter's coordinates), from the image that suits the painter's
// device. A part drawn at the same size is copied pixel for pixel; a
// stretched one is too, except where the image's density and the device's
// differ (150 %), where it is filtered so the doubled image shrinks evenly.
void DrawBitmap(QPainter& painter, const QRectF& target, const SkinBitmap& bitmap,
                const QRectF& source);
// The part `source` copied 1:1 with its top-left corner at `at`.
void DrawBitmap(QPainter& painter, const QPointF& at, const SkinBitmap& bitmap,
                const QRectF& source);
// The whole bitmap copied 1:1 at `at`.
void DrawBitmap(QPainter& painter, const QPointF& at, const SkinBitmap& bitmap);

}  // namespace skin
