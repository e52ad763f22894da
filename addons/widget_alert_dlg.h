#pragma once

#include "platform/dialog/dialog.h"
#include "skin/dialog_looks.h"
#include "skin/skin_button.h"

// The widget engine prompt (template 264): "Download" (button 1) puts 1
// into WidgetAnswer, "Next" (button 2), Esc and the close box put 0.
class yahoowidgetalert : public CDialog {
public:
    explicit yahoowidgetalert(CWnd* parent = nullptr);
    ~yahoowidgetalert() override;

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
    CxSkinButton m_download;
    CxSkinButton m_next;
};
