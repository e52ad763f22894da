#pragma once

#include <QString>

#include "platform/dialog/dialog.h"
#include "platform/services/network_drives.h"

// The small dialog that an interactive network connection shows when the
// share refuses the credentials it was given: the share's name, a user name
// and a password, OK and Cancel.
class CredentialsDialog : public CDialog {
    Q_OBJECT

public:
    static constexpr int kTemplateId = 0x7E01;  // not one of the product's templates
    // Both layouts of the prompt (this one and the program's skinned one)
    // share the caption and the longest user name or password a field takes.
    static constexpr const char* kCaption = "Connect to Network Share";
    static constexpr int kFieldLimit = 256;
    static constexpr int IDC_SHARE_NAME = 1101;
    static constexpr int IDC_USER_NAME = 1102;
    static constexpr int IDC_PASSWORD = 1103;

    CredentialsDialog(const QString& remoteName, const QString& userName, CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

    QString remoteName;
    QString userName;
    QString password;

protected:
    // The same fields and buttons laid out by another template (a skinned
    // look above this layer); it must hold the three field ids above.
    CredentialsDialog(const ostrel::dialog::DialogTemplate& layout, const QString& remoteName,
                      const QString& userName, CWnd* parent);
};

// Asks through a CredentialsDialog (or a dialog derived from it, built from
// the remote name, the user name and the parent), modally, on the
// user-interface thread.
template <class Dialog>
class CredentialsDialogPrompt final : public ostrel::platform::CredentialPrompt {
public:
    explicit CredentialsDialogPrompt(CWnd* parent = nullptr) : parent_(parent) {}
    std::optional<ostrel::platform::PromptedCredentials> AskCredentials(
        const std::string& remoteName, const std::string& userName) override {
        Dialog dialog(QString::fromStdString(remoteName), QString::fromStdString(userName),
                      parent_);
        if (dialog.DoModal() != IDOK) {
            return std::nullopt;
        }
        return ostrel::platform::PromptedCredentials{dialog.userName.toStdString(),
                                                     dialog.password.toStdString()};
    }

private:
    CWnd* parent_;
};

// The plain dialog's prompt.
using DialogCredentialPrompt = CredentialsDialogPrompt<CredentialsDialog>;
