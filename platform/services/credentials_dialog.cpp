#include "platform/services/credentials_dialog.h"

#include "platform/dialog/dialog_template.h"

using namespace ostrel::dialog;

namespace {

DialogTemplate CredentialsTemplate() {
    DialogTemplate t{.id = CredentialsDialog::kTemplateId,
                     .cx = 220,
                     .cy = 92,
                     .fontFace = "Arial",
                     .pointSize = 8,
                     .style = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU,
                     .caption = CredentialsDialog::kCaption,
                     .controls = {}};
    t.controls = {
        Static("Enter a user name and password to connect to", {10, 8, 200, 8}),
        Static({}, {10, 19, 200, 8}, CredentialsDialog::IDC_SHARE_NAME),
        Static("User name :", {10, 37, 44, 8}),
        Edit(CredentialsDialog::IDC_USER_NAME, {58, 34, 152, 14}, ES_AUTOHSCROLL,
             CredentialsDialog::kFieldLimit),
        Static("Password :", {10, 55, 44, 8}),
        Edit(CredentialsDialog::IDC_PASSWORD, {58, 52, 152, 14}, ES_AUTOHSCROLL | ES_PASSWORD,
             CredentialsDialog::kFieldLimit),
        DefPushButton(IDOK, {94, 72, 56, 14}, {}, "OK"),
        PushButton(IDCANCEL, {154, 72, 56, 14}, {}, "Cancel"),
    };
    return t;
}

}  // namespace

CredentialsDialog::CredentialsDialog(const QString& remote, const QString& user, CWnd* parent)
    : CredentialsDialog(CredentialsTemplate(), remote, user, parent) {}

CredentialsDialog::CredentialsDialog(const DialogTemplate& layout, const QString& remote,
                                     const QString& user, CWnd* parent)
    : CDialog(layout, parent), remoteName(remote), userName(user) {}

BOOL CredentialsDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    // With a user name already there, the password is what is left to type.
    if (CWnd* field = GetDlgItem(userName.isEmpty() ? IDC_USER_NAME : IDC_PASSWORD)) {
        if (auto* widget = dynamic_cast<QWidget*>(field)) {
            widget->setFocus();
        }
    }
    return FALSE;
}

void CredentialsDialog::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_SHARE_NAME, remoteName);
    DDX_Text(pDX, IDC_USER_NAME, userName);
    DDV_MaxChars(pDX, userName, CredentialsDialog::kFieldLimit);
    DDX_Text(pDX, IDC_PASSWORD, password);
    DDV_MaxChars(pDX, password, CredentialsDialog::kFieldLimit);
}
