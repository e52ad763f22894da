#pragma once

#include "platform/dialog/dialog.h"
#include "skin/dialog_looks.h"
#include "skin/skin_button.h"

// The about box (template 308): the program's name, a line about what it
// does and its version, on background 268 with a skinned OK button.
class showabout : public CDialog {
public:
    explicit showabout(CWnd* parent = nullptr);
    ~showabout() override;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

protected:
    BOOL OnEraseBkgnd(QPainter& painter);
    void OnCtlColor(CtlColor& color);

    DECLARE_MESSAGE_MAP()

private:
    skin::SkinBackground background;
    CxSkinButton m_ok;
};
