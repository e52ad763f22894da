#pragma once

// Drawing helpers with the platform's semantics: 3-D edges, the dotted focus
// rectangle and text placed by DT_* flags. Rectangles are QRects (right and
// bottom inclusive in Qt's sense); `rect.adjusted` does what InflateRect does.

#include <QRect>
#include <QString>

#include "win_types.h"

class QPainter;

// DrawEdge with EDGE_RAISED / EDGE_SUNKEN (or the BDR_* parts) on the sides
// named by `flags` (BF_RECT for all four).
void DrawEdge(QPainter& painter, const QRect& rect, UINT edge, UINT flags);

// The dotted focus rectangle.
void DrawFocusRect(QPainter& painter, const QRect& rect);

// Draws `text` into `rect` as DrawText does for the flags DT_LEFT / DT_CENTER
// / DT_RIGHT, DT_VCENTER / DT_BOTTOM, DT_SINGLELINE, DT_WORDBREAK,
// DT_NOPREFIX (otherwise "&x" underlines x and "&&" is one "&") and
// DT_END_ELLIPSIS, with the painter's current font and pen.
void DrawText(QPainter& painter, const QString& text, const QRect& rect, UINT format);

namespace ostrel::dialog {

// The text with mnemonic markers removed ("&&" -> "&", "&x" -> "x").
QString StripMnemonic(const QString& text);

}  // namespace ostrel::dialog
