#pragma once

// Every dialog template number and control id of the product, in one place.
// IDOK (1), IDCANCEL (2) and IDC_STATIC (-1) come from the dialog layer.

namespace res {

// Dialog templates.
inline constexpr int IDD_MAIN = 102;           // CLanscoutDlg, the main window
inline constexpr int IDD_LOGIN = 134;          // login
inline constexpr int IDD_LANGUAGE = 139;       // language
inline constexpr int IDD_PROGRESS = 141;       // progress, the restart window
inline constexpr int IDD_INSTALL_TASK = 180;   // messageDlg
inline constexpr int IDD_MOUNT_MESSAGE = 229;  // MountMessage
inline constexpr int IDD_WIDGET_ALERT = 264;   // yahoowidgetalert
inline constexpr int IDD_SERVER_MODEL = 265;   // ServerModel
inline constexpr int IDD_ABOUT = 308;          // showabout
// The skinned network-credentials prompt: built in code, not one of the
// product's templates, but its buttons are named like theirs.
inline constexpr int IDD_CREDENTIALS_PROMPT = 0x7E02;

// Main window (102).
inline constexpr int IDC_DEVICE_LIST = 1000;
inline constexpr int IDC_VOLUME_LIST = 1001;
inline constexpr int IDC_SEARCH = 1002;
inline constexpr int IDC_MAP_DRIVE = 1003;
inline constexpr int IDC_UNMAP_DRIVE = 1004;
inline constexpr int IDC_IP_ADDRESS = 1006;
inline constexpr int IDC_APPLY = 1007;
inline constexpr int IDC_WEB_CONSOLE = 1008;  // labelled "Configure"
inline constexpr int IDC_EXIT = 1009;
inline constexpr int IDC_NETMASK = 1010;
inline constexpr int IDC_GATEWAY = 1011;
inline constexpr int IDC_DRIVE_LETTERS = 1013;
inline constexpr int IDC_DHCP = 1015;
inline constexpr int IDC_ABOUT = 1021;
inline constexpr int IDC_CODEPAGE_INSTALL = 1022;  // hidden
inline constexpr int IDC_ADDON_INSTALL = 1025;     // hidden
inline constexpr int IDC_MINIMIZE = 1027;
inline constexpr int IDC_CLOSE = 1028;
inline constexpr int IDC_WIDGET = 1032;         // hidden, no bitmaps
inline constexpr int IDC_MODEL_TEXT = 1039;     // hidden
inline constexpr int IDC_MAC_TEXT = 1040;       // hidden
inline constexpr int IDC_FIRMWARE_TEXT = 1041;  // hidden

// Login (134).
inline constexpr int IDC_USER_NAME = 1016;
inline constexpr int IDC_PASSWORD = 1017;

// Language (139).
inline constexpr int IDC_LANGUAGE_LIST = 1022;

// Restart window (141).
inline constexpr int IDC_RESTART_PROGRESS = 1023;

// Model picker (265).
inline constexpr int IDC_MODEL_HSV510 = 1029;
inline constexpr int IDC_MODEL_HSV520 = 1030;
inline constexpr int IDC_MODEL_HSV540 = 1031;

// About box (308).
inline constexpr int IDC_ABOUT_ICON = 1050;
inline constexpr int IDC_ABOUT_TITLE = 1051;
inline constexpr int IDC_ABOUT_NOTICE = 1052;
inline constexpr int IDC_ABOUT_VERSION = 1053;

}  // namespace res
