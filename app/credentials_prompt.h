#pragma once

#include "platform/services/credentials_dialog.h"
#include "platform/services/network_drives.h"
#include "res/templates/control_ids.h"
#include "skin/dialog_looks.h"
#include "skin/skin_button.h"

// The credentials an interactive network connection asks for, in the
// product's look: the login dialog's background and skinned OK and Cancel,
// the share's name above the user name and password fields.
class SkinnedCredentialsDialog : public CredentialsDialog {
public:
    static constexpr int kTemplateId = res::IDD_CREDENTIALS_PROMPT;

    SkinnedCredentialsDialog(const QString& remoteName, const QString& userName,
                             CWnd* parent = nullptr);
    ~SkinnedCredentialsDialog() override;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

    const skin::SkinBackground& Background() const { return background; }

protected:
    BOOL OnEraseBkgnd(QPainter& painter);
    void OnCtlColor(CtlColor& color);

    DECLARE_MESSAGE_MAP()

private:
    skin::SkinBackground background;
    CxSkinButton m_ok;
    CxSkinButton m_cancel;
};

// Asks through SkinnedCredentialsDialog, modally, on the user-interface thread.
using SkinnedCredentialPrompt = CredentialsDialogPrompt<SkinnedCredentialsDialog>;

// Makes the program's network drives ask through the skinned dialog when a
// share refuses an interactive connection's credentials. The program calls
// it once at start-up, after the application object exists.
void InstallCredentialPrompt();
