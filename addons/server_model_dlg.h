#pragma once

#include "platform/dialog/dialog.h"
#include "skin/dialog_looks.h"
#include "skin/skin_button.h"

// The model picker (template 265), asked when the recorder's model has no
// widget of its own: three plain radio buttons, none chosen at first. OK
// puts the choice (or -1) into ModelChoice; Cancel puts -1.
class ServerModel : public CDialog {
public:
    explicit ServerModel(CWnd* parent = nullptr);
    ~ServerModel() override;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnCancel() override;

protected:
    BOOL OnEraseBkgnd(QPainter& painter);
    void OnCtlColor(CtlColor& color);

    DECLARE_MESSAGE_MAP()

private:
    skin::SkinBackground background;
    CxSkinButton m_ok;
    CxSkinButton m_cancel;
};
