#include "skin_progress.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "mem_dc.h"
#include "platform/dialog/sys_colors.h"

using namespace ostrel::dialog;

int ProgressFillRight(int lower, int upper, int pos, int left, int right) {
    // lower == upper would divide zero by zero; such a bar shows no fill.
    if (upper == lower || right <= left)
        return left;
    const double fill = (static_cast<double>(pos) - lower) * (static_cast<double>(right) - left) /
                        (static_cast<double>(upper) - lower);
    if (!std::isfinite(fill))
        return left;
    // The fill is measured from the client rectangle's origin, which is 0.
    const double clamped = std::clamp(fill, static_cast<double>(left), static_cast<double>(right));
    return static_cast<int>(clamped);
}

CSkinProgress::CSkinProgress(QWidget* parent) : CProgressCtrl(parent) {}

CSkinProgress::~CSkinProgress() = default;

void CSkinProgress::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect r = GetClientRect();
    CMemDC dc(&painter, r);
    dc.fillRect(r, sysColor(COLOR_BTNFACE));
    int lower = 0;
    int upper = 0;
    GetRange(lower, upper);
    const int fillRight = ProgressFillRight(lower, upper, GetPos(), r.left(), r.left() + r.width());
    if (fillRight > r.left())
        dc.fillRect(QRect(r.left(), r.top(), fillRight - r.left(), r.height()),
                    toQColor(kFillColor));
}
