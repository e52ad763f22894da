#include "skin/skin_button.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "platform/dialog/dialog.h"
#include "platform/dialog/gdi.h"
#include "platform/dialog/sys_colors.h"
#include "res/generator/palette.h"

using namespace ostrel::dialog;

CxSkinButton::CxSkinButton(QWidget* parent)
    : CButton(parent), textColor(GetSysColor(COLOR_BTNTEXT)) {
    setMouseTracking(true);
}

// The mask region, once applied, belongs to the window and goes with it.
CxSkinButton::~CxSkinButton() = default;

void CxSkinButton::releaseBitmaps() {
    normalBitmap = {};
    downBitmap = {};
    disabledBitmap = {};
    maskBitmap = {};
    overBitmap = {};
    focusBitmap = {};
}

bool CxSkinButton::hasBitmap(int which) const {
    switch (which) {
        case 0:
            return !normalBitmap.isNull();
        case 1:
            return !downBitmap.isNull();
        case 2:
            return !disabledBitmap.isNull();
        case 3:
            return !maskBitmap.isNull();
        case 4:
            return !overBitmap.isNull();
        case 5:
            return !focusBitmap.isNull();
        default:
            return false;
    }
}

void CxSkinButton::SetTextColor(COLORREF color) {
    textColor = color;
    update();
}

void CxSkinButton::LoadSkinBitmaps(unsigned normal, unsigned down, unsigned over, unsigned disabled,
                                   unsigned focus, unsigned mask, short mode, short border,
                                   short margin) {
    releaseBitmaps();
    if (normal != 0)
        normalBitmap = skin::SkinBitmap::Load(normal);
    if (down != 0)
        downBitmap = skin::SkinBitmap::Load(down);
    if (over != 0)
        overBitmap = skin::SkinBitmap::Load(over);
    if (focus != 0)
        focusBitmap = skin::SkinBitmap::Load(focus);
    if (disabled != 0) {
        disabledBitmap = skin::SkinBitmap::Load(disabled);
    } else if (normal != 0) {
        disabledBitmap = normalBitmap;
    }
    drawMode = mode >= 2 ? DrawModeTile : (mode < 0 ? DrawModeNormal : mode);
    drawBorder = border;
    focusMargin = margin < 0 ? 0 : margin;
    if (mask != 0) {
        maskBitmap = skin::SkinBitmap::Load(mask);
        // The window owns a region once it has it; the button only remembers
        // the one it handed over.
        maskRegion = QRegion();
        maskRegionApplied = false;
        if (!maskBitmap.isNull()) {
            maskRegion = RegionFromMask(maskBitmap.normal(), qRgb(255, 255, 255));
            SetWindowRgn(maskRegion, TRUE);
            maskRegionApplied = true;
            if (drawMode == DrawModeNormal)
                resize(maskBitmap.width(), maskBitmap.height());
        }
    }
    update();
}

QRegion CxSkinButton::RegionFromMask(const QImage& mask, QRgb keyColor) {
    if (mask.isNull())
        return {};
    const QImage image = mask.convertToFormat(QImage::Format_RGB32);
    const QRgb key = keyColor & 0xFFFFFF;
    std::vector<QRect> runs;
    runs.reserve(40);
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        int x = 0;
        while (x < image.width()) {
            while (x < image.width() && (line[x] & 0xFFFFFF) == key)
                ++x;
            const int start = x;
            while (x < image.width() && (line[x] & 0xFFFFFF) != key)
                ++x;
            if (x > start) {
                if (runs.size() == runs.capacity())
                    runs.reserve(runs.capacity() + 40);
                runs.emplace_back(start, y, x - start, 1);
            }
        }
    }
    QRegion region;
    // One-pixel-high runs in row order are already the banded form a region
    // is made of, so they are set in one step rather than united one by one.
    region.setRects(runs.data(), static_cast<int>(runs.size()));
    return region;
}

void CxSkinButton::TileSkinBitmap(QPainter& painter, const skin::SkinBitmap& bitmap,
                                  const QRect& rect) {
    if (bitmap.isNull())
        return;
    const int w = bitmap.width();
    const int h = bitmap.height();
    for (int y = rect.top(); y <= rect.bottom(); y += h) {
        for (int x = rect.left(); x <= rect.right(); x += w) {
            skin::DrawBitmap(
                painter, QPoint(x, y), bitmap,
                QRect(0, 0, std::min(w, rect.right() - x + 1), std::min(h, rect.bottom() - y + 1)));
        }
    }
}

void CxSkinButton::PaintSkinBitmap(QPainter& painter, const skin::SkinBitmap& bitmap,
                                   const QRect& rect, short mode) const {
    if (bitmap.isNull())
        return;
    if (mode == DrawModeTile) {
        TileSkinBitmap(painter, bitmap, rect);
        return;
    }
    const QRect source(0, 0, bitmap.width(), bitmap.height());
    // 1:1 copies take what the rectangle and the bitmap have in common.
    const QRect oneToOne(0, 0, std::min(bitmap.width(), rect.width()),
                         std::min(bitmap.height(), rect.height()));
    auto blit = [&](const skin::SkinBitmap& image) {
        if (mode == DrawModeStretch) {
            skin::DrawBitmap(painter, rect, image, source);
        } else {
            skin::DrawBitmap(painter, rect.topLeft(), image, oneToOne);
        }
    };
    if (maskBitmap.isNull()) {
        blit(bitmap);
        return;
    }
    // Composed onto what is already under the button: the state bitmap XOR,
    // the mask AND, the state bitmap XOR again. White mask pixels keep the
    // background, black ones show the bitmap.
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    blit(bitmap);
    painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    blit(maskBitmap);
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    blit(bitmap);
    painter.restore();
}

void CxSkinButton::PreSubclassWindow() {
    const DWORD s = GetStyle() & 0xFFFF;
    if ((s & 3) == 3) {
        buttonKind = KindCheck;
    } else if ((s & 9) == 9) {
        buttonKind = KindRadio;
    } else {
        buttonKind = KindPush;
    }
    CButton::PreSubclassWindow();
    ModifyStyle(0, BS_OWNERDRAW);
}

bool CxSkinButton::pointOverButton(const QPoint& localPos) const {
    if (!rect().contains(localPos))
        return false;
    const QRegion region = mask();
    return region.isEmpty() || region.contains(localPos);
}

bool CxSkinButton::hitButton(const QPoint& pos) const {
    return pointOverButton(pos);
}

void CxSkinButton::DrawItem(DRAWITEMSTRUCT* drawItem) {
    QPainter& painter = *drawItem->hDC;
    UINT state = drawItem->itemState;
    // Press tracking: the pressed face follows the cursor while the mouse is
    // held. The state is corrected and the face drawn for the new state.
    if (capturedPress) {
        const bool inside = pointOverButton(lastMousePos);
        if (inside && !isDown()) {
            setDown(true);
            state |= ODS_SELECTED;
        } else if (!inside && isDown()) {
            setDown(false);
            state &= ~ODS_SELECTED;
        }
    }
    const QString caption = text();
    QRect r = drawItem->rcItem;
    QRect t = r.adjusted(focusMargin + 2, 0, -(focusMargin + 2), 0);
    painter.setFont(font());
    const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

    if (state & ODS_DISABLED) {
        if (!disabledBitmap.isNull()) {
            PaintSkinBitmap(painter, disabledBitmap, r, drawMode);
        } else {
            painter.fillRect(r, sysColor(COLOR_BTNFACE));
        }
        if (drawBorder)
            DrawEdge(painter, r, EDGE_RAISED, BF_RECT);
        painter.setPen(sysColor(COLOR_BTNHIGHLIGHT));
        if (checkState)
            t.translate(1, 1);
        DrawText(painter, caption, t, format);
        painter.setPen(sysColor(COLOR_GRAYTEXT));
        t.translate(-1, -1);
        DrawText(painter, caption, t, format);
        return;
    }

    UINT edge = EDGE_RAISED;
    const skin::SkinBitmap* face = nullptr;  // the bitmap the face shows
    if ((state & ODS_SELECTED) || checkState) {
        face = &downBitmap;
        t.translate(1, 1);
        edge = EDGE_SUNKEN;
    } else if (!normalBitmap.isNull()) {
        if (hovering && !overBitmap.isNull()) {
            face = &overBitmap;
        } else if ((state & ODS_FOCUS) && !focusBitmap.isNull()) {
            face = &focusBitmap;
        } else {
            face = &normalBitmap;
        }
    }
    if (face != nullptr && !face->isNull()) {
        PaintSkinBitmap(painter, *face, r, drawMode);
    } else {
        painter.fillRect(r, sysColor(COLOR_BTNFACE));
    }
    if (drawBorder)
        DrawEdge(painter, r, edge, BF_RECT);
    if ((state & ODS_FOCUS) && focusMargin > 0) {
        r.adjust(focusMargin, focusMargin, -focusMargin, -focusMargin);
        DrawFocusRect(painter, r);
    } else if ((state & ODS_FOCUS) && keyboardCue) {
        drawFocusMark(painter, r, face != nullptr ? *face : skin::SkinBitmap());
    }
    painter.setPen(toQColor(textColor));
    DrawText(painter, caption, t, format);
}

void CxSkinButton::drawFocusMark(QPainter& painter, const QRect& rect,
                                 const skin::SkinBitmap& face) const {
    // Dotted, one design pixel on and one off, inside the face's border. Its
    // colour is the skin's: white on a dark (accent) face, the skin's ink on
    // a light one, judged from the face where the mark's left side runs.
    // A face copied 1:1 ends where its bitmap does, inside a larger button.
    QRect area = rect;
    if (drawMode == DrawModeNormal && !face.isNull())
        area = rect.intersected(QRect(rect.topLeft(), face.size()));
    // A face too small for that (a title-bar glyph) takes it at its edge.
    const bool small = area.height() < 20;
    const int inset = small ? 1 : kFocusMarkInset;
    const QRect mark = area.adjusted(inset, inset, -inset, -inset - (small ? 0 : 1));
    if (mark.width() < 2 || mark.height() < 2)
        return;
    const QImage& image = face.normal();
    const QPoint probe(std::min(inset, image.width() - 1), image.height() / 2);
    const bool darkFace = !image.isNull() && qGray(image.pixel(probe)) < 128;
    QPen pen(darkFace ? QColor(Qt::white) : res::palette::kInk, 1);
    pen.setDashPattern({1.0, 1.0});
    pen.setCapStyle(Qt::FlatCap);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(mark).adjusted(0.5, 0.5, -0.5, -0.5));
    painter.restore();
}

void CxSkinButton::mouseMoveEvent(QMouseEvent* event) {
    lastMousePos = event->position().toPoint();
    if (capturedPress) {
        const bool inside = pointOverButton(lastMousePos);
        if (inside != isDown()) {
            setDown(inside);
            update();
        }
    } else if (!hovering) {
        // Qt always reports the leave, so asking for it cannot fail.
        hovering = true;
        update();
    }
    CButton::mouseMoveEvent(event);
}

void CxSkinButton::leaveEvent(QEvent* /*event*/) {
    hovering = false;
    update();
}

void CxSkinButton::mousePressEvent(QMouseEvent* event) {
    lastMousePos = event->position().toPoint();
    if (event->button() != Qt::LeftButton) {
        CButton::mousePressEvent(event);
        return;
    }
    if (hovering)
        hovering = false;
    // The mouse is in use again: the focus mark goes until the keyboard is.
    keyboardCue = false;
    CButton::mousePressEvent(event);
    capturedPress = true;
}

void CxSkinButton::mouseDoubleClickEvent(QMouseEvent* event) {
    // A quick second click is a second press.
    mousePressEvent(event);
}

void CxSkinButton::mouseReleaseEvent(QMouseEvent* event) {
    lastMousePos = event->position().toPoint();
    if (event->button() != Qt::LeftButton) {
        CButton::mouseReleaseEvent(event);
        return;
    }
    if (buttonKind != KindPush && pointOverButton(lastMousePos)) {
        SendMessage(BM_SETCHECK, buttonKind == KindCheck ? !checkState : 1, 0);
    }
    capturedPress = false;
    CButton::mouseReleaseEvent(event);
}

void CxSkinButton::keyPressEvent(QKeyEvent* event) {
    if (!keyboardCue) {
        keyboardCue = true;
        update();
    }
    if (buttonKind != KindPush && event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        SendMessage(BM_SETCHECK, buttonKind == KindCheck ? !checkState : 1, 0);
    }
    CButton::keyPressEvent(event);
}

void CxSkinButton::focusInEvent(QFocusEvent* event) {
    switch (event->reason()) {
        case Qt::TabFocusReason:
        case Qt::BacktabFocusReason:
            // Moved here by the Tab key, which Qt records on the window, and
            // not by a dialog giving its first control the focus on opening.
            keyboardCue = window()->testAttribute(Qt::WA_KeyboardFocusChange);
            break;
        case Qt::ShortcutFocusReason:
            keyboardCue = true;
            break;
        case Qt::ActiveWindowFocusReason:
        case Qt::PopupFocusReason:
            break;  // the focus comes back to where it was, mark and all
        default:
            keyboardCue = false;
            break;
    }
    CButton::focusInEvent(event);
}

void CxSkinButton::focusOutEvent(QFocusEvent* event) {
    if (capturedPress)
        capturedPress = false;
    CButton::focusOutEvent(event);
}

LRESULT CxSkinButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case BM_GETCHECK:
            return checkState ? 1 : 0;
        case BM_SETCHECK: {
            checkState = wParam != 0;
            if (buttonKind == KindPush)
                checkState = false;
            if (buttonKind == KindRadio && checkState) {
                if (CDialog* dialog = GetOwnerDialog()) {
                    // Forward through the group, once round at most (a hidden or
                    // disabled button is not part of the walk and would never be
                    // reached again).
                    std::size_t steps = dialog->Controls().size();
                    for (CWnd* other = dialog->GetNextDlgGroupItem(this);
                         other && other != this && steps > 0;
                         other = dialog->GetNextDlgGroupItem(other), --steps) {
                        other->PostMessage(UM_UNCHECK, 0, 0);
                    }
                }
            }
            update();
            return 0;
        }
        case UM_UNCHECK:
            if (checkState) {
                checkState = false;
                update();
            }
            return 0;
        default:
            return CButton::WindowProc(message, wParam, lParam);
    }
}
