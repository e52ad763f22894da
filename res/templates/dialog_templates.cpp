#include "res/templates/dialog_templates.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>
#include <vector>

#include "ostrel_version.h"
#include "res/product_name.h"
#include "res/templates/control_ids.h"

using namespace ostrel::dialog;

namespace res {
namespace {

constexpr DWORD kSmallDialogStyle = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;

// A template with the product's font face, Arial, at `pointSize`.
DialogTemplate Make(int id, int cx, int cy, int pointSize, DWORD style, DWORD exStyle,
                    const char* caption) {
    DialogTemplate t;
    t.id = id;
    t.cx = cx;
    t.cy = cy;
    t.fontFace = "Arial";
    t.pointSize = pointSize;
    t.style = style;
    t.exStyle = exStyle;
    t.caption = QString::fromLatin1(caption);
    return t;
}

ControlOptions Hidden() {
    return ControlOptions{.hidden = true};
}
ControlOptions Group() {
    return ControlOptions{.group = true};
}

// 102: the frameless main window. Buttons have no captions; their bitmaps
// carry the labels.
DialogTemplate MainWindow() {
    DialogTemplate t =
        Make(IDD_MAIN, 287, 330, 8, WS_POPUP | DS_SETFONT | DS_SETFOREGROUND, WS_EX_APPWINDOW, "");
    t.controls = {
        ReportList(IDC_DEVICE_LIST, {14, 44, 179, 61}),
        PushButton(IDC_SEARCH, {215, 44, 68, 16}),
        PushButton(IDC_WEB_CONSOLE, {215, 64, 68, 16}),
        IpAddress(IDC_IP_ADDRESS, {50, 145, 100, 13}),
        IpAddress(IDC_NETMASK, {50, 161, 100, 13}),
        IpAddress(IDC_GATEWAY, {50, 177, 100, 13}),
        PushButton(IDC_APPLY, {215, 164, 68, 16}),
        ReportList(IDC_VOLUME_LIST, {14, 221, 157, 61}),
        PushButton(IDC_MAP_DRIVE, {215, 250, 68, 16}),
        PushButton(IDC_UNMAP_DRIVE, {215, 270, 68, 16}),
        PushButton(IDC_EXIT, {215, 310, 68, 16}),
        Static("I P :", {14, 148, 14, 8}),
        Static("Netmask :", {14, 164, 32, 8}),
        Static("Gateway :", {14, 180, 38, 8}),
        DropDownList(IDC_DRIVE_LETTERS, {199, 232, 84, 110}),
        DropDownList(IDC_DHCP, {219, 145, 59, 49}, {"Disable", "Enable"}),
        Static("Receive DHCP :", {165, 147, 51, 8}),
        Static("Available Drive Letters :", {195, 220, 78, 8}),
        PushButton(IDC_ABOUT, {133, 310, 68, 16}),
        PushButton(IDC_CODEPAGE_INSTALL, {133, 115, 62, 19}, Hidden()),
        PushButton(IDC_ADDON_INSTALL, {203, 109, 62, 20}, Hidden()),
        PushButton(IDC_MINIMIZE, {258, 3, 12, 10}),
        PushButton(IDC_CLOSE, {271, 3, 12, 10}),
        PushButton(IDC_WIDGET, {202, 102, 62, 21}, Hidden()),
        Static("Model :", {3, 286, 27, 8}, IDC_STATIC, Hidden()),
        Static("MAC :", {3, 302, 27, 8}, IDC_STATIC, Hidden()),
        Static("FW Version :", {3, 318, 46, 8}, IDC_STATIC, Hidden()),
        Static("", {65, 286, 76, 8}, IDC_MODEL_TEXT, Hidden()),
        Static("", {65, 302, 76, 8}, IDC_MAC_TEXT, Hidden()),
        Static("", {65, 318, 76, 8}, IDC_FIRMWARE_TEXT, Hidden()),
    };
    return t;
}

// 134: administrator login.
DialogTemplate Login() {
    DialogTemplate t = Make(IDD_LOGIN, 205, 84, 8, kSmallDialogStyle, 0, "Login");
    t.controls = {
        Static("User name :", {13, 29, 40, 8}),
        Edit(IDC_USER_NAME, {60, 26, 69, 14}, ES_AUTOHSCROLL, 16),
        Static("Password :", {13, 50, 40, 8}),
        Edit(IDC_PASSWORD, {60, 47, 69, 14}, ES_PASSWORD | ES_AUTOHSCROLL, 16),
        PushButton(IDOK, {135, 26, 62, 16}),
        PushButton(IDCANCEL, {135, 46, 62, 16}),
    };
    return t;
}

// 139: the codepage installer's language choice.
DialogTemplate Language() {
    DialogTemplate t = Make(IDD_LANGUAGE, 226, 64, 8, kSmallDialogStyle, 0, "");
    t.controls = {
        DefPushButton(IDOK, {151, 17, 62, 16}),
        PushButton(IDCANCEL, {151, 34, 62, 16}),
        Static("Language :", {14, 21, 36, 8}),
        DropDownList(
            IDC_LANGUAGE_LIST, {52, 19, 94, 59},
            {"Traditional Chinese", "Simplified Chinese", "Western European", "Northern European",
             "Central European", "Turkish", "Korean Hangul", "Cyrillic", "Japanese SJIS"}),
    };
    return t;
}

// 141: the restart window.
DialogTemplate Progress() {
    DialogTemplate t = Make(IDD_PROGRESS, 202, 75, 8, kSmallDialogStyle, 0, "");
    t.controls = {
        Static("The system is restarting. Please wait a moment.", {25, 18, 158, 8}),
        SmoothProgress(IDC_RESTART_PROGRESS, {26, 41, 152, 10}),
    };
    return t;
}

// 180: the install-task window; it has no buttons and closes itself.
DialogTemplate InstallTask() {
    DialogTemplate t = Make(IDD_INSTALL_TASK, 220, 75, 8, kSmallDialogStyle, 0, "");
    t.controls = {
        Static("Loading.....", {6, 11, 36, 8}),
        Static(" Warning: Do not power down your device during this process.", {4, 28, 209, 8}),
        Static("Doing so may physically damage this device.", {6, 45, 144, 8}),
    };
    return t;
}

// 229: asks before a drive letter in use is mapped again.
DialogTemplate MountMessage() {
    DialogTemplate t = Make(IDD_MOUNT_MESSAGE, 165, 68, 8, kSmallDialogStyle, 0, "");
    t.controls = {
        Static("The drive letter has been used.", {17, 13, 114, 8}),
        Static("Do you still want to use this drive letter?", {17, 24, 139, 8}),
        DefPushButton(IDOK, {15, 44, 62, 16}),
        PushButton(IDCANCEL, {81, 44, 62, 16}),
    };
    return t;
}

// 264: offers the desktop widget engine's download.
DialogTemplate WidgetAlert() {
    DialogTemplate t = Make(IDD_WIDGET_ALERT, 343, 117, 8, kSmallDialogStyle, 0, "");
    t.controls = {
        Static("You need to first download and install YAHOO! Widgets Engine.", {10, 14, 323, 8}),
        Static("If you wish to download and install YAHOO! Widgets Engine, please click on the "
               "\"Download\" button.",
               {10, 34, 323, 8}),
        Static("If you have already installed YAHOO! Widgets Engine, please click on the "
               "\"Next\" button to",
               {10, 54, 323, 8}),
        Static("proceed to the next step.", {10, 74, 323, 8}),
        PushButton(IDOK, {206, 92, 61, 16}),
        PushButton(IDCANCEL, {269, 92, 62, 16}),
    };
    return t;
}

// 265: picks the model when the recorder's model text is not known.
DialogTemplate ServerModel() {
    DialogTemplate t = Make(IDD_SERVER_MODEL, 150, 115, 8, kSmallDialogStyle, 0, "");
    t.controls = {
        Static("The model type cannot be recognized.", {11, 15, 128, 8}),
        Static("Please select:", {11, 26, 60, 8}),
        AutoRadioButton(IDC_MODEL_HSV510, "HSV-510", {11, 42, 45, 10}, Group()),
        AutoRadioButton(IDC_MODEL_HSV520, "HSV-520", {11, 56, 45, 10}),
        AutoRadioButton(IDC_MODEL_HSV540, "HSV-540", {11, 70, 45, 10}),
        // WS_GROUP ends the radio group, so walking the group stops here.
        DefPushButton(IDOK, {11, 90, 62, 16}, Group()),
        PushButton(IDCANCEL, {75, 90, 62, 16}),
    };
    return t;
}

// 308: the about box, in Arial 9. The OK button is sized to the width of
// its face bitmap's visible part.
DialogTemplate About() {
    DialogTemplate t = Make(IDD_ABOUT, 271, 78, 9, kSmallDialogStyle, 0, "");
    t.controls = {
        Icon(128, {14, 12, 21, 20}, IDC_ABOUT_ICON),
        Static(kProductName, {48, 12, 200, 10}, IDC_ABOUT_TITLE),
        Static("Finds the recorders on your network and sets them up.", {48, 26, 210, 10},
               IDC_ABOUT_NOTICE),
        Static("Version : " OSTREL_VERSION, {48, 40, 120, 10}, IDC_ABOUT_VERSION),
        DefPushButton(IDOK, {205, 56, 53, 14}),
    };
    return t;
}

const std::vector<DialogTemplate>& All() {
    static const std::vector<DialogTemplate> templates = [] {
        std::vector<DialogTemplate> v = {MainWindow(),  Login(),       Language(),
                                         Progress(),    InstallTask(), MountMessage(),
                                         WidgetAlert(), ServerModel(), About()};
        std::sort(v.begin(), v.end(),
                  [](const DialogTemplate& a, const DialogTemplate& b) { return a.id < b.id; });
        return v;
    }();
    return templates;
}

constexpr std::array kMainBound = {
    IDC_EXIT,
    IDC_ABOUT,
    IDC_APPLY,
    IDC_ADDON_INSTALL,
    IDC_CLOSE,
    IDC_MINIMIZE,
    IDC_CODEPAGE_INSTALL,
    IDC_WEB_CONSOLE,
    IDC_UNMAP_DRIVE,
    IDC_MAP_DRIVE,
    IDC_WIDGET,
    IDC_DRIVE_LETTERS,
    IDC_DHCP,
    IDC_VOLUME_LIST,
    IDC_DEVICE_LIST,
    IDC_SEARCH,
    IDC_IP_ADDRESS,
    IDC_NETMASK,
    IDC_GATEWAY,
};

}  // namespace

std::span<const DialogTemplate> ProductDialogTemplates() {
    return All();
}

const DialogTemplate& ProductDialogTemplate(int id) {
    for (const DialogTemplate& t : All()) {
        if (t.id == id)
            return t;
    }
    throw std::out_of_range("no dialog template " + std::to_string(id));
}

void RegisterProductDialogTemplates() {
    for (const DialogTemplate& t : All())
        RegisterDialogTemplate(t);
}

std::span<const int> MainWindowBoundControls() {
    return kMainBound;
}

}  // namespace res
