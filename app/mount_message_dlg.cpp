#include "app/mount_message_dlg.h"

#include "res/templates/control_ids.h"
#include "skin/skinned_button_names.h"

using namespace res;

int MountAnswer = 0;

BEGIN_MESSAGE_MAP(MountMessage, CDialog)
ON_WM_ERASEBKGND()
ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

MountMessage::MountMessage(CWnd* parent)
    : CDialog(IDD_MOUNT_MESSAGE, parent), background(IDD_MOUNT_MESSAGE) {}

MountMessage::~MountMessage() = default;

void MountMessage::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDOK, m_ok);
    DDX_Control(pDX, IDCANCEL, m_cancel);
}

BOOL MountMessage::OnInitDialog() {
    CDialog::OnInitDialog();
    SkinAndNameButton(IDD_MOUNT_MESSAGE, m_ok);
    SkinAndNameButton(IDD_MOUNT_MESSAGE, m_cancel);
    background.OnInitDialog();
    return TRUE;
}

void MountMessage::OnOK() {
    MountAnswer = 1;
    EndDialog(IDOK);
}

void MountMessage::OnCancel() {
    MountAnswer = 0;
    EndDialog(IDCANCEL);
}

BOOL MountMessage::OnEraseBkgnd(QPainter& painter) {
    return background.OnEraseBkgnd(*this, painter);
}

void MountMessage::OnCtlColor(CtlColor& color) {
    skin::DialogCtlColor(color, IDD_MOUNT_MESSAGE);
}
