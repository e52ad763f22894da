#include "app/lanscout_app.h"

#include "app/credentials_prompt.h"
#include "app/lanscout_dlg.h"
#include "platform/dialog/dialog_units.h"
#include "platform/dialog/message_box.h"
#include "protocol/network.h"
#include "res/product_name.h"
#include "res/templates/dialog_templates.h"

void SetUpProductDialogs() {
    ostrel::dialog::SetAppName(QString::fromLatin1(res::kProductName));
    ostrel::dialog::EnsureDialogFonts();
    res::RegisterProductDialogTemplates();
}

BOOL CLanscoutApp::InitInstance() {
    // The platform's control-container set-up has no counterpart: every
    // control of the dialog layer is a native widget.
    InitNetwork();
    {
        CLanscoutDlg dlg;
        m_pMainWnd = &dlg;
        // The credentials prompt opens as a window of the main window, like
        // every other dialog, so it stays above it on Wayland too.
        InstallCredentialPrompt(&dlg);
        dlg.DoModal();
        InstallCredentialPrompt();
        m_pMainWnd = nullptr;
    }
    return FALSE;
}
