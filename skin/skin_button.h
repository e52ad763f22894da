#pragma once

// CxSkinButton: the owner-drawn bitmap button of every dialog. Its face is
// a bitmap chosen by state (normal, pressed, hover, focused, disabled); it
// takes check-box or radio-button behaviour from the style of the button
// it is attached to ((style & 3) == 3 check box, else (style & 9) == 9
// radio button, else push button). A dialog binds one to each button
// (DDX_Control or BindControl) and calls LoadSkinBitmaps in OnInitDialog.

#include <QImage>
#include <QRegion>

#include "platform/dialog/button.h"

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
    void PaintSkinBitmap(QPainter& painter, const QImage& bitmap, const QRect& rect,
                         short drawMode) const;
    static void TileSkinBitmap(QPainter& painter, const QImage& bitmap, const QRect& rect);

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
    void focusOutEvent(QFocusEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    void releaseBitmaps();
    bool pointOverButton(const QPoint& localPos) const;

    bool checkState = false;
    int buttonKind = KindPush;
    bool hovering = false;
    bool capturedPress = false;
    QImage normalBitmap;
    QImage downBitmap;
    QImage disabledBitmap;
    QImage maskBitmap;
    QImage overBitmap;
    QImage focusBitmap;
    short focusMargin = 0;
    COLORREF textColor;
    QRegion maskRegion;
    bool maskRegionApplied = false;
    int drawBorder = 0;
    short drawMode = DrawModeStretch;
    QPoint lastMousePos;
};
