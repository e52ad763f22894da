#pragma once

// CSkinProgress: a flat two-colour progress bar. The filled part, from the
// left edge, is RGB(4,134,232); the rest is the button face. Range, step and
// position are the platform control's own; only the painting differs.

#include <QRect>

#include "platform/dialog/progress_ctrl.h"

// The right edge of the filled part of a bar whose client rectangle runs
// from `left` to `right`: (pos - lower) × width / (upper - lower),
// truncated. An empty range fills nothing; the fill never leaves the bar.
int ProgressFillRight(int lower, int upper, int pos, int left, int right);

class CSkinProgress : public CProgressCtrl {
    Q_OBJECT

public:
    explicit CSkinProgress(QWidget* parent = nullptr);
    ~CSkinProgress() override;

    static constexpr COLORREF kFillColor = RGB(4, 134, 232);

protected:
    void paintEvent(QPaintEvent* event) override;
};
