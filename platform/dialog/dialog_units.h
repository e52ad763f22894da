#pragma once

// Dialog units and the fonts of dialog templates.
//
// A dialog unit is a quarter of the template font's average character width
// horizontally and an eighth of its height vertically, as the Windows dialog
// manager computes them:
//   cx = (w / 26 + 1) / 2, w = width of the 52 letters A-Z a-z together;
//   cy = the font's text height as GDI reports it for a TrueType font: the
//        hinted height from the font's VDMX table when it has one, else
//        the ascent and the descent (OS/2 win metrics) each rounded up; for
//        a stand-in without VDMX whose Windows original has one, the
//        original's height (Arial at 8 points: 14);
//   x px = MulDiv(x, cx, 4), y px = MulDiv(y, cy, 8).
// The template font's point size becomes a pixel size at 96 dpi:
// MulDiv(points, 96, 72).

#include <QFont>
#include <QRect>
#include <QString>

namespace ostrel::dialog {

struct DialogBaseUnits {
    int cx = 0;
    int cy = 0;
    bool operator==(const DialogBaseUnits&) const = default;
};

}  // namespace ostrel::dialog

// a * b / c rounded to the nearest integer, halves away from zero, computed
// without overflow; -1 when c is 0 (as the platform's MulDiv).
int MulDiv(int a, int b, int c);

namespace ostrel::dialog {

// Makes the stand-in fonts visible to Qt: registers Wine's Tahoma from
// /usr/share/wine/fonts (not on fontconfig's path) and maps "Arial" to
// Liberation Sans, falling back to DejaVu Sans for either when the files are
// missing. Cheap after the first call; every dialog runs it.
void EnsureDialogFonts();

// The family Qt really uses for `face` (after substitution), for reports.
QString ResolvedFontFamily(const QString& face);

// The font of a template with face `face` and size `pointSize`.
QFont DialogTemplateFont(const QString& face, int pointSize);

}  // namespace ostrel::dialog

// A font made the way CreateFont makes one: a negative height is the
// character (em) height in pixels, a positive one the cell height
// (ascent + descent), 0 the default 12 pixels. Weights below 550 are the
// regular face, others bold (the faces the stand-ins have).
QFont LogicalFont(const QString& face, int height, int weight = 400, bool italic = false);

namespace ostrel::dialog {

// The GDI cell height (ceil(ascent) + ceil(descent)) of `font`.
int GdiCellHeight(const QFont& font);

// The base units of `font` and of a template's face and size.
DialogBaseUnits MeasureDialogBaseUnits(const QFont& font);
DialogBaseUnits DialogBaseUnitsFor(const QString& face, int pointSize);

// A rectangle (x, y, width, height) in dialog units to pixels, each of the
// four converted on its own as the dialog manager places controls.
QRect MapDialogRect(const QRect& dialogUnits, const DialogBaseUnits& units);
int DluToPixelsX(int x, const DialogBaseUnits& units);
int DluToPixelsY(int y, const DialogBaseUnits& units);

}  // namespace ostrel::dialog
