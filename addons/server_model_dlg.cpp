#include "addons/server_model_dlg.h"

#include "addons/addon_state.h"
#include "platform/dialog/button.h"
#include "res/templates/control_ids.h"
#include "skin/skinned_button_names.h"

using namespace res;

BEGIN_MESSAGE_MAP(ServerModel, CDialog)
ON_WM_ERASEBKGND()
ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

ServerModel::ServerModel(CWnd* parent)
    : CDialog(IDD_SERVER_MODEL, parent), background(IDD_SERVER_MODEL) {}

ServerModel::~ServerModel() = default;

void ServerModel::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDOK, m_ok);
    DDX_Control(pDX, IDCANCEL, m_cancel);
}

BOOL ServerModel::OnInitDialog() {
    CDialog::OnInitDialog();
    SkinAndNameButton(IDD_SERVER_MODEL, m_ok);
    SkinAndNameButton(IDD_SERVER_MODEL, m_cancel);
    background.OnInitDialog();
    return TRUE;
}

void ServerModel::OnOK() {
    ostrel::addons::ModelChoice = -1;
    const int radios[] = {IDC_MODEL_HSV510, IDC_MODEL_HSV520, IDC_MODEL_HSV540};
    for (int index = 0; index < 3; ++index) {
        const auto* radio = GetDlgItemAs<CButton>(radios[index]);
        if (radio != nullptr && radio->GetCheck() == BST_CHECKED) {
            ostrel::addons::ModelChoice = index;
            break;
        }
    }
    CDialog::OnOK();
}

void ServerModel::OnCancel() {
    ostrel::addons::ModelChoice = -1;
    CDialog::OnCancel();
}

BOOL ServerModel::OnEraseBkgnd(QPainter& painter) {
    return background.OnEraseBkgnd(*this, painter);
}

void ServerModel::OnCtlColor(CtlColor& color) {
    skin::DialogCtlColor(color, IDD_SERVER_MODEL);
}
