#include "edit.h"

#include "sys_colors.h"

using namespace ostrel::dialog;

namespace {
constexpr int kPlatformLimit = 32767;
}

CEdit::CEdit(QWidget* parent) : QLineEdit(parent), CWnd(this) {
    SetStyleWord(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL);
    QPalette pal = palette();
    pal.setColor(QPalette::Base, sysColor(COLOR_WINDOW));
    pal.setColor(QPalette::Text, sysColor(COLOR_WINDOWTEXT));
    pal.setColor(QPalette::Disabled, QPalette::Base, sysColor(COLOR_BTNFACE));
    pal.setColor(QPalette::Disabled, QPalette::Text, sysColor(COLOR_GRAYTEXT));
    setPalette(pal);
    connect(this, &QLineEdit::textChanged, this, [this] { NotifyParentCommand(EN_CHANGE); });
}

CEdit::~CEdit() = default;

bool CEdit::AcceptsClass(ControlClass controlClass) const {
    return controlClass == ControlClass::Edit;
}

void CEdit::ApplyTemplate(const ControlTemplate& control) {
    setEchoMode((GetStyle() & ES_PASSWORD) ? QLineEdit::Password : QLineEdit::Normal);
    setFrame((GetStyle() & WS_BORDER) != 0 || (GetExStyle() & WS_EX_CLIENTEDGE) != 0);
    SetLimitText(control.textLimit > 0 ? static_cast<UINT>(control.textLimit) : 0);
    setText(control.text);
}

void CEdit::SetLimitText(UINT maxChars) {
    setMaxLength(maxChars == 0 || maxChars > kPlatformLimit ? kPlatformLimit
                                                            : static_cast<int>(maxChars));
}

UINT CEdit::GetLimitText() const {
    return static_cast<UINT>(maxLength());
}

void CEdit::SetPasswordChar(QChar ch) {
    setEchoMode(ch.isNull() ? QLineEdit::Normal : QLineEdit::Password);
    if (ch.isNull()) {
        ModifyStyle(ES_PASSWORD, 0);
    } else {
        ModifyStyle(0, ES_PASSWORD);
    }
}

void CEdit::SetSel(int start, int end) {
    if (start == 0 && end == -1) {
        selectAll();
    } else if (start < 0) {
        deselect();
    } else {
        setSelection(start, (end < 0 ? static_cast<int>(text().size()) : end) - start);
    }
}

void CEdit::ReplaceSel(const QString& text) {
    insert(text);
}

void CEdit::SetWindowText(const QString& text) {
    setText(text);
}

QString CEdit::GetWindowText() const {
    return text();
}

LRESULT CEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == EM_LIMITTEXT) {
        SetLimitText(static_cast<UINT>(wParam));
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

bool CEdit::event(QEvent* event) {
    if (dispatchPostedMessage(event))
        return true;
    return QLineEdit::event(event);
}
