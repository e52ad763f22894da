#pragma once

#include <QString>

#include "platform/dialog/dialog.h"
#include "platform/dialog/edit.h"
#include "platform/services/platform_services.h"
#include "skin/dialog_looks.h"
#include "skin/skin_button.h"

// The administrator login (template 134): user name and password, at most 16
// characters each, the password masked. OK writes them into LoginUser and
// LoginPassword; Cancel leaves those untouched.
class login : public CDialog {
public:
    // The OS name and the user name come from the services.
    login(ostrel::platform::PlatformServices& services, CWnd* parent = nullptr);
    ~login() override;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

    static constexpr int kMaxChars = 16;

protected:
    BOOL OnEraseBkgnd(QPainter& painter);
    void OnCtlColor(CtlColor& color);

    DECLARE_MESSAGE_MAP()

private:
    ostrel::platform::PlatformServices& services;
    skin::SkinBackground background;
    CxSkinButton m_ok;
    CxSkinButton m_cancel;
    CEdit m_userNameEdit;
    QString m_userName;
    QString m_password;
};
