#include "dialog_template.h"

#include <map>
#include <mutex>

using namespace ostrel::dialog;

namespace {

DWORD withOptions(DWORD style, const ControlOptions& options, bool tabStopByDefault) {
    style |= WS_CHILD | WS_VISIBLE;
    if (options.hidden)
        style &= ~WS_VISIBLE;
    if (options.disabled)
        style |= WS_DISABLED;
    if (options.group)
        style |= WS_GROUP;
    if (tabStopByDefault && options.tabStop)
        style |= WS_TABSTOP;
    return style;
}

ControlTemplate make(int id, ControlClass cls, DWORD style, const QRect& rect,
                     const QString& text = {}) {
    ControlTemplate c;
    c.id = id;
    c.controlClass = cls;
    c.style = style;
    c.rect = rect;
    c.text = text;
    return c;
}

std::map<int, DialogTemplate>& registry() {
    static std::map<int, DialogTemplate> templates;
    return templates;
}

std::mutex& registryMutex() {
    static std::mutex mutex;
    return mutex;
}

}  // namespace

const ControlTemplate* DialogTemplate::findControl(int controlId) const {
    for (const auto& c : controls) {
        if (c.id == controlId)
            return &c;
    }
    return nullptr;
}

ControlTemplate ostrel::dialog::PushButton(int id, const QRect& rect, ControlOptions options,
                                           const QString& text) {
    return make(id, ControlClass::Button, withOptions(BS_PUSHBUTTON, options, true), rect, text);
}

ControlTemplate ostrel::dialog::DefPushButton(int id, const QRect& rect, ControlOptions options,
                                              const QString& text) {
    return make(id, ControlClass::Button, withOptions(BS_DEFPUSHBUTTON, options, true), rect, text);
}

ControlTemplate ostrel::dialog::CheckBox(int id, const QString& text, const QRect& rect,
                                         ControlOptions options) {
    return make(id, ControlClass::Button, withOptions(BS_AUTOCHECKBOX, options, true), rect, text);
}

ControlTemplate ostrel::dialog::AutoRadioButton(int id, const QString& text, const QRect& rect,
                                                ControlOptions options) {
    // Only the first radio button of a group is a tab stop.
    return make(id, ControlClass::Button, withOptions(BS_AUTORADIOBUTTON, options, options.group),
                rect, text);
}

ControlTemplate ostrel::dialog::Static(const QString& text, const QRect& rect, int id,
                                       ControlOptions options) {
    options.group = true;
    return make(id, ControlClass::Static, withOptions(SS_LEFT, options, false), rect, text);
}

ControlTemplate ostrel::dialog::Icon(unsigned iconId, const QRect& rect, int id,
                                     ControlOptions options) {
    ControlTemplate c = make(id, ControlClass::Static, withOptions(SS_ICON, options, false), rect);
    c.iconId = iconId;
    return c;
}

ControlTemplate ostrel::dialog::Edit(int id, const QRect& rect, DWORD editStyle, int textLimit,
                                     ControlOptions options) {
    ControlTemplate c = make(id, ControlClass::Edit,
                             withOptions(ES_LEFT | WS_BORDER | editStyle, options, true), rect);
    c.textLimit = textLimit;
    return c;
}

ControlTemplate ostrel::dialog::DropDownList(int id, const QRect& rect, const QStringList& items,
                                             ControlOptions options) {
    ControlTemplate c = make(id, ControlClass::ComboBox,
                             withOptions(CBS_DROPDOWNLIST | WS_VSCROLL, options, true), rect);
    c.initItems = items;
    return c;
}

ControlTemplate ostrel::dialog::ReportList(int id, const QRect& rect, ControlOptions options) {
    return make(
        id, ControlClass::ListView,
        withOptions(LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER, options, true),
        rect);
}

ControlTemplate ostrel::dialog::IpAddress(int id, const QRect& rect, ControlOptions options) {
    return make(id, ControlClass::IpAddress, withOptions(0, options, true), rect);
}

ControlTemplate ostrel::dialog::SmoothProgress(int id, const QRect& rect, ControlOptions options) {
    return make(id, ControlClass::Progress, withOptions(PBS_SMOOTH | WS_BORDER, options, false),
                rect);
}

void ostrel::dialog::RegisterDialogTemplate(const DialogTemplate& dialogTemplate) {
    std::lock_guard lock(registryMutex());
    registry()[dialogTemplate.id] = dialogTemplate;
}

const DialogTemplate* ostrel::dialog::FindDialogTemplate(int id) {
    std::lock_guard lock(registryMutex());
    auto it = registry().find(id);
    return it == registry().end() ? nullptr : &it->second;
}

void ostrel::dialog::UnregisterDialogTemplate(int id) {
    std::lock_guard lock(registryMutex());
    registry().erase(id);
}
