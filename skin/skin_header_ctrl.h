#pragma once

// The list's column header painted from the skin: the header strip under
// everything, a separator before every column but the first, and each
// caption centred at the top in a 14-pixel font.

#include "platform/dialog/list_ctrl.h"

class CSkinHeaderCtrl : public CHeaderCtrl {
    Q_OBJECT

public:
    // The header is as high as its strip plus one row.
    static constexpr int kHeight = 18;

    explicit CSkinHeaderCtrl(QWidget* parent = nullptr);
    ~CSkinHeaderCtrl() override;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};
