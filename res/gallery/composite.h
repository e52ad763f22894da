#pragma once

#include <QImage>

// A dialog as its skin designs it, composed straight from its template: the
// background stretched (or copied 1:1) onto the client area the dialog layer
// produces, every skinned button's face at its rectangle, the static texts
// in the dialog's text colour, and plain stand-ins for the other controls.
// It needs no widget, so it shows the skin's layout even where a dialog
// class is not built yet.

namespace res::gallery {

enum class FaceState { Normal, Pressed, Disabled };

QImage ComposeDialog(int templateId, FaceState buttons = FaceState::Normal);

}  // namespace res::gallery
