#pragma once

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>

// Drawing of the small bitmaps: button faces, title-bar glyphs, list header
// parts, scroll-bar parts and the application icon. Every function returns
// an RGB32 image of exactly the requested size times `scale`: sizes and
// coordinates are the design's pixels, and at scale 2 the same drawing is
// made on twice as many pixels (the image's device pixel ratio is `scale`),
// so labels and edges are drawn sharp rather than enlarged.

namespace res::gen {

enum class FaceTone {
    Primary,    // accent fill, white label: the main action of an area
    Secondary,  // light face, dark label
};

struct FaceRequest {
    QSize bitmapSize;  // the resource's size
    QSize faceSize;    // the part the button really shows (clipped to bitmapSize)
    QString label;     // empty for a blank face
    FaceTone tone = FaceTone::Secondary;
    bool pressed = false;
    QColor backdrop;  // what surrounds the button where it sits
    int scale = 1;    // device pixels per design pixel
};

QImage DrawButtonFace(const FaceRequest& request);

enum class GlyphKind { Close, Minimize };
// A 16 x 16 title-bar glyph on the title band; `faceSize` is the visible part.
QImage DrawTitleGlyph(GlyphKind kind, bool pressed, QSize bitmapSize, QSize faceSize,
                      int scale = 1);

// Column header strip and separator.
QImage DrawHeaderStrip(QSize size, bool pressed, int scale = 1);
QImage DrawHeaderSeparator(QSize size, bool pressed, int scale = 1);

enum class ScrollPart { BackArrow, ForwardArrow, Track, Thumb, Corner };
// `vertical` chooses the orientation (up/down vs left/right); the visible
// thickness of every part is 14 pixels.
QImage DrawScrollPart(ScrollPart part, bool vertical, bool enabled, QSize size, int scale = 1);

// The application icon at `pixels` x `pixels`, with alpha.
QImage DrawAppIcon(int pixels);

// The label font of the skin: Liberation Sans (Arial's metric twin).
QString SkinFontFamily();

}  // namespace res::gen
