#include "platform/services/credentials_dialog.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include "platform/dialog/dialog.h"

using namespace ostrel::dialog;

namespace {

QWidget* Widget(CDialog& dialog, int id) {
    return dynamic_cast<QWidget*>(dialog.GetDlgItem(id));
}

}  // namespace

TEST(CredentialsDialog, OkGivesWhatWasTypedAndCancelGivesNothing) {
    DialogCredentialPrompt prompt;
    {
        QString shown;
        bool passwordHidden = false;
        ScopedModalHook hook([&](CDialog& dialog) {
            shown = dialog.GetDlgItemText(CredentialsDialog::IDC_SHARE_NAME);
            auto* user = qobject_cast<QLineEdit*>(Widget(dialog, CredentialsDialog::IDC_USER_NAME));
            auto* password =
                qobject_cast<QLineEdit*>(Widget(dialog, CredentialsDialog::IDC_PASSWORD));
            ASSERT_NE(user, nullptr);
            ASSERT_NE(password, nullptr);
            EXPECT_EQ(user->text(), "tester");
            passwordHidden = password->echoMode() != QLineEdit::Normal;
            user->setText("admin");
            QTest::keyClicks(password, "bravo-pw2");
            QTest::mouseClick(Widget(dialog, IDOK), Qt::LeftButton);
        });
        const auto answer = prompt.AskCredentials("\\\\10.201.1.21\\Volume_1", "tester");
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->userName, "admin");
        EXPECT_EQ(answer->password, "bravo-pw2");
        EXPECT_EQ(shown, "\\\\10.201.1.21\\Volume_1");
        EXPECT_TRUE(passwordHidden);
    }
    {
        ScopedModalHook hook([&](CDialog& dialog) {
            qobject_cast<QLineEdit*>(Widget(dialog, CredentialsDialog::IDC_PASSWORD))
                ->setText("typed");
            QTest::mouseClick(Widget(dialog, IDCANCEL), Qt::LeftButton);
        });
        EXPECT_FALSE(prompt.AskCredentials("\\\\h\\s", ""));
    }
    if (const char* out = std::getenv("OSTREL_SHOT_DIR")) {
        ScopedModalHook hook([&](CDialog& dialog) {
            Widget(dialog, CredentialsDialog::IDC_PASSWORD)->setFocus();
            dialog.grab().save(QString(out) + "/credentials_dialog.png");
            dialog.EndDialog(IDCANCEL);
        });
        prompt.AskCredentials("\\\\10.201.1.21\\Volume_1", "admin");
    }
}
