#include "button.h"

#include <QPainter>
#include <QStyleOptionButton>

#include "dialog.h"
#include "gdi.h"

using namespace ostrel::dialog;

CButton::CButton(QWidget* parent) : QAbstractButton(parent), CWnd(this) {
    SetStyleWord(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON);
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QAbstractButton::clicked, this, [this] { onClicked(); });
}

CButton::~CButton() = default;

BOOL CButton::Create(const QString& caption, DWORD style, const QRect& rect, CWnd* parent, int id) {
    setText(caption);
    return CreateChild(style, rect, parent, id);
}

bool CButton::AcceptsClass(ControlClass controlClass) const {
    return controlClass == ControlClass::Button;
}

void CButton::ApplyTemplate(const ControlTemplate& control) {
    setText(control.text);
}

void CButton::SetWindowText(const QString& text) {
    setText(text);
    update();
}

QString CButton::GetWindowText() const {
    return text();
}

int CButton::GetCheck() const {
    return static_cast<int>(const_cast<CButton*>(this)->SendMessage(BM_GETCHECK, 0, 0));
}

void CButton::SetCheck(int check) {
    SendMessage(BM_SETCHECK, static_cast<WPARAM>(check), 0);
}

UINT CButton::GetState() const {
    return static_cast<UINT>(const_cast<CButton*>(this)->SendMessage(BM_GETSTATE, 0, 0));
}

void CButton::SetState(BOOL pushed) {
    SendMessage(BM_SETSTATE, pushed ? 1 : 0, 0);
}

void CButton::SetButtonStyle(UINT style, BOOL redraw) {
    ModifyStyle(0xFFFF, style & 0xFFFF);
    if (redraw)
        update();
}

void CButton::SetAccessibleName(const QString& name) {
    setAccessibleName(name);
}

void CButton::SetToolTip(const QString& tip) {
    setToolTip(tip);
}

LRESULT CButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case BM_GETCHECK:
            return check_;
        case BM_SETCHECK: {
            const DWORD type = GetStyle() & BS_TYPEMASK;
            if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
                type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE) {
                check_ = static_cast<int>(wParam) & 3;
                update();
            }
            return 0;
        }
        case BM_GETSTATE:
            return check_ | (isDown() ? BST_PUSHED : 0) | (hasFocus() ? BST_FOCUS : 0);
        case BM_SETSTATE:
            setDown(wParam != 0);
            update();
            return 0;
        case BM_CLICK:
            click();
            return 0;
        default:
            return CWnd::WindowProc(message, wParam, lParam);
    }
}

void CButton::onClicked() {
    const DWORD type = GetStyle() & BS_TYPEMASK;
    if (type == BS_AUTOCHECKBOX) {
        SetCheck(GetCheck() == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
    } else if (type == BS_AUTORADIOBUTTON) {
        SetCheck(BST_CHECKED);
        if (CDialog* dialog = GetOwnerDialog()) {
            for (CWnd* other = dialog->GetNextDlgGroupItem(this); other && other != this;
                 other = dialog->GetNextDlgGroupItem(other)) {
                auto* button = dynamic_cast<CButton*>(other);
                if (button && (button->GetStyle() & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
                    button->SetCheck(BST_UNCHECKED);
            }
        }
    }
    NotifyParentCommand(BN_CLICKED);
}

void CButton::nextCheckState() {}

void CButton::checkStateSet() {}

void CButton::DrawItem(DRAWITEMSTRUCT* /*drawItem*/) {}

QSize CButton::sizeHint() const {
    return size();
}

bool CButton::event(QEvent* event) {
    if (dispatchPostedMessage(event))
        return true;
    return QAbstractButton::event(event);
}

void CButton::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const DWORD type = GetStyle() & BS_TYPEMASK;
    if (type == BS_OWNERDRAW) {
        DRAWITEMSTRUCT item;
        item.CtlID = static_cast<UINT>(GetDlgCtrlID());
        item.hwndItem = this;
        item.hDC = &painter;
        item.rcItem = rect();
        item.itemState = (isDown() ? ODS_SELECTED : 0) | (hasFocus() ? ODS_FOCUS : 0) |
                         (isEnabled() ? 0 : ODS_DISABLED);
        DrawItem(&item);
        return;
    }
    QStyleOptionButton option;
    option.initFrom(this);
    option.text = StripMnemonic(text());
    if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
        type == BS_AUTO3STATE) {
        option.state |= check_ == BST_CHECKED ? QStyle::State_On : QStyle::State_Off;
        if (isDown())
            option.state |= QStyle::State_Sunken;
        style()->drawControl(QStyle::CE_CheckBox, &option, &painter, this);
    } else if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) {
        option.state |= check_ == BST_CHECKED ? QStyle::State_On : QStyle::State_Off;
        if (isDown())
            option.state |= QStyle::State_Sunken;
        style()->drawControl(QStyle::CE_RadioButton, &option, &painter, this);
    } else {
        option.state |= isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
        if (type == BS_DEFPUSHBUTTON)
            option.features |= QStyleOptionButton::DefaultButton;
        style()->drawControl(QStyle::CE_PushButton, &option, &painter, this);
    }
}
