#pragma once

// System colours as the classic Windows scheme has them: fixed RGB values,
// so every look is the same on every desktop.

#include <QColor>

#include "win_types.h"

inline constexpr int COLOR_SCROLLBAR = 0;
inline constexpr int COLOR_BACKGROUND = 1;
inline constexpr int COLOR_WINDOW = 5;
inline constexpr int COLOR_WINDOWFRAME = 6;
inline constexpr int COLOR_WINDOWTEXT = 8;
inline constexpr int COLOR_HIGHLIGHT = 13;
inline constexpr int COLOR_HIGHLIGHTTEXT = 14;
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int COLOR_BTNSHADOW = 16;
inline constexpr int COLOR_GRAYTEXT = 17;
inline constexpr int COLOR_BTNTEXT = 18;
inline constexpr int COLOR_BTNHIGHLIGHT = 20;
inline constexpr int COLOR_3DDKSHADOW = 21;
inline constexpr int COLOR_3DLIGHT = 22;
inline constexpr int COLOR_INFOTEXT = 23;
inline constexpr int COLOR_INFOBK = 24;

// The colour of system colour `index` (black for an unknown index).
COLORREF GetSysColor(int index);

namespace ostrel::dialog {

// COLORREF <-> QColor.
QColor toQColor(COLORREF color);
COLORREF fromQColor(const QColor& color);
inline QColor sysColor(int index) {
    return toQColor(GetSysColor(index));
}

}  // namespace ostrel::dialog
