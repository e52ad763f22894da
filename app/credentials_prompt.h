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
// it at start-up, after the application object exists, and again with the
// main window as `owner` while that window lives: the prompt then opens as
// a window of it, which keeps it above the main window where stacking
// follows ownership (Wayland). Not while a prompt is open.
void InstallCredentialPrompt(CWnd* owner = nullptr);
