#include "ip_address_ctrl.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

#include "gdi.h"
#include "sys_colors.h"

using namespace ostrel::dialog;

namespace {
constexpr int kEdge = 2;  // the sunken client edge
}

CIPAddressCtrl::CIPAddressCtrl(QWidget* parent) : QWidget(parent), CWnd(this) {
    SetStyleWord(WS_CHILD | WS_VISIBLE | WS_TABSTOP);
    setFocusPolicy(Qt::StrongFocus);
    for (int k = 0; k < 4; ++k) {
        auto* field = new QLineEdit(this);
        field->setFrame(false);
        field->setAlignment(Qt::AlignCenter);
        field->setMaxLength(3);
        field->setFocusPolicy(Qt::ClickFocus);
        field->setContextMenuPolicy(Qt::NoContextMenu);
        field->setAccessibleName(QStringLiteral("Field %1").arg(k + 1));
        QPalette pal = field->palette();
        pal.setColor(QPalette::Base, sysColor(COLOR_WINDOW));
        pal.setColor(QPalette::Text, sysColor(COLOR_WINDOWTEXT));
        pal.setColor(QPalette::Disabled, QPalette::Base, sysColor(COLOR_BTNFACE));
        pal.setColor(QPalette::Disabled, QPalette::Text, sysColor(COLOR_GRAYTEXT));
        field->setPalette(pal);
        field->installEventFilter(this);
        connect(field, &QLineEdit::textEdited, this, [this, k] { onTextEdited(k); });
        fields_[static_cast<std::size_t>(k)] = field;
    }
    setFocusProxy(fields_[0]);
    layoutFields();
}

CIPAddressCtrl::~CIPAddressCtrl() = default;

bool CIPAddressCtrl::AcceptsClass(ControlClass controlClass) const {
    return controlClass == ControlClass::IpAddress;
}

QLineEdit* CIPAddressCtrl::Field(int field) const {
    return field >= 0 && field < 4 ? fields_[static_cast<std::size_t>(field)] : nullptr;
}

QString CIPAddressCtrl::FieldText(int field) const {
    QLineEdit* f = Field(field);
    return f ? f->text() : QString();
}

void CIPAddressCtrl::ClearAddress() {
    for (QLineEdit* f : fields_)
        f->clear();
}

void CIPAddressCtrl::SetAddress(DWORD address) {
    SetAddress(static_cast<BYTE>(address >> 24), static_cast<BYTE>(address >> 16),
               static_cast<BYTE>(address >> 8), static_cast<BYTE>(address));
}

void CIPAddressCtrl::SetAddress(BYTE field0, BYTE field1, BYTE field2, BYTE field3) {
    const BYTE values[4] = {field0, field1, field2, field3};
    for (int k = 0; k < 4; ++k)
        fields_[static_cast<std::size_t>(k)]->setText(QString::number(values[k]));
}

int CIPAddressCtrl::GetAddress(BYTE& field0, BYTE& field1, BYTE& field2, BYTE& field3) const {
    BYTE* out[4] = {&field0, &field1, &field2, &field3};
    int nonBlank = 0;
    for (int k = 0; k < 4; ++k) {
        const QString text = fields_[static_cast<std::size_t>(k)]->text();
        if (text.isEmpty()) {
            *out[k] = 0;
        } else {
            ++nonBlank;
            *out[k] = static_cast<BYTE>(std::min(255, text.toInt()));
        }
    }
    return nonBlank;
}

int CIPAddressCtrl::GetAddress(DWORD& address) const {
    BYTE b[4];
    const int count = GetAddress(b[0], b[1], b[2], b[3]);
    address = (DWORD{b[0]} << 24) | (DWORD{b[1]} << 16) | (DWORD{b[2]} << 8) | DWORD{b[3]};
    return count;
}

BOOL CIPAddressCtrl::IsBlank() const {
    for (QLineEdit* f : fields_) {
        if (!f->text().isEmpty())
            return FALSE;
    }
    return TRUE;
}

void CIPAddressCtrl::SetFieldFocus(WORD field) {
    int k = field;
    if (field > 3) {
        k = 0;
        for (int i = 0; i < 4; ++i) {
            if (fields_[static_cast<std::size_t>(i)]->text().isEmpty()) {
                k = i;
                break;
            }
        }
    }
    focusField(k, true);
}

void CIPAddressCtrl::focusField(int field, bool selectAll) {
    QLineEdit* f = fields_[static_cast<std::size_t>(field)];
    f->setFocus(Qt::OtherFocusReason);
    if (selectAll) {
        f->selectAll();
    } else {
        f->setCursorPosition(static_cast<int>(f->text().size()));
    }
}

QString CIPAddressCtrl::GetWindowText() const {
    BYTE b[4];
    GetAddress(b[0], b[1], b[2], b[3]);
    return QStringLiteral("%1.%2.%3.%4").arg(b[0]).arg(b[1]).arg(b[2]).arg(b[3]);
}

void CIPAddressCtrl::completeField(int field) {
    QLineEdit* f = fields_[static_cast<std::size_t>(field)];
    if (!f->text().isEmpty() && f->text().toInt() > 255)
        f->setText(QStringLiteral("255"));
}

void CIPAddressCtrl::onTextEdited(int field) {
    QLineEdit* f = fields_[static_cast<std::size_t>(field)];
    if (f->text().size() >= 3 && f->cursorPosition() >= 3) {
        completeField(field);
        if (field < 3)
            focusField(field + 1, true);
    }
}

bool CIPAddressCtrl::eventFilter(QObject* watched, QEvent* event) {
    int field = -1;
    for (int k = 0; k < 4; ++k) {
        if (watched == fields_[static_cast<std::size_t>(k)])
            field = k;
    }
    if (field < 0)
        return QWidget::eventFilter(watched, event);
    QLineEdit* f = fields_[static_cast<std::size_t>(field)];
    if (event->type() == QEvent::FocusOut) {
        completeField(field);
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const QString text = key->text();
    switch (key->key()) {
        case Qt::Key_Period:
        case Qt::Key_Space:
            // A dot ends a field that has digits and moves to the next one.
            if (!f->text().isEmpty() && field < 3) {
                completeField(field);
                focusField(field + 1, true);
            }
            return true;
        case Qt::Key_Left:
            if (f->cursorPosition() == 0 && !f->hasSelectedText() && field > 0) {
                focusField(field - 1, false);
                return true;
            }
            return false;
        case Qt::Key_Right:
            if (f->cursorPosition() == f->text().size() && !f->hasSelectedText() && field < 3) {
                QLineEdit* next = fields_[static_cast<std::size_t>(field + 1)];
                next->setFocus(Qt::OtherFocusReason);
                next->setCursorPosition(0);
                return true;
            }
            return false;
        case Qt::Key_Backspace:
            if (f->cursorPosition() == 0 && !f->hasSelectedText() && field > 0) {
                focusField(field - 1, false);
                return true;
            }
            return false;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            return false;
        default:
            break;
    }
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    if (text.isEmpty() || !text[0].isPrint())
        return false;
    // Only digits can be typed.
    if (text.size() != 1 || !text[0].isDigit())
        return true;
    return false;
}

void CIPAddressCtrl::layoutFields() {
    const QRect inner = rect().adjusted(kEdge, kEdge, -kEdge, -kEdge);
    const int slot = std::max(1, inner.width() / 4);
    const int dot = std::max(3, fontMetrics().horizontalAdvance(QLatin1Char('.')) + 2);
    for (int k = 0; k < 4; ++k) {
        fields_[static_cast<std::size_t>(k)]->setGeometry(inner.left() + k * slot, inner.top(),
                                                          slot - (k < 3 ? dot : 0), inner.height());
    }
}

void CIPAddressCtrl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutFields();
}

void CIPAddressCtrl::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange) {
        layoutFields();
        update();
    }
}

void CIPAddressCtrl::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), sysColor(isEnabled() ? COLOR_WINDOW : COLOR_BTNFACE));
    DrawEdge(painter, rect(), EDGE_SUNKEN, BF_RECT);
    painter.setPen(sysColor(isEnabled() ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    painter.setFont(font());
    for (int k = 0; k < 3; ++k) {
        const QRect field = fields_[static_cast<std::size_t>(k)]->geometry();
        const QRect dotRect(field.right() + 1, field.top(),
                            fields_[static_cast<std::size_t>(k + 1)]->x() - field.right() - 1,
                            field.height());
        painter.drawText(dotRect, Qt::AlignCenter, QStringLiteral("."));
    }
}

LRESULT CIPAddressCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case IPM_CLEARADDRESS:
            ClearAddress();
            return 0;
        case IPM_SETADDRESS:
            SetAddress(static_cast<DWORD>(lParam));
            return TRUE;
        case IPM_GETADDRESS: {
            DWORD address = 0;
            const int count = GetAddress(address);
            if (lParam)
                *reinterpret_cast<DWORD*>(lParam) = address;
            return count;
        }
        case IPM_SETFOCUS:
            SetFieldFocus(static_cast<WORD>(wParam));
            return 0;
        case IPM_ISBLANK:
            return IsBlank();
        default:
            return CWnd::WindowProc(message, wParam, lParam);
    }
}

bool CIPAddressCtrl::event(QEvent* event) {
    if (dispatchPostedMessage(event))
        return true;
    return QWidget::event(event);
}
