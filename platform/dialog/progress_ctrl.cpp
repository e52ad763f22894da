#include "progress_ctrl.h"

#include <QPainter>

#include "gdi.h"
#include "sys_colors.h"

using namespace ostrel::dialog;

CProgressCtrl::CProgressCtrl(QWidget* parent) : QWidget(parent), CWnd(this) {
    SetStyleWord(WS_CHILD | WS_VISIBLE | WS_BORDER);
    setFocusPolicy(Qt::NoFocus);
}

CProgressCtrl::~CProgressCtrl() = default;

bool CProgressCtrl::AcceptsClass(ControlClass controlClass) const {
    return controlClass == ControlClass::Progress;
}

void CProgressCtrl::SetRange(int lower, int upper) {
    lower_ = lower;
    upper_ = upper;
    pos_ = std::clamp(pos_, std::min(lower_, upper_), std::max(lower_, upper_));
    update();
}

void CProgressCtrl::GetRange(int& lower, int& upper) const {
    lower = lower_;
    upper = upper_;
}

int CProgressCtrl::SetPos(int pos) {
    const int previous = pos_;
    pos_ = std::clamp(pos, std::min(lower_, upper_), std::max(lower_, upper_));
    if (pos_ != previous)
        update();
    return previous;
}

int CProgressCtrl::GetPos() const {
    return pos_;
}

int CProgressCtrl::OffsetPos(int delta) {
    return SetPos(pos_ + delta);
}

int CProgressCtrl::SetStep(int step) {
    const int previous = step_;
    step_ = step;
    return previous;
}

int CProgressCtrl::StepIt() {
    const int previous = pos_;
    long long next = static_cast<long long>(pos_) + step_;
    const long long span = static_cast<long long>(upper_) - lower_;
    // Past either end the bar starts over from the other, as the platform's.
    if (span <= 0) {
        next = lower_;
    } else if (next > upper_) {
        next = lower_ + (next - upper_) % span;
    } else if (next < lower_) {
        next = upper_ - (lower_ - next) % span;
    }
    pos_ = static_cast<int>(next);
    update();
    return previous;
}

LRESULT CProgressCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case PBM_SETRANGE: {
            const LRESULT previous = MAKELPARAM(lower_, upper_);
            const auto v = static_cast<std::uintptr_t>(lParam);
            SetRange(static_cast<std::int16_t>(LOWORD(v)), static_cast<std::int16_t>(HIWORD(v)));
            return previous;
        }
        case PBM_SETRANGE32: {
            const LRESULT previous = MAKELPARAM(lower_, upper_);
            SetRange(static_cast<int>(wParam), static_cast<int>(lParam));
            return previous;
        }
        case PBM_GETRANGE:
            return wParam ? lower_ : upper_;
        case PBM_SETPOS:
            return SetPos(static_cast<int>(wParam));
        case PBM_GETPOS:
            return GetPos();
        case PBM_DELTAPOS:
            return OffsetPos(static_cast<int>(wParam));
        case PBM_SETSTEP:
            return SetStep(static_cast<int>(wParam));
        case PBM_STEPIT:
            return StepIt();
        default:
            return CWnd::WindowProc(message, wParam, lParam);
    }
}

bool CProgressCtrl::event(QEvent* event) {
    if (dispatchPostedMessage(event))
        return true;
    return QWidget::event(event);
}

void CProgressCtrl::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    QRect r = rect();
    painter.fillRect(r, sysColor(COLOR_BTNFACE));
    if (GetStyle() & WS_BORDER) {
        DrawEdge(painter, r, BDR_SUNKENOUTER, BF_RECT);
        r.adjust(1, 1, -1, -1);
    }
    if (upper_ <= lower_)
        return;
    const int filled =
        static_cast<int>(static_cast<long long>(pos_ - lower_) * r.width() / (upper_ - lower_));
    if (GetStyle() & PBS_SMOOTH) {
        painter.fillRect(QRect(r.left(), r.top(), filled, r.height()), sysColor(COLOR_HIGHLIGHT));
        return;
    }
    // Blocks two thirds of the bar's height wide with a gap of two pixels.
    const int block = std::max(2, r.height() * 2 / 3);
    for (int x = 0; x < filled; x += block + 2) {
        painter.fillRect(QRect(r.left() + x, r.top(), std::min(block, filled - x), r.height()),
                         sysColor(COLOR_HIGHLIGHT));
    }
}
