#pragma once

// Dialog templates as data: what a Windows dialog resource holds.
//
// A template has its number, its size in dialog units, its font, its window
// style and its controls in template order (which is also the tab and group
// order). Each control carries a real Win32 style word: the kind bits
// (BS_*, ES_*, SS_*, CBS_*, LVS_*, PBS_*) plus WS_VISIBLE, WS_DISABLED,
// WS_GROUP, WS_TABSTOP, WS_BORDER, WS_VSCROLL. Build controls with the
// helper functions below; they set the same bits a resource compiler sets
// for the corresponding statement, and the result can be adjusted by hand:
//
//   DialogTemplate t{.id = 134, .cx = 205, .cy = 84, .fontFace = "Arial",
//                    .pointSize = 8,
//                    .style = DS_SETFONT | DS_MODALFRAME | WS_POPUP |
//                             WS_CAPTION | WS_SYSMENU,
//                    .caption = "Login"};
//   t.controls = {Static("User name :", {13, 29, 40, 8}),
//                 Edit(1016, {60, 26, 69, 14}, ES_AUTOHSCROLL),
//                 PushButton(IDOK, {135, 26, 62, 16}), ...};
//   RegisterDialogTemplate(t);

#include <QRect>
#include <QString>
#include <QStringList>
#include <vector>

#include "win_types.h"

namespace ostrel::dialog {

enum class ControlClass {
    Button,  // push, default push, check box, radio button (BS_* type)
    Static,  // text (SS_LEFT / SS_CENTER / SS_RIGHT) or icon (SS_ICON)
    Edit,
    ComboBox,
    ListView,  // report list view
    IpAddress,
    Progress,
};

struct ControlTemplate {
    int id = IDC_STATIC;
    ControlClass controlClass = ControlClass::Static;
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD exStyle = 0;
    QRect rect;             // x, y, width, height in dialog units
    QString text;           // caption: static texts, check boxes, radio buttons
    unsigned iconId = 0;    // SS_ICON: the icon resource
    QStringList initItems;  // combo box: the dialog-init strings, in order
    int textLimit = 0;      // edit: character limit, 0 for the platform's

    bool visible() const { return (style & WS_VISIBLE) != 0; }
    bool disabled() const { return (style & WS_DISABLED) != 0; }
    bool groupStart() const { return (style & WS_GROUP) != 0; }
    bool tabStop() const { return (style & WS_TABSTOP) != 0; }
    bool isDefaultButton() const {
        return controlClass == ControlClass::Button && (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    }
};

struct DialogTemplate {
    int id = 0;
    int cx = 0;  // client width in dialog units
    int cy = 0;  // client height in dialog units
    QString fontFace = "Arial";
    int pointSize = 8;
    // WS_POPUP alone: a frameless window. WS_CAPTION (| WS_SYSMENU): a title
    // bar with the close box. DS_MODALFRAME: a fixed-size dialog frame.
    // DS_SETFOREGROUND: brought to the front when shown.
    DWORD style = WS_POPUP | DS_SETFONT;
    // WS_EX_APPWINDOW: its own taskbar button.
    DWORD exStyle = 0;
    QString caption;
    std::vector<ControlTemplate> controls;

    bool hasCaption() const { return (style & WS_CAPTION) == WS_CAPTION; }
    const ControlTemplate* findControl(int id) const;
};

// Extra style bits for the helpers: `hidden` clears WS_VISIBLE.
struct ControlOptions {
    bool hidden = false;
    bool disabled = false;
    bool group = false;   // WS_GROUP
    bool tabStop = true;  // WS_TABSTOP where the kind has it by default
};

// PUSHBUTTON / DEFPUSHBUTTON: BS_PUSHBUTTON | WS_TABSTOP (empty caption
// unless given).
ControlTemplate PushButton(int id, const QRect& rect, ControlOptions options = {},
                           const QString& text = {});
ControlTemplate DefPushButton(int id, const QRect& rect, ControlOptions options = {},
                              const QString& text = {});
// AUTOCHECKBOX: BS_AUTOCHECKBOX | WS_TABSTOP.
ControlTemplate CheckBox(int id, const QString& text, const QRect& rect,
                         ControlOptions options = {});
// AUTORADIOBUTTON: BS_AUTORADIOBUTTON; the first of a group takes
// options.group (and the tab stop).
ControlTemplate AutoRadioButton(int id, const QString& text, const QRect& rect,
                                ControlOptions options = {});
// LTEXT (SS_LEFT, WS_GROUP as the resource compiler sets it); id defaults
// to IDC_STATIC.
ControlTemplate Static(const QString& text, const QRect& rect, int id = IDC_STATIC,
                       ControlOptions options = {});
// ICON: SS_ICON showing icon resource `iconId`.
ControlTemplate Icon(unsigned iconId, const QRect& rect, int id = IDC_STATIC,
                     ControlOptions options = {});
// EDITTEXT: ES_LEFT | WS_BORDER | WS_TABSTOP | `editStyle` (ES_PASSWORD,
// ES_AUTOHSCROLL).
ControlTemplate Edit(int id, const QRect& rect, DWORD editStyle = ES_AUTOHSCROLL, int textLimit = 0,
                     ControlOptions options = {});
// COMBOBOX CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP with its initial items.
ControlTemplate DropDownList(int id, const QRect& rect, const QStringList& items = {},
                             ControlOptions options = {});
// SysListView32 LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER |
// WS_TABSTOP.
ControlTemplate ReportList(int id, const QRect& rect, ControlOptions options = {});
// SysIPAddress32 | WS_TABSTOP.
ControlTemplate IpAddress(int id, const QRect& rect, ControlOptions options = {});
// msctls_progress32 PBS_SMOOTH | WS_BORDER.
ControlTemplate SmoothProgress(int id, const QRect& rect, ControlOptions options = {});

// The process-wide set of templates, by number. The resource layer
// registers the product's templates at start-up; tests register their own.
void RegisterDialogTemplate(const DialogTemplate& dialogTemplate);
const DialogTemplate* FindDialogTemplate(int id);
void UnregisterDialogTemplate(int id);

}  // namespace ostrel::dialog
