// The dialog templates as data: counts, ids, visibility, styles and the
// details the dialogs depend on.

#include <map>
#include <set>

#include <gtest/gtest.h>

#include "platform/dialog/dialog_template.h"
#include "res/button_skins.h"
#include "res/templates/control_ids.h"
#include "res/templates/dialog_templates.h"

using namespace ostrel::dialog;

namespace {

using res::ProductDialogTemplate;

TEST(Templates, EveryTemplateHasItsControlsWithUniqueIds) {
    const std::map<int, std::size_t> expectedCounts = {
        {102, 30}, {134, 6}, {139, 4}, {141, 2}, {180, 3}, {229, 4}, {264, 6}, {265, 7}, {308, 5},
    };
    ASSERT_EQ(res::ProductDialogTemplates().size(), expectedCounts.size());
    for (const DialogTemplate& t : res::ProductDialogTemplates()) {
        ASSERT_TRUE(expectedCounts.count(t.id)) << t.id;
        EXPECT_EQ(t.controls.size(), expectedCounts.at(t.id)) << "template " << t.id;
        std::set<int> ids;
        for (const ControlTemplate& c : t.controls) {
            if (c.id == IDC_STATIC)
                continue;
            EXPECT_TRUE(ids.insert(c.id).second) << "template " << t.id << " repeats id " << c.id;
            // Every control lies inside its dialog (a combo box's rectangle
            // includes its open list, which may reach past the bottom).
            EXPECT_TRUE(QRect(0, 0, t.cx, t.cy).contains(c.rect) ||
                        c.controlClass == ControlClass::ComboBox)
                << "template " << t.id << " control " << c.id;
        }
        EXPECT_EQ(t.fontFace, "Arial");
        EXPECT_EQ(t.pointSize, t.id == res::IDD_ABOUT ? 9 : 8) << t.id;
    }
    EXPECT_THROW(ProductDialogTemplate(103), std::out_of_range);
}

TEST(Templates, MainWindowIsFramelessWithNineteenBoundControls) {
    const DialogTemplate& t = ProductDialogTemplate(res::IDD_MAIN);
    EXPECT_EQ(t.cx, 287);
    EXPECT_EQ(t.cy, 330);
    EXPECT_FALSE(t.hasCaption());
    EXPECT_EQ(t.style & WS_BORDER, 0u);
    EXPECT_NE(t.style & DS_SETFOREGROUND, 0u);
    EXPECT_NE(t.exStyle & WS_EX_APPWINDOW, 0u);

    const auto bound = res::MainWindowBoundControls();
    ASSERT_EQ(bound.size(), 19u);
    EXPECT_EQ(std::set<int>(bound.begin(), bound.end()).size(), 19u);
    for (int id : bound)
        EXPECT_NE(t.findControl(id), nullptr) << id;
    EXPECT_EQ(bound.front(), res::IDC_EXIT);
    EXPECT_EQ(bound.back(), res::IDC_GATEWAY);

    // Exactly the add-on buttons and the device identity lines are hidden.
    std::set<int> hiddenIds;
    int hiddenStatics = 0;
    for (const ControlTemplate& c : t.controls) {
        if (c.visible())
            continue;
        if (c.id == IDC_STATIC) {
            ++hiddenStatics;
        } else {
            hiddenIds.insert(c.id);
        }
    }
    EXPECT_EQ(hiddenIds, (std::set<int>{1022, 1025, 1032, 1039, 1040, 1041}));
    EXPECT_EQ(hiddenStatics, 3);

    // No button has a caption or is the default button.
    for (const ControlTemplate& c : t.controls) {
        if (c.controlClass != ControlClass::Button)
            continue;
        EXPECT_TRUE(c.text.isEmpty()) << c.id;
        EXPECT_FALSE(c.isDefaultButton()) << c.id;
    }
    const ControlTemplate* dhcp = t.findControl(res::IDC_DHCP);
    ASSERT_NE(dhcp, nullptr);
    EXPECT_EQ(dhcp->initItems, (QStringList{"Disable", "Enable"}));
    EXPECT_EQ(dhcp->style & CBS_DROPDOWNLIST, CBS_DROPDOWNLIST);
    EXPECT_NE(dhcp->style & WS_VSCROLL, 0u);
    for (int list : {res::IDC_DEVICE_LIST, res::IDC_VOLUME_LIST}) {
        const ControlTemplate* c = t.findControl(list);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->style & (LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER),
                  LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER);
    }
    EXPECT_EQ(t.findControl(res::IDC_DEVICE_LIST)->rect, QRect(14, 44, 179, 61));
    EXPECT_EQ(t.findControl(res::IDC_CLOSE)->rect, QRect(271, 3, 12, 10));
    EXPECT_EQ(t.findControl(res::IDC_MINIMIZE)->rect, QRect(258, 3, 12, 10));
}

TEST(Templates, SmallDialogsHaveTheirCaptionsDefaultsAndLimits) {
    const DialogTemplate& login = ProductDialogTemplate(res::IDD_LOGIN);
    EXPECT_EQ(login.caption, "Login");
    EXPECT_TRUE(login.hasCaption());
    const ControlTemplate* user = login.findControl(res::IDC_USER_NAME);
    const ControlTemplate* password = login.findControl(res::IDC_PASSWORD);
    ASSERT_TRUE(user && password);
    EXPECT_EQ(user->textLimit, 16);
    EXPECT_EQ(password->textLimit, 16);
    EXPECT_EQ(user->style & ES_PASSWORD, 0u);
    EXPECT_NE(password->style & ES_PASSWORD, 0u);
    EXPECT_NE(password->style & ES_AUTOHSCROLL, 0u);

    for (int id :
         {res::IDD_LANGUAGE, res::IDD_MOUNT_MESSAGE, res::IDD_SERVER_MODEL, res::IDD_ABOUT}) {
        const DialogTemplate& t = ProductDialogTemplate(id);
        EXPECT_TRUE(t.hasCaption()) << id;
        EXPECT_TRUE(t.caption.isEmpty()) << id;
        ASSERT_NE(t.findControl(IDOK), nullptr) << id;
        EXPECT_TRUE(t.findControl(IDOK)->isDefaultButton()) << id;
    }
    const DialogTemplate& widget = ProductDialogTemplate(res::IDD_WIDGET_ALERT);
    EXPECT_FALSE(widget.findControl(IDOK)->isDefaultButton());
    EXPECT_FALSE(widget.findControl(IDCANCEL)->isDefaultButton());
    EXPECT_TRUE(widget.controls[1].text.contains("\"Download\" button."));

    const ControlTemplate* languages =
        ProductDialogTemplate(res::IDD_LANGUAGE).findControl(res::IDC_LANGUAGE_LIST);
    ASSERT_NE(languages, nullptr);
    ASSERT_EQ(languages->initItems.size(), 9);
    EXPECT_EQ(languages->initItems[2], "Western European");
    EXPECT_EQ(languages->initItems[8], "Japanese SJIS");

    const ControlTemplate* bar =
        ProductDialogTemplate(res::IDD_PROGRESS).findControl(res::IDC_RESTART_PROGRESS);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->controlClass, ControlClass::Progress);
    EXPECT_EQ(bar->rect, QRect(26, 41, 152, 10));

    // The install-task window has no button at all.
    for (const ControlTemplate& c : ProductDialogTemplate(res::IDD_INSTALL_TASK).controls) {
        EXPECT_EQ(c.controlClass, ControlClass::Static);
    }

    const DialogTemplate& about = ProductDialogTemplate(res::IDD_ABOUT);
    EXPECT_EQ(about.cx, 271);
    EXPECT_EQ(about.cy, 78);
    EXPECT_EQ(about.findControl(res::IDC_ABOUT_TITLE)->text, "Ostrel NVR Search Utility");
    EXPECT_EQ(about.findControl(res::IDC_ABOUT_VERSION)->text, "Version : 1.0.2.2");
    EXPECT_EQ(about.findControl(res::IDC_ABOUT_ICON)->iconId, 128u);
}

TEST(Templates, ModelPickerRadiosFormOneGroupClosedByOk) {
    const DialogTemplate& t = ProductDialogTemplate(res::IDD_SERVER_MODEL);
    const int radios[] = {res::IDC_MODEL_HSV510, res::IDC_MODEL_HSV520, res::IDC_MODEL_HSV540};
    for (int id : radios) {
        const ControlTemplate* c = t.findControl(id);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->style & BS_TYPEMASK, BS_AUTORADIOBUTTON);
        EXPECT_EQ(c->groupStart(), id == res::IDC_MODEL_HSV510) << id;
    }
    // The control after the last radio starts a new group, so walking the
    // radios' group forward comes back round instead of reaching OK.
    EXPECT_TRUE(t.findControl(IDOK)->groupStart());
}

TEST(Templates, SkinnedButtonsExistInTheirTemplates) {
    for (const res::ButtonSkin& s : res::ButtonSkins()) {
        const ControlTemplate* c = ProductDialogTemplate(s.templateId).findControl(s.controlId);
        ASSERT_NE(c, nullptr) << s.templateId << "/" << s.controlId;
        EXPECT_EQ(c->controlClass, ControlClass::Button);
    }
    EXPECT_EQ(res::FindButtonSkin(res::IDD_MAIN, res::IDC_WIDGET), nullptr);
}

TEST(Templates, RegistrationMakesThemFindableByNumber) {
    res::RegisterProductDialogTemplates();
    res::RegisterProductDialogTemplates();  // twice is harmless
    for (const DialogTemplate& t : res::ProductDialogTemplates()) {
        const DialogTemplate* found = FindDialogTemplate(t.id);
        ASSERT_NE(found, nullptr) << t.id;
        EXPECT_EQ(found->controls.size(), t.controls.size());
    }
}

}  // namespace
