#pragma once

// The looks the skinned dialogs share: the background bitmap (stretched or
// copied 1:1, loaded once at the moment the dialog's look gives), the colour
// of static texts, and the main window's hit testing, dragging and
// minimised painting. Each dialog calls these from its own handlers:
//
//   constructor      background(templateId)          (loads the 1:1 ones)
//   OnInitDialog     CDialog::OnInitDialog(); ...; background.OnInitDialog();
//   OnEraseBkgnd     return background.OnEraseBkgnd(*this, painter);
//   OnCtlColor       skin::DialogCtlColor(color, templateId);
//   main window only:
//   OnSize           CDialog::OnSize(...); skin::ApplyMainWindowRegion(*this, cx, cy);
//   OnNcHitTest      return skin::CaptionHitTest(CDialog::OnNcHitTest(point));
//   OnLButtonDown    skin::MoveWindowByPress(*this, flags, point);
//   OnPaint          skin::PaintMainWindow(*this, painter, icon);

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QPoint>

#include "platform/dialog/win_types.h"
#include "res/dialog_looks.h"
#include "skin_bitmap.h"

class CDialog;
class QPainter;
struct CtlColor;

namespace skin {

// Which background, colours and load moment each dialog takes is data in
// res/dialog_looks.h; the skin paints from it.
using res::BackgroundLoad;
using res::BackgroundPaint;
using res::DialogLook;
using res::FindDialogLook;

// A dialog's background bitmap. It is loaded exactly once, at the moment the
// look says; one that cannot be loaded leaves the dialog with the
// platform's default background.
class SkinBackground {
public:
    // For the dialog of `templateId` (no bitmap for an unskinned template).
    explicit SkinBackground(int templateId);
    SkinBackground(unsigned bitmapId, BackgroundLoad load, BackgroundPaint paint);

    // Call from the dialog's initialisation, after the platform's own.
    void OnInitDialog();
    // The dialog's WM_ERASEBKGND: stretched bitmaps are painted over the
    // platform's erase onto the whole client area; 1:1 bitmaps at (0, 0)
    // instead of it. Answers TRUE (erased). On a denser screen the bitmap's
    // doubled image covers the same client pixels.
    BOOL OnEraseBkgnd(CDialog& dialog, QPainter& painter);

    bool Loaded() const { return !bitmap.isNull(); }
    int LoadAttempts() const { return attempts; }
    const QImage& Bitmap() const { return bitmap.normal(); }
    const SkinBitmap& Bitmaps() const { return bitmap; }

private:
    void load();

    unsigned bitmapId;
    BackgroundLoad when;
    BackgroundPaint how;
    SkinBitmap bitmap;
    int attempts = 0;
};

// WM_CTLCOLOR of a static text: transparent, in `textColor`, no brush (the
// dialog's background shows through). Other controls keep the platform's
// colours: nothing is changed for them.
void StaticTextColors(CtlColor& color, COLORREF textColor);
// The same with the static-text colour of the dialog of `templateId`.
void DialogCtlColor(CtlColor& color, int templateId);

// Main window: a press on the window's own surface counts as a press on a
// caption, so it moves the window.
UINT CaptionHitTest(UINT defaultHit);
// Main window: a left press that reached the window (on its surface or on
// a static text) starts moving it: default handling, then a caption press
// posted to the window at the press position.
void MoveWindowByPress(CDialog& dialog, UINT flags, QPoint clientPos);
// Main window: the application icon centred when minimised, otherwise the
// platform's painting.
void PaintMainWindow(CDialog& dialog, QPainter& painter, const QIcon& icon);

}  // namespace skin
