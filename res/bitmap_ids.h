#pragma once

// Every bitmap resource of the product, by the number the dialogs load it
// with. Button faces come in pairs: the first id is the normal face, the
// next the face shown while the button is pressed or hovered.

namespace res {

// Title-bar glyphs of the main window (16 x 16).
inline constexpr unsigned IDB_CLOSE = 262;
inline constexpr unsigned IDB_CLOSE_DOWN = 378;
inline constexpr unsigned IDB_MINIMIZE = 263;
inline constexpr unsigned IDB_MINIMIZE_DOWN = 379;

// Main window buttons.
inline constexpr unsigned IDB_SEARCH = 284;
inline constexpr unsigned IDB_SEARCH_DOWN = 285;
inline constexpr unsigned IDB_CONFIGURE = 286;
inline constexpr unsigned IDB_CONFIGURE_DOWN = 287;
inline constexpr unsigned IDB_CODEPAGE = 288;
inline constexpr unsigned IDB_CODEPAGE_DOWN = 289;
inline constexpr unsigned IDB_ADDON = 290;
inline constexpr unsigned IDB_ADDON_DOWN = 291;
inline constexpr unsigned IDB_APPLY = 294;
inline constexpr unsigned IDB_APPLY_DOWN = 295;
inline constexpr unsigned IDB_MAP_DRIVE = 296;
inline constexpr unsigned IDB_MAP_DRIVE_DOWN = 297;
inline constexpr unsigned IDB_UNMAP = 298;
inline constexpr unsigned IDB_UNMAP_DOWN = 299;
inline constexpr unsigned IDB_ABOUT = 300;
inline constexpr unsigned IDB_ABOUT_DOWN = 301;
inline constexpr unsigned IDB_EXIT = 302;
inline constexpr unsigned IDB_EXIT_DOWN = 303;

// Buttons of the small dialogs.
inline constexpr unsigned IDB_CANCEL = 304;
inline constexpr unsigned IDB_CANCEL_DOWN = 305;
inline constexpr unsigned IDB_OK = 306;
inline constexpr unsigned IDB_OK_DOWN = 307;
inline constexpr unsigned IDB_DOWNLOAD = 280;
inline constexpr unsigned IDB_DOWNLOAD_DOWN = 281;
inline constexpr unsigned IDB_NEXT = 282;
inline constexpr unsigned IDB_NEXT_DOWN = 283;

// Dialog backgrounds.
inline constexpr unsigned IDB_BG_MAIN = 267;
inline constexpr unsigned IDB_BG_ABOUT = 268;
inline constexpr unsigned IDB_BG_WIDGET_ALERT = 269;
inline constexpr unsigned IDB_BG_MOUNT_MESSAGE = 270;
inline constexpr unsigned IDB_BG_PROGRESS = 271;
inline constexpr unsigned IDB_BG_LOGIN = 272;
inline constexpr unsigned IDB_BG_LANGUAGE = 273;  // also the install-task window, 1:1
inline constexpr unsigned IDB_BG_SERVER_MODEL = 274;

// List header.
inline constexpr unsigned IDB_HEADER_STRIP = 374;
inline constexpr unsigned IDB_HEADER_SEPARATOR = 240;

// List scroll bars, enabled.
inline constexpr unsigned IDB_HSCROLL_RIGHT = 231;
inline constexpr unsigned IDB_HSCROLL_TRACK = 232;
inline constexpr unsigned IDB_HSCROLL_LEFT = 233;
inline constexpr unsigned IDB_VSCROLL_UP = 234;
inline constexpr unsigned IDB_VSCROLL_TRACK = 235;
inline constexpr unsigned IDB_VSCROLL_THUMB = 236;
inline constexpr unsigned IDB_VSCROLL_DOWN = 237;
inline constexpr unsigned IDB_HSCROLL_THUMB = 243;

// List scroll bars, disabled (nothing to scroll).
inline constexpr unsigned IDB_HSCROLL_LEFT_OFF = 380;
inline constexpr unsigned IDB_HSCROLL_RIGHT_OFF = 381;
inline constexpr unsigned IDB_HSCROLL_TRACK_OFF = 382;
inline constexpr unsigned IDB_VSCROLL_UP_OFF = 383;
inline constexpr unsigned IDB_VSCROLL_TRACK_OFF = 384;
inline constexpr unsigned IDB_VSCROLL_DOWN_OFF = 385;

// Carried so the set is complete, drawn by no window.
inline constexpr unsigned IDB_VSCROLL_THUMB_OFF = 230;
inline constexpr unsigned IDB_HEADER_SEPARATOR_DOWN = 239;
inline constexpr unsigned IDB_HSCROLL_THUMB_OFF = 244;
inline constexpr unsigned IDB_SCROLL_CORNER = 246;
inline constexpr unsigned IDB_HEADER_STRIP_DOWN = 247;
inline constexpr unsigned IDB_SPARE = 292;
inline constexpr unsigned IDB_SPARE_DOWN = 293;

// The application icon.
inline constexpr unsigned IDI_APP = 128;

}  // namespace res
