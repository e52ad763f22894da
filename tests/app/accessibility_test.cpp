// What screen readers and keyboard-only users get from the main window and
// the login dialog: names and labels through Qt's accessibility interfaces,
// the tab order, and the pick by Space and by the row's press action.

#include "app/accessibility.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "addons/server_model_dlg.h"
#include "addons/widget_alert_dlg.h"
#include "app/login_dlg.h"
#include "app/mount_message_dlg.h"
#include "app/showabout_dlg.h"
#include "platform/dialog/static_ctrl.h"
#include "res/templates/control_ids.h"
#include "tests/app/commands_harness.h"

using namespace ostrel::dialog;
using namespace res;

namespace {

QAccessibleInterface* Iface(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

std::string Name(QObject* object) {
    QAccessibleInterface* iface = Iface(object);
    return iface ? iface->text(QAccessible::Name).toStdString() : "<no interface>";
}

// The text of the static that the control reports as its label.
std::string LabelText(QObject* object) {
    const auto labels = Iface(object)->relations(QAccessible::Label);
    if (labels.size() != 1) {
        return "<" + std::to_string(labels.size()) + " labels>";
    }
    auto* label = qobject_cast<CStatic*>(labels.first().first->object());
    return label ? label->GetWindowText().toStdString() : "<not a static>";
}

// The control id of the dialog control that holds the dialog's keyboard
// focus (the window's own focus, whether or not it is the active window).
int FocusedControlId(const CDialog& dialog) {
    for (QWidget* w = dialog.focusWidget(); w != nullptr; w = w->parentWidget()) {
        if (w->parentWidget() == &dialog) {
            if (auto* wnd = dynamic_cast<CWnd*>(w)) {
                return wnd->GetDlgCtrlID();
            }
        }
    }
    return 0;
}

// The ids focus visits from `first`, pressing Tab `presses` times.
std::vector<int> TabWalk(CDialog& dialog, int first, int presses) {
    dialog.GetDlgItem(first)->widget()->setFocus(Qt::TabFocusReason);
    std::vector<int> ids{FocusedControlId(dialog)};
    for (int k = 0; k < presses; ++k) {
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
        ids.push_back(FocusedControlId(dialog));
    }
    return ids;
}

// Every control a reader can reach under `iface` that is shown and has no
// name, as "role at depth".
void CollectUnnamed(QAccessibleInterface* iface, int depth, std::vector<QString>& unnamed) {
    for (int k = 0; k < iface->childCount(); ++k) {
        QAccessibleInterface* child = iface->child(k);
        if (child == nullptr || child->state().invisible) {
            continue;
        }
        if (child->text(QAccessible::Name).trimmed().isEmpty()) {
            const QObject* object = child->object();
            unnamed.push_back(QStringLiteral("role %1 at depth %2 (%3)")
                                  .arg(static_cast<int>(child->role()))
                                  .arg(depth)
                                  .arg(object ? QLatin1String(object->metaObject()->className())
                                              : QLatin1String("no object")));
        }
        CollectUnnamed(child, depth + 1, unnamed);
    }
}

class AccessibilityTest : public ::testing::Test {
public:
    void OpenWithRecorders() {
        auto first = MakeRecorder(1, "Front door");
        first.volumes = {"Volume_1", "Volume_2"};
        h.lab.Add(first);
        h.lab.Add(MakeRecorder(2, "Back door"));
        h.Open();
        h.dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(h.dialog.get()));
    }

    PickListCtrl& Devices() { return static_cast<PickListCtrl&>(h.devices()); }

    // Runs `pick` with every login dialog answered admin / pw by the hook.
    int PickAnswered(const std::function<void()>& pick) {
        int logins = 0;
        ScopedModalHook answer([&](CDialog& dialog) {
            if (dialog.GetTemplateId() != IDD_LOGIN) {
                return;
            }
            ++logins;
            dialog.SetDlgItemText(IDC_USER_NAME, QStringLiteral("admin"));
            dialog.SetDlgItemText(IDC_PASSWORD, QStringLiteral("pw"));
            dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        });
        pick();
        QApplication::processEvents();
        return logins;
    }

    // The window after a pick of "Front door": its fields and volumes.
    void ExpectFrontDoorShown() {
        EXPECT_EQ(h.dialog->deviceSelected, 1);
        EXPECT_EQ(h.field(IDC_IP_ADDRESS).GetWindowText(), "192.168.10.101");
        EXPECT_EQ(h.field(IDC_NETMASK).GetWindowText(), "255.255.255.0");
        EXPECT_EQ(h.dhcp().GetCurSel(), 0);
        EXPECT_EQ(h.volumes().GetItemCount(), 2);
    }

    CommandsHarness h;
};

TEST_F(AccessibilityTest, MainWindowTabOrderReadsTopToBottomLeftToRight) {
    OpenWithRecorders();
    // The window opens on the recorder list, the first control of its design.
    EXPECT_EQ(FocusedControlId(*h.dialog), IDC_DEVICE_LIST);

    const std::vector<int> expected = {
        IDC_MINIMIZE,    IDC_CLOSE,         IDC_DEVICE_LIST, IDC_SEARCH,      IDC_WEB_CONSOLE,
        IDC_IP_ADDRESS,  IDC_DHCP,          IDC_NETMASK,     IDC_APPLY,       IDC_GATEWAY,
        IDC_VOLUME_LIST, IDC_DRIVE_LETTERS, IDC_MAP_DRIVE,   IDC_UNMAP_DRIVE, IDC_ABOUT,
        IDC_EXIT,        IDC_MINIMIZE};
    EXPECT_EQ(TabWalk(*h.dialog, IDC_MINIMIZE, 16), expected);

    // Shift+Tab walks back the same way.
    h.dialog->GetDlgItem(IDC_APPLY)->widget()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(h.dialog->focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(FocusedControlId(*h.dialog), IDC_NETMASK);
}

TEST_F(AccessibilityTest, LoginTabOrderTakesTheFieldsThenTheButtons) {
    OpenWithRecorders();
    bool ran = false;
    ScopedModalHook check([&](CDialog& dialog) {
        ran = true;
        EXPECT_EQ(FocusedControlId(dialog), IDC_USER_NAME);
        const std::vector<int> expected = {IDC_USER_NAME, IDC_PASSWORD, IDOK, IDCANCEL,
                                           IDC_USER_NAME};
        EXPECT_EQ(TabWalk(dialog, IDC_USER_NAME, 4), expected);

        EXPECT_EQ(Iface(&dialog)->role(), QAccessible::Dialog);
        EXPECT_EQ(Name(&dialog), "Login");
        for (int id : {IDC_USER_NAME, IDC_PASSWORD}) {
            QWidget* field = dialog.GetDlgItem(id)->widget();
            EXPECT_EQ(Name(field), id == IDC_USER_NAME ? "User name" : "Password");
            EXPECT_EQ(LabelText(field), id == IDC_USER_NAME ? "User name :" : "Password :");
        }
        EXPECT_EQ(Name(dialog.GetDlgItem(IDOK)->widget()), "OK");
        EXPECT_EQ(Name(dialog.GetDlgItem(IDCANCEL)->widget()), "Cancel");
        std::vector<QString> unnamed;
        CollectUnnamed(Iface(&dialog), 1, unnamed);
        EXPECT_TRUE(unnamed.empty()) << unnamed.front().toStdString();
        // Escape keeps its meaning: it cancels the login.
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Escape);
    });
    Devices().ClickRow(0);
    EXPECT_TRUE(ran);
    EXPECT_TRUE(h.field(IDC_NETMASK).IsBlank());  // the login was cancelled
}

TEST_F(AccessibilityTest, ListsFieldsAndChoicesAreNamedAndLabelled) {
    OpenWithRecorders();

    QAccessibleInterface* recorders = Iface(&h.devices());
    EXPECT_EQ(recorders->role(), QAccessible::List);
    EXPECT_EQ(recorders->text(QAccessible::Name), "Recorders");
    ASSERT_EQ(recorders->childCount(), 2);
    QAccessibleInterface* row = recorders->child(0);
    EXPECT_EQ(row->role(), QAccessible::ListItem);
    EXPECT_EQ(row->text(QAccessible::Name),
              "Front door, 192.168.10.101, 255.255.255.0, 192.168.10.1");
    EXPECT_EQ(recorders->indexOfChild(recorders->child(1)), 1);
    EXPECT_EQ(row->parent(), recorders);
    EXPECT_EQ(Name(&h.volumes()), "Volumes");
    EXPECT_EQ(Iface(&h.volumes())->childCount(), 0);

    const struct {
        int id;
        const char* name;
        const char* label;
    } addresses[] = {{IDC_IP_ADDRESS, "IP address", "I P :"},
                     {IDC_NETMASK, "Netmask", "Netmask :"},
                     {IDC_GATEWAY, "Gateway", "Gateway :"}};
    for (const auto& address : addresses) {
        CIPAddressCtrl& control = h.field(address.id);
        EXPECT_EQ(Name(&control), address.name);
        EXPECT_EQ(LabelText(&control), address.label);
        for (int part = 0; part < 4; ++part) {
            EXPECT_EQ(Name(control.Field(part)),
                      std::string(address.name) + ", part " + std::to_string(part + 1) + " of 4");
            EXPECT_EQ(LabelText(control.Field(part)), address.label);
        }
    }

    // Choice boxes by their labels, not by their current item.
    EXPECT_EQ(Name(&h.dhcp()), "Receive DHCP");
    EXPECT_EQ(LabelText(&h.dhcp()), "Receive DHCP :");
    QWidget* letters = h.dialog->GetDlgItem(IDC_DRIVE_LETTERS)->widget();
    EXPECT_EQ(Name(letters), "Available Drive Letters");
    EXPECT_EQ(LabelText(letters), "Available Drive Letters :");
    // The current item is read as the box's text.
    QAccessibleTextInterface* current = Iface(letters)->textInterface();
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->text(0, current->characterCount()), "Z:");
    EXPECT_EQ(Iface(&h.dhcp())->textInterface()->characterCount(), 0);  // nothing chosen yet

    // The label tells which control it labels.
    const auto labelled = Iface(h.field(IDC_NETMASK).Field(0))
                              ->relations(QAccessible::Label)
                              .first()
                              .first->relations(QAccessible::Labelled);
    ASSERT_EQ(labelled.size(), 1);
    EXPECT_EQ(labelled.first().first->object(), &h.field(IDC_NETMASK));

    // The window by its title; every shown control has a name, the hidden
    // ones are invisible to readers.
    QAccessibleInterface* window = Iface(h.dialog.get());
    EXPECT_EQ(window->text(QAccessible::Name), "Ostrel NVR Search Utility");
    std::vector<QString> unnamed;
    CollectUnnamed(window, 1, unnamed);
    EXPECT_TRUE(unnamed.empty()) << unnamed.size() << " unnamed, first "
                                 << unnamed.front().toStdString();
    EXPECT_TRUE(Iface(h.dialog->GetDlgItem(IDC_WIDGET)->widget())->state().invisible);
    EXPECT_TRUE(Iface(h.dialog->GetDlgItem(IDC_MODEL_TEXT)->widget())->state().invisible);
}

TEST_F(AccessibilityTest, DialogsWithoutCaptionAreNamedByPurpose) {
    OpenWithRecorders();
    MountMessage mount(h.dialog.get());
    ASSERT_TRUE(mount.Create(h.dialog.get()));
    EXPECT_EQ(Name(&mount), "The drive letter has been used.");
    mount.DestroyWindow();

    showabout about(h.dialog.get());
    ASSERT_TRUE(about.Create(h.dialog.get()));
    EXPECT_EQ(Name(&about), "About Ostrel NVR Search Utility");
    std::vector<QString> unnamed;
    CollectUnnamed(Iface(&about), 1, unnamed);
    EXPECT_TRUE(unnamed.empty()) << unnamed.front().toStdString();
    about.DestroyWindow();
}

TEST_F(AccessibilityTest, AddOnDialogsAreNamedByTheirFirstLineAndButtons) {
    InstallAccessibility();
    yahoowidgetalert alert;
    ASSERT_TRUE(alert.Create());
    EXPECT_EQ(Name(&alert), "You need to first download and install YAHOO! Widgets Engine.");
    EXPECT_EQ(Name(alert.GetDlgItem(IDOK)->widget()), "Download");
    EXPECT_EQ(Name(alert.GetDlgItem(IDCANCEL)->widget()), "Next");
    std::vector<QString> unnamed;
    CollectUnnamed(Iface(&alert), 1, unnamed);
    EXPECT_TRUE(unnamed.empty()) << unnamed.front().toStdString();
    alert.DestroyWindow();

    ServerModel model;
    ASSERT_TRUE(model.Create());
    EXPECT_EQ(Name(&model), "The model type cannot be recognized.");
    EXPECT_EQ(Name(model.GetDlgItem(IDC_MODEL_HSV520)->widget()), "HSV-520");
    CollectUnnamed(Iface(&model), 1, unnamed);
    EXPECT_TRUE(unnamed.empty()) << unnamed.front().toStdString();
    model.DestroyWindow();
}

TEST_F(AccessibilityTest, SpaceOnTheCurrentRowPicksItAsAClickDoes) {
    OpenWithRecorders();
    PickListCtrl& list = Devices();
    list.setFocus(Qt::TabFocusReason);
    // Focus arriving from the keyboard makes the first row current; moving
    // down and back up neither selects for the pick nor logs in.
    QTest::keyClick(&list, Qt::Key_Down);
    QTest::keyClick(&list, Qt::Key_Up);
    EXPECT_EQ(list.currentIndex().row(), 0);
    EXPECT_EQ(h.dialog->deviceSelected, 0);

    EXPECT_EQ(PickAnswered([&] { QTest::keyClick(&list, Qt::Key_Space); }), 1);
    ExpectFrontDoorShown();
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 0);
    EXPECT_TRUE(Iface(&list)->child(0)->state().selected);
    EXPECT_FALSE(Iface(&list)->child(1)->state().selected);

    // Space on a volume row selects it, as a click does, for Map Drive.
    PickListCtrl& volumes = static_cast<PickListCtrl&>(h.volumes());
    volumes.setCurrentIndex(volumes.model()->index(1, 0));
    volumes.clearSelection();
    QTest::keyClick(&volumes, Qt::Key_Space);
    EXPECT_EQ(volumes.GetNextItem(-1, LVNI_SELECTED), 1);
}

TEST_F(AccessibilityTest, PressActionOnARowPicksItAfterAnswering) {
    OpenWithRecorders();
    QAccessibleInterface* row = Iface(&h.devices())->child(0);
    QAccessibleActionInterface* actions = row->actionInterface();
    ASSERT_NE(actions, nullptr);
    EXPECT_EQ(actions->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
    EXPECT_EQ(actions->keyBindingsForAction(QAccessibleActionInterface::pressAction()),
              QStringList{"Space"});

    const int logins = PickAnswered([&] {
        actions->doAction(QAccessibleActionInterface::pressAction());
        // The action answers before the pick runs its login dialog.
        EXPECT_EQ(h.dialog->deviceSelected, 0);
    });
    EXPECT_EQ(logins, 1);
    ExpectFrontDoorShown();

    // A row that is gone is no longer pressed.
    QAccessibleInterface* second = Iface(&h.devices())->child(1);
    h.devices().DeleteAllItems();
    EXPECT_FALSE(second->isValid());
    EXPECT_TRUE(second->actionInterface()->actionNames().isEmpty());
}

}  // namespace
