#pragma once

// CxSkinButton: the owner-drawn bitmap button of every dialog. Its face is
// a bitmap chosen by state (normal, pressed, hover, focused, disabled); it
// takes check-box or radio-button behaviour from the style of the button
// it is attached to ((style & 3) == 3 check box, else (style & 9) == 9
// radio button, else push button). A dialog binds one to each button
// (DDX_Control or BindControl) and calls LoadSkinBitmaps in OnInitDialog.
//
// On a screen denser than one device pixel per design pixel the faces are
// painted from their doubled images; sizes and hit testing stay in design
// pixels. While the user moves through the dialog with the keyboard, the
// focused button carries a dotted focus mark inside its face; focus that
// came from a mouse press shows none.

#include <QImage>
#include <QRegion>

#include "platform/dialog/button.h"
#include "skin/skin_bitmap.h"

class CxSkinButton : public CButton {
    Q_OBJECT

public:
    static constexpr int KindPush = 0;
    static constexpr int KindCheck = 2;
    static constexpr int KindRadio = 4;
    static constexpr short DrawModeNormal = 0;
    static constexpr short DrawModeStretch = 1;
    static constexpr short DrawModeTile = 2;

    explicit CxSkinButton(QWidget* parent = nullptr);
    ~CxSkinButton() override;

    // Bitmap resource ids (0 = none) and the draw options; see the .cpp for
    // the rules (disabled falls back to normal, draw mode clamped to 0..2,
    // negative margin stored as 0, a mask shapes the window).
    void LoadSkinBitmaps(unsigned normal, unsigned down, unsigned over, unsigned disabled,
                         unsigned focus = 0, unsigned mask = 0, short drawMode = 0,
                         short border = 0, short focusMargin = 0);

    // The rectangles of the runs of non-key pixels, one pixel high, united.
    // An empty region for a null image.
    static QRegion RegionFromMask(const QImage& mask, QRgb keyColor = qRgb(255, 255, 255));

    // Paints `bitmap` into `rect` in `drawMode`, composed through the mask
    // bitmap when one is loaded.
    void PaintSkinBitmap(QPainter& painter, const skin::SkinBitmap& bitmap, const QRect& rect,
                         short drawMode) const;
    static void TileSkinBitmap(QPainter& painter, const skin::SkinBitmap& bitmap,
                               const QRect& rect);

    // How far inside the face the keyboard focus mark runs (the bottom edge
    // leaves one more pixel for the face's shadow); a face under 20 pixels
    // high has it one pixel inside its edge.
    static constexpr int kFocusMarkInset = 3;
    // The focus mark is shown: the button has the focus and the user reached
    // it, or used it, with the keyboard.
    bool focusMarkShown() const { return hasFocus() && keyboardCue; }

    void DrawItem(DRAWITEMSTRUCT* drawItem) override;
    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // State, for tests and the look code.
    int buttonKindValue() const { return buttonKind; }
    bool checked() const { return checkState; }
    bool isHovering() const { return hovering; }
    bool isCapturedPress() const { return capturedPress; }
    short drawModeValue() const { return drawMode; }
    short focusMarginValue() const { return focusMargin; }
    int drawBorderValue() const { return drawBorder; }
    bool hasBitmap(int which) const;  // 0 normal 1 down 2 disabled 3 mask 4 over 5 focus
    COLORREF TextColor() const { return textColor; }
    void SetTextColor(COLORREF color);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    void releaseBitmaps();
    bool pointOverButton(const QPoint& localPos) const;
    void drawFocusMark(QPainter& painter, const QRect& rect, const skin::SkinBitmap& face) const;

    bool checkState = false;
    int buttonKind = KindPush;
    bool hovering = false;
    bool capturedPress = false;
    skin::SkinBitmap normalBitmap;
    skin::SkinBitmap downBitmap;
    skin::SkinBitmap disabledBitmap;
    skin::SkinBitmap maskBitmap;
    skin::SkinBitmap overBitmap;
    skin::SkinBitmap focusBitmap;
    short focusMargin = 0;
    COLORREF textColor;
    QRegion maskRegion;
    bool maskRegionApplied = false;
    int drawBorder = 0;
    short drawMode = DrawModeStretch;
    QPoint lastMousePos;
    bool keyboardCue = false;  // the focus came, or was used, by keyboard
};
