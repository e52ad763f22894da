#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>

// An off-screen drawing surface for one rectangle of a target painter. Draw
// on the CMemDC itself (it is a painter on its own bitmap); when it goes out
// of scope the bitmap is copied onto the target at the same coordinates.
// The surface uses the target's coordinates without an origin shift, so it
// is meant for rectangles whose top-left corner is (0, 0). It has the
// target's density: on a screen of two device pixels per design pixel it
// has twice as many pixels each way, and its coordinates stay design pixels.
class CMemDC : public QPainter {
public:
    CMemDC(QPainter* target, const QRect& rect);
    ~CMemDC();

    CMemDC(const CMemDC&) = delete;
    CMemDC& operator=(const CMemDC&) = delete;

    const QImage& surface() const { return bitmap; }

private:
    QImage bitmap;
    QPainter* targetDC;
    QRect rect;
};
