#include "app/lanscout_app.h"

#include "app/lanscout_dlg.h"
#include "protocol/network.h"

BOOL CLanscoutApp::InitInstance() {
    // The platform's control-container set-up has no counterpart: every
    // control of the dialog layer is a native widget.
    InitNetwork();
    {
        CLanscoutDlg dlg;
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
    }
    return FALSE;
}
