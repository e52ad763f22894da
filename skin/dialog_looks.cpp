#include "dialog_looks.h"

#include <QPainter>

#include "platform/dialog/dialog.h"
#include "platform/dialog/message_map.h"

namespace skin {

SkinBackground::SkinBackground(int templateId)
    : bitmapId(0), when(BackgroundLoad::InInitDialog), how(BackgroundPaint::Stretched) {
    if (const DialogLook* look = FindDialogLook(templateId)) {
        bitmapId = look->backgroundId;
        when = look->load;
        how = look->paint;
    }
    if (when == BackgroundLoad::AtConstruction)
        load();
}

SkinBackground::SkinBackground(unsigned id, BackgroundLoad loadAt, BackgroundPaint paint)
    : bitmapId(id), when(loadAt), how(paint) {
    if (when == BackgroundLoad::AtConstruction)
        load();
}

void SkinBackground::OnInitDialog() {
    if (when == BackgroundLoad::InInitDialog)
        load();
}

void SkinBackground::load() {
    // One attempt only: a missing bitmap is not looked up again on every
    // repaint, the dialog just keeps its default background.
    if (attempts > 0 || bitmapId == 0)
        return;
    ++attempts;
    bitmap = SkinBitmap::Load(bitmapId);
}

BOOL SkinBackground::OnEraseBkgnd(CDialog& dialog, QPainter& painter) {
    const QRect client = dialog.GetClientRect();
    if (how == BackgroundPaint::OneToOne) {
        if (bitmap.isNull())
            return dialog.CDialog::OnEraseBkgnd(painter);
        DrawBitmap(painter, QPoint(0, 0), bitmap);
        return TRUE;
    }
    dialog.CDialog::OnEraseBkgnd(painter);
    if (when == BackgroundLoad::OnFirstErase)
        load();
    if (!bitmap.isNull()) {
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        DrawBitmap(painter, client, bitmap, QRect(QPoint(0, 0), bitmap.size()));
        painter.restore();
    }
    return TRUE;
}

void StaticTextColors(CtlColor& color, COLORREF textColor) {
    if (color.ctlType != CTLCOLOR_STATIC)
        return;
    color.SetBkMode(TRANSPARENT);
    color.SetTextColor(textColor);
    color.brush = CtlColor::Brush::Null;
}

void DialogCtlColor(CtlColor& color, int templateId) {
    if (const DialogLook* look = FindDialogLook(templateId))
        StaticTextColors(color, look->staticTextColor);
}

UINT CaptionHitTest(UINT defaultHit) {
    return defaultHit == HTCLIENT ? HTCAPTION : defaultHit;
}

void MoveWindowByPress(CDialog& dialog, UINT flags, QPoint clientPos) {
    dialog.CDialog::OnLButtonDown(flags, clientPos);
    const QPoint screen = dialog.ClientToScreen(clientPos);
    dialog.PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(screen.x(), screen.y()));
}

void PaintMainWindow(CDialog& dialog, QPainter& painter, const QIcon& icon) {
    if (!dialog.isMinimized()) {
        dialog.CDialog::OnPaint(painter);
        return;
    }
    dialog.SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(&painter), 0);
    const int cxIcon = GetSystemMetrics(SM_CXICON);
    const int cyIcon = GetSystemMetrics(SM_CYICON);
    const QRect client = dialog.GetClientRect();
    const int x = (client.width() - cxIcon + 1) / 2;
    const int y = (client.height() - cyIcon + 1) / 2;
    icon.paint(&painter, QRect(x, y, cxIcon, cyIcon));
}

}  // namespace skin
