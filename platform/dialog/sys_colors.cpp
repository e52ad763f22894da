#include "sys_colors.h"

using namespace ostrel::dialog;

COLORREF GetSysColor(int index) {
    switch (index) {
        case COLOR_SCROLLBAR:
            return RGB(212, 208, 200);
        case COLOR_BACKGROUND:
            return RGB(58, 110, 165);
        case COLOR_WINDOW:
            return RGB(255, 255, 255);
        case COLOR_WINDOWFRAME:
            return RGB(0, 0, 0);
        case COLOR_WINDOWTEXT:
            return RGB(0, 0, 0);
        case COLOR_HIGHLIGHT:
            return RGB(10, 36, 106);
        case COLOR_HIGHLIGHTTEXT:
            return RGB(255, 255, 255);
        case COLOR_BTNFACE:
            return RGB(212, 208, 200);
        case COLOR_BTNSHADOW:
            return RGB(128, 128, 128);
        case COLOR_GRAYTEXT:
            return RGB(128, 128, 128);
        case COLOR_BTNTEXT:
            return RGB(0, 0, 0);
        case COLOR_BTNHIGHLIGHT:
            return RGB(255, 255, 255);
        case COLOR_3DDKSHADOW:
            return RGB(64, 64, 64);
        case COLOR_3DLIGHT:
            return RGB(212, 208, 200);
        case COLOR_INFOTEXT:
            return RGB(0, 0, 0);
        case COLOR_INFOBK:
            return RGB(255, 255, 225);
        default:
            return RGB(0, 0, 0);
    }
}

QColor ostrel::dialog::toQColor(COLORREF color) {
    return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

COLORREF ostrel::dialog::fromQColor(const QColor& color) {
    return RGB(color.red(), color.green(), color.blue());
}
