#pragma once

#include <QImage>
#include <QSize>

// The dialog backgrounds. Each is designed on the client area the dialog
// layer really gives its dialog and then fitted into the bitmap's own size,
// so that stretching it back onto the client area at run time undoes the
// fit exactly (and a 1:1 background puts its design in its top-left
// client-sized corner).

namespace res::gen {

// The background bitmap `id` (one of 267-274) at `size`, drawn on `scale`
// device pixels per pixel of `size` (the image's device pixel ratio).
QImage DrawBackground(unsigned id, QSize size, int scale = 1);

// Where button faces sit: the colour around a face, so its rounded corners
// blend into the dialog it is drawn on.
QColor MainWindowButtonBackdrop();
QColor SmallDialogButtonBackdrop();
// The title band's colour, behind the close and minimise glyphs.
QColor TitleBandColor();

}  // namespace res::gen
