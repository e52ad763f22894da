#include "app/showabout_dlg.h"

#include "app/accessibility.h"
#include "res/product_name.h"
#include "res/templates/control_ids.h"
#include "skin/skinned_button_names.h"

using namespace res;

BEGIN_MESSAGE_MAP(showabout, CDialog)
ON_WM_ERASEBKGND()
ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

showabout::showabout(CWnd* parent) : CDialog(IDD_ABOUT, parent), background(IDD_ABOUT) {}

showabout::~showabout() = default;

void showabout::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDOK, m_ok);
}

BOOL showabout::OnInitDialog() {
    CDialog::OnInitDialog();
    SkinAndNameButton(IDD_ABOUT, m_ok);
    // The box has no caption; readers name it by what it is.
    InstallAccessibility();
    setAccessibleName(QStringLiteral("About %1").arg(QLatin1String(res::kProductName)));
    if (auto* icon = dynamic_cast<QWidget*>(GetDlgItem(IDC_ABOUT_ICON))) {
        icon->setAccessibleName(QStringLiteral("%1 icon").arg(QLatin1String(res::kProductName)));
    }
    background.OnInitDialog();
    return TRUE;
}

BOOL showabout::OnEraseBkgnd(QPainter& painter) {
    return background.OnEraseBkgnd(*this, painter);
}

void showabout::OnCtlColor(CtlColor& color) {
    skin::DialogCtlColor(color, IDD_ABOUT);
}
