#include "addons/widget_alert_dlg.h"

#include "addons/addon_state.h"
#include "res/templates/control_ids.h"
#include "skin/skinned_button_names.h"

using namespace res;

BEGIN_MESSAGE_MAP(yahoowidgetalert, CDialog)
ON_WM_ERASEBKGND()
ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

yahoowidgetalert::yahoowidgetalert(CWnd* parent)
    : CDialog(IDD_WIDGET_ALERT, parent), background(IDD_WIDGET_ALERT) {}

yahoowidgetalert::~yahoowidgetalert() = default;

void yahoowidgetalert::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDOK, m_download);
    DDX_Control(pDX, IDCANCEL, m_next);
}

BOOL yahoowidgetalert::OnInitDialog() {
    CDialog::OnInitDialog();
    SkinAndNameButton(IDD_WIDGET_ALERT, m_download);
    SkinAndNameButton(IDD_WIDGET_ALERT, m_next);
    background.OnInitDialog();
    return TRUE;
}

void yahoowidgetalert::OnOK() {
    ostrel::addons::WidgetAnswer = 1;
    CDialog::OnOK();
}

void yahoowidgetalert::OnCancel() {
    ostrel::addons::WidgetAnswer = 0;
    CDialog::OnCancel();
}

BOOL yahoowidgetalert::OnEraseBkgnd(QPainter& painter) {
    return background.OnEraseBkgnd(*this, painter);
}

void yahoowidgetalert::OnCtlColor(CtlColor& color) {
    skin::DialogCtlColor(color, IDD_WIDGET_ALERT);
}
