#include "app/login_dlg.h"

#include "app/accessibility.h"
#include "app/login_policy.h"
#include "protocol/globals.h"
#include "res/templates/control_ids.h"
#include "skin/skinned_button_names.h"

using namespace res;

BEGIN_MESSAGE_MAP(login, CDialog)
ON_WM_ERASEBKGND()
ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

login::login(ostrel::platform::PlatformServices& platformServices, CWnd* parent)
    : CDialog(IDD_LOGIN, parent), services(platformServices), background(IDD_LOGIN) {}

login::~login() = default;

void login::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDOK, m_ok);
    DDX_Control(pDX, IDCANCEL, m_cancel);
    DDX_Control(pDX, IDC_USER_NAME, m_userNameEdit);
    DDX_Text(pDX, IDC_USER_NAME, m_userName);
    DDV_MaxChars(pDX, m_userName, kMaxChars);
    DDX_Text(pDX, IDC_PASSWORD, m_password);
    DDV_MaxChars(pDX, m_password, kMaxChars);
}

BOOL login::OnInitDialog() {
    CDialog::OnInitDialog();

    if (LoginNameFixed == 1) {
        m_userName = QStringLiteral("admin");
        UpdateData(FALSE);
        m_userNameEdit.EnableWindow(FALSE);
    } else {
        std::string osName;
        ostrel::platform::GetWindowsVersionName(osName, *services.version);
        if (osName.find("ME") != std::string::npos || osName.find("98") != std::string::npos) {
            // Those systems log on to shares as the Windows user. The field
            // is locked, so a longer name is cut to what the field takes
            // rather than failing the length check on OK.
            std::string userName;
            if (services.user == nullptr || !services.user->GetUserNameA(userName)) {
                userName.clear();
            }
            m_userName = QString::fromUtf8(userName.data(), static_cast<qsizetype>(userName.size()))
                             .left(kMaxChars);
            UpdateData(FALSE);
            m_userNameEdit.EnableWindow(FALSE);
        } else {
            m_userName.clear();
            UpdateData(FALSE);
            m_userNameEdit.EnableWindow(TRUE);
        }
    }

    SkinAndNameButton(IDD_LOGIN, m_ok);
    SkinAndNameButton(IDD_LOGIN, m_cancel);
    // Named and labelled by their static texts; the tab order is the
    // template's: the fields top to bottom, then the buttons beside them.
    LabelControl(m_userNameEdit);
    if (auto* password = dynamic_cast<QWidget*>(GetDlgItem(IDC_PASSWORD))) {
        LabelControl(*password);
    }
    background.OnInitDialog();
    return TRUE;
}

void login::OnOK() {
    if (!UpdateData(TRUE)) {
        return;
    }
    LoginUser = m_userName.toStdString();
    LoginPassword = m_password.toStdString();
    EndDialog(IDOK);
}

BOOL login::OnEraseBkgnd(QPainter& painter) {
    return background.OnEraseBkgnd(*this, painter);
}

void login::OnCtlColor(CtlColor& color) {
    skin::DialogCtlColor(color, IDD_LOGIN);
}
