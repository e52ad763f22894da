#include "app/credentials_prompt.h"

#include <QWidget>
#include <optional>

#include "app/accessibility.h"
#include "platform/services/platform_services.h"
#include "platform/services/smb_network_drives.h"
#include "res/bitmap_ids.h"
#include "res/templates/control_ids.h"
#include "skin/skinned_button_names.h"

using namespace ostrel::dialog;

using namespace res;

namespace {

// Laid out like the login dialog, whose background it takes, with the
// share's name in the band above the fields.
DialogTemplate SkinnedCredentialsTemplate() {
    DialogTemplate t{.id = SkinnedCredentialsDialog::kTemplateId,
                     .cx = 205,
                     .cy = 84,
                     .fontFace = "Arial",
                     .pointSize = 8,
                     .style = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU,
                     .caption = CredentialsDialog::kCaption,
                     .controls = {}};
    t.controls = {
        Static({}, {13, 7, 184, 8}, CredentialsDialog::IDC_SHARE_NAME),
        Static("User name :", {13, 29, 40, 8}),
        Edit(CredentialsDialog::IDC_USER_NAME, {60, 26, 69, 14}, ES_AUTOHSCROLL,
             CredentialsDialog::kFieldLimit),
        Static("Password :", {13, 50, 40, 8}),
        Edit(CredentialsDialog::IDC_PASSWORD, {60, 47, 69, 14}, ES_AUTOHSCROLL | ES_PASSWORD,
             CredentialsDialog::kFieldLimit),
        DefPushButton(IDOK, {135, 26, 62, 16}),
        PushButton(IDCANCEL, {135, 46, 62, 16}),
    };
    return t;
}

void NameField(CDialog& dialog, int id, const QString& name) {
    if (auto* widget = dynamic_cast<QWidget*>(dialog.GetDlgItem(id))) {
        widget->setAccessibleName(name);
    }
}

}  // namespace

BEGIN_MESSAGE_MAP(SkinnedCredentialsDialog, CredentialsDialog)
ON_WM_ERASEBKGND()
ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

SkinnedCredentialsDialog::SkinnedCredentialsDialog(const QString& remote, const QString& user,
                                                   CWnd* parent)
    : CredentialsDialog(SkinnedCredentialsTemplate(), remote, user, parent),
      background(IDB_BG_LOGIN, skin::BackgroundLoad::InInitDialog,
                 skin::BackgroundPaint::Stretched) {}

SkinnedCredentialsDialog::~SkinnedCredentialsDialog() = default;

void SkinnedCredentialsDialog::DoDataExchange(CDataExchange* pDX) {
    CredentialsDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDOK, m_ok);
    DDX_Control(pDX, IDCANCEL, m_cancel);
}

BOOL SkinnedCredentialsDialog::OnInitDialog() {
    const BOOL focusSet = CredentialsDialog::OnInitDialog();
    // The buttons look as the login dialog's.
    SkinAndNameButton(IDD_LOGIN, kTemplateId, m_ok);
    SkinAndNameButton(IDD_LOGIN, kTemplateId, m_cancel);
    NameField(*this, IDC_SHARE_NAME, QStringLiteral("Network share"));
    // The fields are named and labelled by their static texts.
    for (int id : {IDC_USER_NAME, IDC_PASSWORD}) {
        if (auto* field = dynamic_cast<QWidget*>(GetDlgItem(id))) {
            LabelControl(*field);
        }
    }
    background.OnInitDialog();
    return focusSet;
}

BOOL SkinnedCredentialsDialog::OnEraseBkgnd(QPainter& painter) {
    return background.OnEraseBkgnd(*this, painter);
}

void SkinnedCredentialsDialog::OnCtlColor(CtlColor& color) {
    skin::DialogCtlColor(color, IDD_LOGIN);
}

void InstallCredentialPrompt(CWnd* owner) {
    static std::optional<SkinnedCredentialPrompt> prompt;
    prompt.emplace(owner);
    ostrel::platform::SystemNetworkDrives().SetPrompt(&*prompt);
}
