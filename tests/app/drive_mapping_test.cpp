// Map Drive and Unmap through the real main window, on the virtual network
// with fake network drives (whose interactive answer stands in for the
// credentials prompt); the drive-letter confirmation and the skinned
// credentials prompt themselves.

#include "app/drive_mapping.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QTest>
#include <algorithm>

#include <gtest/gtest.h>

#include "app/credentials_prompt.h"
#include "app/mount_message_dlg.h"
#include "platform/dialog/static_ctrl.h"
#include "platform/dialog/sys_colors.h"
#include "platform/services/platform_services.h"
#include "platform/services/smb_network_drives.h"
#include "platform/services/win_codes.h"
#include "protocol/globals.h"
#include "res/templates/control_ids.h"
#include "tests/app/commands_harness.h"

using namespace ostrel::dialog;

using namespace res;
using ostrel::platform::CONNECT_INTERACTIVE;
using ostrel::platform::CONNECT_UPDATE_PROFILE;
using ostrel::platform::ERROR_LOGON_FAILURE;
using ostrel::platform::NO_ERROR;

namespace {

constexpr const char* kVolume1 = "\\\\192.168.10.101\\Volume_1";
constexpr const char* kVolume2 = "\\\\192.168.10.101\\Volume_2";

// Records each drive-letter confirmation and answers it with a command
// (IDOK or IDCANCEL).
struct MountAnswerer {
    int answer = IDOK;
    int asked = 0;
    ScopedModalHook::Hook Hook() {
        return [this](CDialog& dialog) {
            if (dialog.GetTemplateId() != IDD_MOUNT_MESSAGE) {
                return;
            }
            ++asked;
            dialog.SendMessage(WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
        };
    }
};

class DriveMapping : public ::testing::Test {
protected:
    void SetUp() override { MountAnswer = 0; }

    // Opens the window and picks recorder 1 ("NVR-One", 192.168.10.101, with
    // Volume_1 and Volume_2) as admin / pw.
    void OpenAndPick() {
        h.lab.Add(MakeRecorder(1, "NVR-One"));
        h.Open();
        ASSERT_TRUE(h.ClickRow(0));
        ASSERT_EQ(h.volumes().GetItemCount(), 2);
        h.boxes.clear();
    }

    void ClickVolume(int row) {
        CListCtrl& list = h.volumes();
        const QPoint point = list.GetItemRect(row).center() - list.viewport()->geometry().topLeft();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, point);
        QApplication::processEvents();
    }

    CComboBox& Letters() { return *h.dialog->GetDlgItemAs<CComboBox>(IDC_DRIVE_LETTERS); }

    // Chooses the drive-letter item that starts with `localName`.
    void ChooseLetter(const char* localName) {
        CComboBox& letters = Letters();
        for (int i = 0; i < letters.GetCount(); ++i) {
            if (letters.GetLBText(i).startsWith(QString::fromLatin1(localName))) {
                static_cast<QComboBox&>(letters).setCurrentIndex(i);
                return;
            }
        }
        FAIL() << "no item " << localName;
    }

    // An NT system of that version.
    void SetVersion(std::uint32_t major, std::uint32_t minor, std::uint32_t build) {
        h.version.majorVersion = major;
        h.version.minorVersion = minor;
        h.version.buildNumber = build;
    }

    QString Location(int row) { return h.volumes().GetItemText(row, 1); }

    void ExpectOneBox(const char* text, const char* caption, UINT icon) {
        ASSERT_EQ(h.boxes.records().size(), 1u) << "boxes shown";
        EXPECT_EQ(h.boxes.records()[0].text, QString::fromLatin1(text));
        EXPECT_EQ(h.boxes.records()[0].caption, QString::fromLatin1(caption));
        EXPECT_EQ(h.boxes.records()[0].icon(), icon);
    }

    CommandsHarness h;
};

TEST_F(DriveMapping, VistaMapsWithEmptyCredentialsThenAsksOnce) {
    h.drives.AddShare(kVolume1, "admin", "secret");
    h.drives.interactiveAnswer = ostrel::platform::PromptedCredentials{"admin", "secret"};
    OpenAndPick();
    LoginNameFixed = 1;
    ClickVolume(0);
    ChooseLetter("Z:");
    h.Command(IDC_MAP_DRIVE);

    EXPECT_EQ(LoginNameFixed, 0);
    EXPECT_EQ(LoginUser, "");
    EXPECT_EQ(LoginPassword, "");
    EXPECT_EQ(CurrentDeviceAddress, "192.168.10.101");
    ASSERT_EQ(h.drives.cancelCalls.size(), 1u);
    EXPECT_EQ(h.drives.cancelCalls[0].name, "Z:");
    EXPECT_EQ(h.drives.cancelCalls[0].flags, CONNECT_UPDATE_PROFILE);
    EXPECT_TRUE(h.drives.cancelCalls[0].force);
    ASSERT_EQ(h.drives.addCalls.size(), 2u);
    for (const auto& call : h.drives.addCalls) {
        EXPECT_EQ(call.localName, "Z:");
        EXPECT_EQ(call.remoteName, kVolume1);
        EXPECT_EQ(call.userName, "");
        EXPECT_EQ(call.password, "");
    }
    EXPECT_EQ(h.drives.addCalls[0].flags, CONNECT_UPDATE_PROFILE);
    EXPECT_EQ(h.drives.addCalls[1].flags, CONNECT_UPDATE_PROFILE | CONNECT_INTERACTIVE);

    ExpectOneBox(kMapSucceededText, "Confirm", MB_ICONINFORMATION);
    EXPECT_EQ(h.drives.connections.at('Z').first, kVolume1);
    EXPECT_EQ(Location(0), "Z:");
    EXPECT_EQ(Location(1), "");
    // The list now shows Z: with its connection and preselects Y:.
    EXPECT_EQ(Letters().GetLBText(0), "Z: \\\\192.168.10.101\\Volume_1");
    EXPECT_EQ(Letters().GetCurSel(), 1);
}

TEST_F(DriveMapping, VistaAsksOnlyWhenTheFirstAttemptFails) {
    h.drives.scriptedAddResults = {NO_ERROR};
    OpenAndPick();
    ClickVolume(1);
    h.Command(IDC_MAP_DRIVE);
    ASSERT_EQ(h.drives.addCalls.size(), 1u);
    EXPECT_EQ(h.drives.addCalls[0].flags, CONNECT_UPDATE_PROFILE);
    ExpectOneBox(kMapSucceededText, "Confirm", MB_ICONINFORMATION);

    // A refused prompt (cancelled or wrong) ends in the failure message.
    h.boxes.clear();
    h.drives.addCalls.clear();
    h.drives.AddShare(kVolume2, "admin", "secret");
    h.drives.interactiveAnswer = ostrel::platform::PromptedCredentials{"admin", "wrong"};
    ClickVolume(1);
    ChooseLetter("X:");
    h.Command(IDC_MAP_DRIVE);
    EXPECT_EQ(h.drives.addCalls.size(), 2u);
    ExpectOneBox(kMapFailedText, "Error", MB_ICONERROR);
    EXPECT_EQ(h.drives.connections.count('X'), 0u);
}

TEST_F(DriveMapping, Nt4TriesSixTimesWithTheRecordersCredentials) {
    SetVersion(4, 0, 1381);
    OpenAndPick();
    ClickVolume(0);
    h.Command(IDC_MAP_DRIVE);  // no such share: every attempt fails
    ASSERT_EQ(h.drives.addCalls.size(), 6u);
    for (const auto& call : h.drives.addCalls) {
        EXPECT_EQ(call.userName, "admin");
        EXPECT_EQ(call.password, "pw");
        EXPECT_EQ(call.flags, CONNECT_UPDATE_PROFILE);
    }
    ExpectOneBox(kMapFailedText, "Error", MB_ICONERROR);

    // The attempts stop at the first success.
    h.boxes.clear();
    h.drives.addCalls.clear();
    h.drives.scriptedAddResults = {ERROR_LOGON_FAILURE, ERROR_LOGON_FAILURE, NO_ERROR};
    ClickVolume(0);
    h.Command(IDC_MAP_DRIVE);
    EXPECT_EQ(h.drives.addCalls.size(), 3u);
    ExpectOneBox(kMapSucceededText, "Confirm", MB_ICONINFORMATION);
}

TEST_F(DriveMapping, OtherSystemsRetryWithTheCachedCredentials) {
    // Windows Server 2003 is neither NT nor Vista by name.
    SetVersion(5, 2, 3790);
    h.drives.AddShare(kVolume1, "admin", "pw");
    OpenAndPick();
    ClickVolume(0);
    h.Command(IDC_MAP_DRIVE);
    ASSERT_EQ(h.drives.addCalls.size(), 2u);
    EXPECT_EQ(h.drives.addCalls[0].userName, "");
    EXPECT_EQ(h.drives.addCalls[1].userName, "admin");
    EXPECT_EQ(h.drives.addCalls[1].password, "pw");
    EXPECT_EQ(h.drives.addCalls[1].flags, CONNECT_UPDATE_PROFILE);
    ExpectOneBox(kMapSucceededText, "Confirm", MB_ICONINFORMATION);
    EXPECT_EQ(Location(0), "Z:");
}

TEST_F(DriveMapping, ALetterInUseIsConfirmedFirst) {
    h.drives.Connect('Z', "\\\\elsewhere\\share");
    OpenAndPick();
    MountAnswerer answerer;
    ScopedModalHook hook(answerer.Hook());

    // Cancel: nothing is disconnected, connected or said.
    answerer.answer = IDCANCEL;
    MountAnswer = 1;
    ClickVolume(0);
    ChooseLetter("Z:");
    h.Command(IDC_MAP_DRIVE);
    EXPECT_EQ(answerer.asked, 1);
    EXPECT_EQ(MountAnswer, 0);
    EXPECT_TRUE(h.drives.cancelCalls.empty());
    EXPECT_TRUE(h.drives.addCalls.empty());
    EXPECT_TRUE(h.boxes.records().empty());
    EXPECT_EQ(h.drives.connections.at('Z').first, "\\\\elsewhere\\share");

    // OK: the letter is disconnected first and stays so when the new
    // connection fails.
    answerer.answer = IDOK;
    h.drives.scriptedAddResults = {ERROR_LOGON_FAILURE, ERROR_LOGON_FAILURE};
    ClickVolume(0);
    ChooseLetter("Z:");
    h.Command(IDC_MAP_DRIVE);
    EXPECT_EQ(answerer.asked, 2);
    EXPECT_EQ(MountAnswer, 1);
    ASSERT_EQ(h.drives.cancelCalls.size(), 1u);
    EXPECT_EQ(h.drives.cancelCalls[0].name, "Z:");
    EXPECT_EQ(h.drives.connections.count('Z'), 0u);
    ExpectOneBox(kMapFailedText, "Error", MB_ICONERROR);

    // A free letter is not asked about.
    h.boxes.clear();
    h.drives.scriptedAddResults = {NO_ERROR};
    ClickVolume(0);
    ChooseLetter("Y:");
    h.Command(IDC_MAP_DRIVE);
    EXPECT_EQ(answerer.asked, 2);
    ExpectOneBox(kMapSucceededText, "Confirm", MB_ICONINFORMATION);
}

TEST_F(DriveMapping, AServerThatIsNotPlainDottedDecimalIsNeverConnected) {
    // The recorders announce texts a share name would take as another host
    // ("0150" is octal to the system's reader) or as a path; the shares
    // exist, so only the address check keeps them from being connected.
    const std::vector<std::string> addresses = {"10.201.1.0150", "localhost/abc"};
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        sim::RecorderState odd = MakeRecorder(static_cast<int>(i) + 1, "NVR-Odd");
        odd.lan[0].ip = addresses[i];
        h.lab.Add(odd);
        h.drives.AddShare("\\\\" + addresses[i] + "\\Volume_1", "admin", "pw");
    }
    h.drives.interactiveAnswer = ostrel::platform::PromptedCredentials{"admin", "pw"};
    h.drives.Connect('Z', "\\\\elsewhere\\share");
    h.Open();
    MountAnswerer answerer;
    answerer.answer = IDOK;
    ScopedModalHook hook(answerer.Hook());
    for (int row = 0; row < 2; ++row) {
        const std::string address = h.devices().GetItemText(row, 1).toStdString();
        SCOPED_TRACE(address);
        EXPECT_NE(std::find(addresses.begin(), addresses.end(), address), addresses.end())
            << "the list shows the text as it came";
        ASSERT_TRUE(h.ClickRow(row));
        ASSERT_EQ(h.volumes().GetItemCount(), 2);
        for (const char* letter : {"Z:", "Y:"}) {
            h.boxes.clear();
            ClickVolume(0);
            ChooseLetter(letter);
            h.Command(IDC_MAP_DRIVE);
            ExpectOneBox(kMapFailedText, "Error", MB_ICONERROR);
        }
    }
    EXPECT_TRUE(h.drives.cancelCalls.empty()) << "the letter in use keeps its connection";
    EXPECT_TRUE(h.drives.addCalls.empty());
    EXPECT_EQ(h.drives.connections.size(), 1u);
    EXPECT_EQ(h.drives.connections.at('Z').first, "\\\\elsewhere\\share");
}

TEST_F(DriveMapping, WithoutVolumeDeviceOrLetterNothingIsConnected) {
    OpenAndPick();
    // No volume row selected.
    h.Command(IDC_MAP_DRIVE);
    ExpectOneBox(kSelectDeviceText, "Warning", MB_ICONEXCLAMATION);

    // A volume row still there after the device row lost its selection:
    // there is no server to connect to.
    h.boxes.clear();
    ClickVolume(0);
    h.devices().SetItemState(0, 0, LVIS_SELECTED);
    h.Command(IDC_MAP_DRIVE);
    ExpectOneBox(kSelectDeviceText, "Warning", MB_ICONEXCLAMATION);
    EXPECT_TRUE(h.drives.cancelCalls.empty());
    EXPECT_TRUE(h.drives.addCalls.empty());

    // No letter chosen: a silent end.
    h.boxes.clear();
    h.devices().SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    ClickVolume(0);
    Letters().SetCurSel(-1);
    h.Command(IDC_MAP_DRIVE);
    EXPECT_TRUE(h.boxes.records().empty());
    EXPECT_TRUE(h.drives.cancelCalls.empty());
    EXPECT_TRUE(h.drives.addCalls.empty());
}

TEST_F(DriveMapping, ADeviceRowScrolledAboveTheViewIsStillTheSelection) {
    h.lab.Add(MakeRecorder(1, "NVR-One"));
    for (int n = 3; n <= 14; ++n) {
        h.lab.Add(MakeRecorder(n, "NVR-" + std::to_string(n)));
    }
    h.drives.scriptedAddResults = {NO_ERROR};
    h.Open();
    ASSERT_EQ(h.devices().GetItemCount(), 13);
    ASSERT_EQ(h.devices().GetItemText(0, 0), "NVR-One");
    ASSERT_TRUE(h.ClickRow(0));
    ClickVolume(0);
    ChooseLetter("Z:");
    h.boxes.clear();
    h.devices().EnsureVisible(12);
    QApplication::processEvents();
    ASSERT_GT(h.devices().GetTopIndex(), 0);
    ASSERT_EQ(h.devices().GetItemState(0, LVIS_SELECTED), LVIS_SELECTED);

    h.Command(IDC_MAP_DRIVE);
    ExpectOneBox(kMapSucceededText, "Confirm", MB_ICONINFORMATION);
    ASSERT_EQ(h.drives.addCalls.size(), 1u);
    EXPECT_EQ(h.drives.addCalls[0].remoteName, kVolume1);
    EXPECT_EQ(h.drives.addCalls[0].password, "");
    EXPECT_EQ(CurrentDeviceAddress, "192.168.10.101");
    EXPECT_EQ(Location(0), "Z:");

    // Unmapping with the row still out of view refreshes its volumes too.
    h.boxes.clear();
    ClickVolume(0);
    h.Command(IDC_UNMAP_DRIVE);
    ExpectOneBox(kUnmapSucceededText, "Confirm", MB_ICONINFORMATION);
    EXPECT_EQ(h.drives.connections.count('Z'), 0u);
    EXPECT_EQ(Location(0), "");
}

TEST_F(DriveMapping, UnmapTakesTheVolumesLocationElseTheChosenLetter) {
    h.drives.Connect('Q', kVolume2);
    OpenAndPick();
    ASSERT_EQ(Location(1), "Q:");

    // A row without a letter: the system refuses the empty name.
    ClickVolume(0);
    h.Command(IDC_UNMAP_DRIVE);
    ASSERT_EQ(h.drives.cancelCalls.size(), 1u);
    EXPECT_EQ(h.drives.cancelCalls[0].name, "");
    ExpectOneBox(kUnmapFailedText, "Error", MB_ICONERROR);

    h.boxes.clear();
    ClickVolume(1);
    h.Command(IDC_UNMAP_DRIVE);
    ASSERT_EQ(h.drives.cancelCalls.size(), 2u);
    EXPECT_EQ(h.drives.cancelCalls[1].name, "Q:");
    EXPECT_EQ(h.drives.cancelCalls[1].flags, CONNECT_UPDATE_PROFILE);
    EXPECT_TRUE(h.drives.cancelCalls[1].force);
    ExpectOneBox(kUnmapSucceededText, "Confirm", MB_ICONINFORMATION);
    EXPECT_EQ(Location(1), "");

    // Without a volume row the chosen drive-letter item names the letter.
    h.boxes.clear();
    h.drives.Connect('K', "\\\\elsewhere\\share");
    h.dialog->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SEARCH, BN_CLICKED), 0);
    QApplication::processEvents();
    ChooseLetter("K:");
    h.Command(IDC_UNMAP_DRIVE);
    EXPECT_EQ(h.drives.cancelCalls.back().name, "K:");
    ExpectOneBox(kUnmapSucceededText, "Confirm", MB_ICONINFORMATION);
    EXPECT_EQ(h.drives.connections.count('K'), 0u);
}

TEST_F(DriveMapping, TheRefreshComparesHostsExactlyAfterAMapOnlyAndShowsTheLetterNearestA) {
    // Volume_1 is connected twice by the recorder's name in another case.
    h.drives.Connect('Y', "\\\\nvr-one\\VOLUME_1");
    h.drives.Connect('M', "\\\\nvr-one\\volume_1");
    h.drives.scriptedAddResults = {NO_ERROR};
    OpenAndPick();
    EXPECT_EQ(Location(0), "M:");

    ClickVolume(1);
    ChooseLetter("Z:");
    h.Command(IDC_MAP_DRIVE);
    EXPECT_EQ(Location(0), "");  // "nvr-one" is not "NVR-One" after a map
    EXPECT_EQ(Location(1), "Z:");

    ClickVolume(1);
    h.Command(IDC_UNMAP_DRIVE);
    EXPECT_EQ(Location(0), "M:");  // ignoring case again, the letter nearest A
    EXPECT_EQ(Location(1), "");
}

TEST_F(DriveMapping, LongNamesStayWithinTheirBuffers) {
    // The longest volume name a recorder sends, in two-byte characters: the
    // row keeps 127 of them (254 bytes), never half a character.
    auto state = MakeRecorder(1, "NVR-One");
    std::string longName;
    for (int i = 0; i < 128; ++i) {
        longName += "\xC3\xA9";
    }
    state.volumes = {longName.substr(0, 255)};
    h.lab.Add(state);
    const std::string shown = longName.substr(0, 254);
    const std::string remote = "\\\\192.168.10.101\\" + shown;
    h.drives.AddShare(remote, "", "");
    h.Open();
    ASSERT_TRUE(h.ClickRow(0));
    h.boxes.clear();
    ClickVolume(0);
    h.Command(IDC_MAP_DRIVE);
    ASSERT_EQ(h.drives.addCalls.size(), 1u);
    EXPECT_EQ(h.drives.addCalls[0].remoteName, remote);
    ExpectOneBox(kMapSucceededText, "Confirm", MB_ICONINFORMATION);
    EXPECT_EQ(Location(0), "Z:");

    // A cached user name longer than the 64-character buffer is cut.
    SetVersion(4, 0, 1381);
    const std::string key = h.dialog->Credentials().Entries().begin()->first;
    h.dialog->Credentials().MarkAuthenticated(key, std::string(300, 'u'), std::string(90, 'p'));
    h.drives.scriptedAddResults = {NO_ERROR};
    ClickVolume(0);
    ChooseLetter("Y:");
    h.Command(IDC_MAP_DRIVE);
    ASSERT_EQ(h.drives.addCalls.size(), 2u);
    EXPECT_EQ(h.drives.addCalls[1].userName, std::string(63, 'u'));
    EXPECT_EQ(h.drives.addCalls[1].password, std::string(63, 'p'));
}

TEST(MountMessageDialog, EveryWayOutSetsTheAnswerAndTheLookIsSkinned) {
    struct Way {
        const char* name;
        std::function<void(CDialog&)> close;
        int answer;
    };
    const std::vector<Way> ways = {
        {"OK", [](CDialog& d) { d.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }, 1},
        {"Cancel",
         [](CDialog& d) { d.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); }, 0},
        {"Esc", [](CDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }, 0},
        {"Enter", [](CDialog& d) { QTest::keyClick(&d, Qt::Key_Return); }, 1},
        {"close box", [](CDialog& d) { d.SendMessage(WM_CLOSE, 0, 0); }, 0},
    };
    for (const Way& way : ways) {
        MountAnswer = 1 - way.answer;
        MountMessage dialog;
        QImage picture;
        COLORREF textColor = 0;
        ScopedModalHook hook([&](CDialog& d) {
            d.grab();
            picture = d.grab().toImage();
            CtlColor color;
            color.ctlType = CTLCOLOR_STATIC;
            d.SendMessage(WM_CTLCOLOR, 0, reinterpret_cast<LPARAM>(&color));
            textColor = color.textColor;
            way.close(d);
        });
        dialog.DoModal();
        EXPECT_EQ(MountAnswer, way.answer) << way.name;
        EXPECT_TRUE(dialog.Background().Loaded()) << way.name;
        // Painted more than once, loaded once.
        EXPECT_EQ(dialog.Background().LoadAttempts(), 1) << way.name;
        EXPECT_EQ(textColor, RGB(255, 255, 255));
        ASSERT_FALSE(picture.isNull());
        // The bitmap is painted, not the plain dialog face.
        EXPECT_NE(picture.pixelColor(4, 4), sysColor(COLOR_BTNFACE)) << way.name;
    }
}

TEST(CredentialsPrompt, TheProgramsPromptIsTheSkinnedDialog) {
    InstallCredentialPrompt();
    ostrel::platform::CredentialPrompt* installed =
        ostrel::platform::SystemNetworkDrives().Prompt();
    ASSERT_NE(dynamic_cast<SkinnedCredentialPrompt*>(installed), nullptr);

    // Asking opens the skinned dialog: the share's name, named fields, the
    // login background, skinned buttons; Enter answers OK, Esc cancels.
    int templateId = 0;
    QString shownShare;
    QString userAccessibleName;
    QString passwordAccessibleName;
    bool backgroundLoaded = false;
    bool buttonsSkinned = false;
    ScopedModalHook typeAndEnter([&](CDialog& dialog) {
        templateId = dialog.GetTemplateId();
        shownShare = dialog.GetDlgItemText(CredentialsDialog::IDC_SHARE_NAME);
        auto* user = dynamic_cast<QLineEdit*>(dialog.GetDlgItem(CredentialsDialog::IDC_USER_NAME));
        auto* password =
            dynamic_cast<QLineEdit*>(dialog.GetDlgItem(CredentialsDialog::IDC_PASSWORD));
        ASSERT_NE(user, nullptr);
        ASSERT_NE(password, nullptr);
        userAccessibleName = user->accessibleName();
        passwordAccessibleName = password->accessibleName();
        backgroundLoaded = static_cast<SkinnedCredentialsDialog&>(dialog).Background().Loaded();
        auto* ok = dynamic_cast<CxSkinButton*>(dialog.GetDlgItem(IDOK));
        auto* cancel = dynamic_cast<CxSkinButton*>(dialog.GetDlgItem(IDCANCEL));
        buttonsSkinned = ok != nullptr && cancel != nullptr && ok->GetWindowText().isEmpty();
        user->setText(QStringLiteral("admin"));
        password->setText(QStringLiteral("s3cret"));
        password->setFocus();
        QTest::keyClick(password, Qt::Key_Return);
    });
    const auto answer = installed->AskCredentials("\\\\10.201.1.11\\Volume_1", "");
    EXPECT_EQ(templateId, SkinnedCredentialsDialog::kTemplateId);
    EXPECT_EQ(shownShare, "\\\\10.201.1.11\\Volume_1");
    EXPECT_EQ(userAccessibleName, "User name");
    EXPECT_EQ(passwordAccessibleName, "Password");
    EXPECT_TRUE(backgroundLoaded);
    EXPECT_TRUE(buttonsSkinned);
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->userName, "admin");
    EXPECT_EQ(answer->password, "s3cret");

    ScopedModalHook escape([](CDialog& dialog) {
        auto* user = dynamic_cast<QLineEdit*>(dialog.GetDlgItem(CredentialsDialog::IDC_USER_NAME));
        user->setText(QStringLiteral("admin"));
        QTest::keyClick(user, Qt::Key_Escape);
    });
    EXPECT_FALSE(installed->AskCredentials("\\\\10.201.1.11\\Volume_1", "admin").has_value());

    // Installed for the main window, the prompt opens as its window, which
    // the window system keeps above it (without an owner, a Wayland
    // compositor may stack it anywhere).
    CDialog owner(res::IDD_ABOUT);
    ASSERT_TRUE(owner.Create());
    InstallCredentialPrompt(&owner);
    QWidget* shownParent = nullptr;
    ScopedModalHook cancel([&shownParent](CDialog& dialog) {
        shownParent = dialog.parentWidget();
        dialog.EndDialog(IDCANCEL);
    });
    ostrel::platform::SystemNetworkDrives().Prompt()->AskCredentials("\\\\h\\v", "");
    EXPECT_EQ(shownParent, &owner);
    InstallCredentialPrompt();
    owner.DestroyWindow();
}

}  // namespace
