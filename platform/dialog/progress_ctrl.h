#pragma once

// CProgressCtrl: range, step and position as the platform keeps them
// (PBM_* messages work too, from any thread through SendMessage).
// PBS_SMOOTH paints one continuous bar.

#include <QWidget>

#include "window.h"

class CProgressCtrl : public QWidget, public CWnd {
    Q_OBJECT

public:
    explicit CProgressCtrl(QWidget* parent = nullptr);
    ~CProgressCtrl() override;

    void SetRange(int lower, int upper);
    void SetRange32(int lower, int upper) { SetRange(lower, upper); }
    void GetRange(int& lower, int& upper) const;
    int SetPos(int pos);  // previous position; clamped to the range
    int GetPos() const;
    int OffsetPos(int delta);  // previous position
    int SetStep(int step);     // previous step
    int StepIt();              // previous position; wraps past the upper end

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool AcceptsClass(ostrel::dialog::ControlClass controlClass) const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int lower_ = 0;
    int upper_ = 100;
    int pos_ = 0;
    int step_ = 10;
};
