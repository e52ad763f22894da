#include "dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QWindow>

#include "button.h"
#include "combo_box.h"
#include "edit.h"
#include "ip_address_ctrl.h"
#include "list_ctrl.h"
#include "message_box.h"
#include "progress_ctrl.h"
#include "static_ctrl.h"
#include "sys_colors.h"
#include "timer_driver.h"

using namespace ostrel::dialog;

namespace {

ScopedModalHook* currentModalHook = nullptr;

std::function<void(CDialog&, QPoint)>& windowMoveHook() {
    static std::function<void(CDialog&, QPoint)> hook;
    return hook;
}

int commandId(WPARAM wParam) {
    const WORD id = LOWORD(wParam);
    return id == 0xFFFF ? IDC_STATIC : static_cast<int>(id);
}

LPARAM packPoint(const QPoint& p) {
    return MAKELPARAM(p.x(), p.y());
}

// A push button takes Enter while it has the focus. Owner-drawn buttons
// (the skin's) are not push buttons to the dialog manager: with one of them
// focused, Enter goes to the default button, as on the platform.
bool isPushButton(const CWnd* wnd) {
    const auto* button = dynamic_cast<const CButton*>(wnd);
    if (!button)
        return false;
    const DWORD type = button->GetStyle() & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

CWnd* createPlain(ControlClass cls) {
    switch (cls) {
        case ControlClass::Button:
            return new CButton;
        case ControlClass::Static:
            return new CStatic;
        case ControlClass::Edit:
            return new CEdit;
        case ControlClass::ComboBox:
            return new CComboBox;
        case ControlClass::ListView:
            return new CListCtrl;
        case ControlClass::IpAddress:
            return new CIPAddressCtrl;
        case ControlClass::Progress:
            return new CProgressCtrl;
    }
    return new CStatic;
}

}  // namespace

// ---- Data exchange ----

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
    CDialog* dialog = pDX->m_pDlgWnd;
    if (pDX->mode() == CDataExchange::Mode::Bind) {
        dialog->ddxBindings_.emplace_back(id, &control);
    }
    pDX->lastControl = &control;
}

void DDX_Text(CDataExchange* pDX, int id, QString& value) {
    CDialog* dialog = pDX->m_pDlgWnd;
    pDX->lastControl = dialog->GetDlgItem(id);
    switch (pDX->mode()) {
        case CDataExchange::Mode::ToControls:
            dialog->SetDlgItemText(id, value);
            break;
        case CDataExchange::Mode::FromControls:
            value = dialog->GetDlgItemText(id);
            break;
        case CDataExchange::Mode::Bind:
            break;
    }
}

void DDV_MaxChars(CDataExchange* pDX, const QString& value, int maxChars) {
    if (pDX->mode() == CDataExchange::Mode::ToControls) {
        if (auto* edit = dynamic_cast<CEdit*>(pDX->lastControl))
            edit->SetLimitText(static_cast<UINT>(maxChars));
    } else if (pDX->mode() == CDataExchange::Mode::FromControls && value.size() > maxChars) {
        MessageBox(pDX->m_pDlgWnd,
                   QStringLiteral("Please enter no more than %1 characters.").arg(maxChars), {},
                   MB_ICONEXCLAMATION);
        if (pDX->lastControl)
            pDX->lastControl->SetFocus();
        pDX->Fail();
    }
}

// ---- CDialog ----

CDialog::CDialog(int templateId, CWnd* parent)
    : QDialog(parent ? parent->widget() : nullptr),
      CWnd(this),
      templateId_(templateId),
      parentWnd_(parent) {}

CDialog::CDialog(const DialogTemplate& dialogTemplate, CWnd* parent)
    : QDialog(parent ? parent->widget() : nullptr),
      CWnd(this),
      templateId_(dialogTemplate.id),
      template_(dialogTemplate),
      parentWnd_(parent) {}

// Bound and run-time controls are members of the dialog class (or of its
// members), so they are gone before this runs; Qt deletes the plain ones.
CDialog::~CDialog() = default;

const MessageMap& CDialog::ThisMessageMap() {
    static const MessageMap map(nullptr, "CDialog", {});
    return map;
}

const MessageMap& CDialog::GetMessageMap() const {
    return ThisMessageMap();
}

void CDialog::BindControl(int id, CWnd& control) {
    bindings_.emplace_back(id, &control);
}

bool CDialog::createWindow(CWnd* parent) {
    if (created_)
        return true;
    if (!template_) {
        const DialogTemplate* found = FindDialogTemplate(templateId_);
        if (!found) {
            qWarning("dialog template %d is not registered", templateId_);
            return false;
        }
        template_ = *found;
    }
    if (parent && parent != parentWnd_) {
        parentWnd_ = parent;
        setParent(parent->widget(), windowFlags());
    }
    EnsureDialogFonts();
    const DialogTemplate& t = *template_;
    font_ = DialogTemplateFont(t.fontFace, t.pointSize);
    units_ = MeasureDialogBaseUnits(font_);
    setFont(font_);
    SetStyleWord(t.style, t.exStyle);

    Qt::WindowFlags flags;
    if (t.hasCaption()) {
        flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if (t.style & WS_SYSMENU)
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (t.style & WS_MINIMIZEBOX)
            flags |= Qt::WindowMinimizeButtonHint;
    } else {
        flags = ((t.exStyle & WS_EX_APPWINDOW) ? Qt::Window : Qt::Dialog) | Qt::FramelessWindowHint;
    }
    setWindowFlags(flags);
    setWindowTitle(t.caption);
    setFixedSize(DluToPixelsX(t.cx, units_), DluToPixelsY(t.cy, units_));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, sysColor(COLOR_BTNFACE));
    pal.setColor(QPalette::WindowText, sysColor(COLOR_BTNTEXT));
    pal.setColor(QPalette::Button, sysColor(COLOR_BTNFACE));
    pal.setColor(QPalette::ButtonText, sysColor(COLOR_BTNTEXT));
    pal.setColor(QPalette::Base, sysColor(COLOR_WINDOW));
    pal.setColor(QPalette::Text, sysColor(COLOR_WINDOWTEXT));
    pal.setColor(QPalette::Highlight, sysColor(COLOR_HIGHLIGHT));
    pal.setColor(QPalette::HighlightedText, sysColor(COLOR_HIGHLIGHTTEXT));
    setPalette(pal);
    setAutoFillBackground(false);

    ddxBindings_.clear();
    CDataExchange bind(this, CDataExchange::Mode::Bind);
    DoDataExchange(&bind);

    createControls();
    created_ = true;
    ending_ = false;
    modalResult_ = -1;
    initialFocus_ = nullptr;

    if (SendMessage(WM_INITDIALOG, 0, 0) != 0) {
        for (CWnd* wnd : controls_) {
            QWidget* w = wnd->widget();
            if ((wnd->GetStyle() & WS_TABSTOP) && !w->isHidden() && w->isEnabled()) {
                initialFocus_ = w;
                w->setFocus(Qt::TabFocusReason);
                break;
            }
        }
    }
    return true;
}

void CDialog::createControls() {
    const DialogTemplate& t = *template_;
    defaultId_ = IDOK;
    for (const ControlTemplate& ct : t.controls) {
        if (ct.isDefaultButton()) {
            defaultId_ = ct.id;
            break;
        }
    }
    QWidget* previousTab = nullptr;
    for (const ControlTemplate& ct : t.controls) {
        CWnd* bound = nullptr;
        for (auto* list : {&ddxBindings_, &bindings_}) {
            for (auto& [id, wnd] : *list) {
                if (id == ct.id && ct.id != IDC_STATIC) {
                    bound = wnd;
                    break;
                }
            }
            if (bound)
                break;
        }
        CWnd* wnd = instantiate(ct, bound);
        if (wnd->GetStyle() & WS_TABSTOP) {
            if (previousTab)
                QWidget::setTabOrder(previousTab, wnd->widget());
            previousTab = wnd->widget();
        }
    }
}

CWnd* CDialog::instantiate(const ControlTemplate& ct, CWnd* bound) {
    CWnd* wnd = bound;
    if (wnd && !wnd->AcceptsClass(ct.controlClass)) {
        qWarning("dialog %d: the object bound to control %d cannot stand for that control",
                 templateId_, ct.id);
        wnd = nullptr;
    }
    const bool isBound = wnd != nullptr;
    if (!wnd) {
        wnd = createPlain(ct.controlClass);
        ownedControls_.push_back(wnd->widget());
    }
    QWidget* w = wnd->widget();
    w->setParent(this);
    wnd->SetDlgCtrlID(ct.id);
    wnd->SetStyleWord(ct.style, ct.exStyle);
    w->setGeometry(MapDialogRect(ct.rect));
    w->setEnabled(!ct.disabled());
    if (ct.controlClass != ControlClass::Static) {
        w->setFocusPolicy((ct.style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus);
    }
    wnd->ApplyTemplate(ct);
    w->setHidden(!ct.visible());
    if (isBound)
        wnd->PreSubclassWindow();
    controls_.push_back(wnd);
    return wnd;
}

void CDialog::AddRuntimeControl(CWnd* control) {
    if (std::find(controls_.begin(), controls_.end(), control) == controls_.end())
        controls_.push_back(control);
    if (std::find(runtimeControls_.begin(), runtimeControls_.end(), control) ==
        runtimeControls_.end()) {
        runtimeControls_.push_back(control);
    }
}

QRect CDialog::MapDialogRect(const QRect& dialogUnits) const {
    return ::MapDialogRect(dialogUnits, units_);
}

BOOL CDialog::Create(CWnd* parent) {
    return createWindow(parent) ? TRUE : FALSE;
}

int CDialog::DoModal() {
    if (runningModal_)
        return -1;
    if (!createWindow(parentWnd_))
        return -1;
    if (!ending_) {
        runningModal_ = true;
        setModal(true);
        if (ScopedModalHook* hook = currentModalHook) {
            hook->runs_.push_back(templateId_);
            QPointer<CDialog> self(this);
            QTimer::singleShot(0, this, [self, hook] {
                if (self && self->runningModal_ && !self->ending_ && currentModalHook == hook)
                    hook->hook_(*self);
            });
        }
        exec();
        runningModal_ = false;
    }
    const int result = modalResult_;
    destroyWindowContents();
    return result;
}

void CDialog::EndDialog(int result) {
    modalResult_ = result;
    ending_ = true;
    if (runningModal_) {
        QDialog::done(result);
    } else {
        hide();
    }
}

BOOL CDialog::DestroyWindow() {
    if (!created_)
        return FALSE;
    if (runningModal_) {
        ending_ = true;
        QDialog::done(modalResult_);
    } else {
        destroyWindowContents();
    }
    return TRUE;
}

void CDialog::destroyWindowContents() {
    if (!created_)
        return;
    SendMessage(WM_DESTROY, 0, 0);
    CurrentTimerDriver().forget(this);
    for (CWnd* wnd : controls_)
        CurrentTimerDriver().forget(wnd);
    hide();
    std::vector<QWidget*> owned;
    owned.swap(ownedControls_);
    for (CWnd* wnd : controls_) {
        QWidget* w = wnd->widget();
        if (std::find(owned.begin(), owned.end(), w) != owned.end())
            continue;
        w->hide();
        w->setParent(nullptr);
    }
    controls_.clear();
    for (QWidget* w : owned)
        delete w;
    runtimeControls_.clear();
    initialFocus_ = nullptr;
    created_ = false;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange* /*pDX*/) {}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(this, saveAndValidate ? CDataExchange::Mode::FromControls
                                           : CDataExchange::Mode::ToControls);
    DoDataExchange(&dx);
    return dx.failed() ? FALSE : TRUE;
}

CWnd* CDialog::GetDlgItem(int id) const {
    for (CWnd* wnd : controls_) {
        if (wnd->GetDlgCtrlID() == id)
            return wnd;
    }
    return nullptr;
}

QString CDialog::GetDlgItemText(int id) const {
    CWnd* wnd = GetDlgItem(id);
    return wnd ? wnd->GetWindowText() : QString();
}

void CDialog::SetDlgItemText(int id, const QString& text) {
    if (CWnd* wnd = GetDlgItem(id))
        wnd->SetWindowText(text);
}

CWnd* CDialog::GetNextDlgGroupItem(CWnd* control, BOOL previous) const {
    const auto it = std::find(controls_.begin(), controls_.end(), control);
    if (it == controls_.end())
        return nullptr;
    const auto n = static_cast<std::ptrdiff_t>(controls_.size());
    const std::ptrdiff_t i = it - controls_.begin();
    std::ptrdiff_t start = i;
    while (start > 0 && !(controls_[static_cast<std::size_t>(start)]->GetStyle() & WS_GROUP))
        --start;
    std::ptrdiff_t end = i + 1;
    while (end < n && !(controls_[static_cast<std::size_t>(end)]->GetStyle() & WS_GROUP))
        ++end;
    const std::ptrdiff_t len = end - start;
    for (std::ptrdiff_t k = 1; k < len; ++k) {
        const std::ptrdiff_t offset =
            previous ? (i - start - k + len * 2) % len : (i - start + k) % len;
        CWnd* candidate = controls_[static_cast<std::size_t>(start + offset)];
        QWidget* w = candidate->widget();
        if (!w->isHidden() && w->isEnabled())
            return candidate;
    }
    return control;
}

const MessageMapEntry* CDialog::FindHandler(UINT message, UINT code, int id) const {
    return GetMessageMap().find(message, code, id);
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const MessageMap& map = GetMessageMap();
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_COMMAND: {
            const int id = commandId(wParam);
            const UINT code = HIWORD(wParam);
            if (const auto* e = map.find(WM_COMMAND, code, id))
                return e->invoke(*this, wParam, lParam);
            if (code == BN_CLICKED && id == IDOK) {
                OnOK();
            } else if (code == BN_CLICKED && id == IDCANCEL) {
                OnCancel();
            }
            return 0;
        }
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (!header)
                return 0;
            const int id = header->idFrom == 0xFFFF ? IDC_STATIC : static_cast<int>(header->idFrom);
            if (const auto* e = map.find(WM_NOTIFY, header->code, id))
                return e->invoke(*this, wParam, lParam);
            return 0;
        }
        case WM_TIMER:
            if (const auto* e = map.find(WM_TIMER, 0, static_cast<int>(wParam)))
                return e->invoke(*this, wParam, lParam);
            OnTimer(wParam);
            return 0;
        case WM_NCLBUTTONDOWN:
            if (const auto* e = map.find(message, 0, kAnyId))
                return e->invoke(*this, wParam, lParam);
            if (wParam == HTCAPTION)
                beginSystemMove(message_map_detail::pointFromLParam(lParam));
            return 0;
        default:
            break;
    }
    if (const auto* e = map.find(message, 0, kAnyId))
        return e->invoke(*this, wParam, lParam);
    switch (message) {
        case WM_CLOSE:
            OnClose();
            return 0;
        case WM_DESTROY:
            OnDestroy();
            return 0;
        case WM_ERASEBKGND:
            return OnEraseBkgnd(*reinterpret_cast<QPainter*>(wParam));
        case WM_PAINT:
            OnPaint(*reinterpret_cast<QPainter*>(wParam));
            return 0;
        case WM_CTLCOLOR:
            OnCtlColor(*reinterpret_cast<CtlColor*>(lParam));
            return 0;
        case WM_NCHITTEST:
            return static_cast<LRESULT>(OnNcHitTest(message_map_detail::pointFromLParam(lParam)));
        case WM_LBUTTONDOWN:
            OnLButtonDown(static_cast<UINT>(wParam), message_map_detail::pointFromLParam(lParam));
            return 0;
        case WM_SIZE:
            OnSize(static_cast<UINT>(wParam), LOWORD(static_cast<std::uintptr_t>(lParam)),
                   HIWORD(static_cast<std::uintptr_t>(lParam)));
            return 0;
        default:
            return CWnd::WindowProc(message, wParam, lParam);
    }
}

BOOL CDialog::OnEraseBkgnd(QPainter& painter) {
    painter.fillRect(rect(), sysColor(COLOR_BTNFACE));
    return TRUE;
}

void CDialog::OnPaint(QPainter& /*painter*/) {}

void CDialog::OnCtlColor(CtlColor& color) {
    color.textColor =
        GetSysColor(color.ctlType == CTLCOLOR_EDIT ? COLOR_WINDOWTEXT : COLOR_BTNTEXT);
    color.bkMode = OPAQUE;
    color.bkColor = GetSysColor(color.ctlType == CTLCOLOR_EDIT ? COLOR_WINDOW : COLOR_BTNFACE);
    color.brush = CtlColor::Brush::Default;
}

UINT CDialog::OnNcHitTest(QPoint screenPos) {
    return QRect(mapToGlobal(QPoint(0, 0)), size()).contains(screenPos) ? HTCLIENT : HTNOWHERE;
}

void CDialog::OnLButtonDown(UINT /*flags*/, QPoint /*clientPos*/) {}

void CDialog::OnSize(UINT /*type*/, int /*cx*/, int /*cy*/) {}

void CDialog::OnDestroy() {}

void CDialog::OnClose() {
    SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

void CDialog::SetWindowMoveHook(std::function<void(CDialog&, QPoint)> hook) {
    windowMoveHook() = std::move(hook);
}

void CDialog::beginSystemMove(QPoint screenPos) {
    if (windowMoveHook()) {
        windowMoveHook()(*this, screenPos);
        return;
    }
    if (QWindow* window = windowHandle())
        window->startSystemMove();
}

void CDialog::sendCommand(int id, UINT code) {
    CWnd* control = GetDlgItem(id);
    SendMessage(WM_COMMAND, MAKEWPARAM(id, static_cast<int>(code)),
                reinterpret_cast<LPARAM>(control));
}

// The default button is the one the template made BS_DEFPUSHBUTTON, even
// after an owner-drawn skin has taken over its style; IDOK without one.
int CDialog::defaultButtonId() const {
    return defaultId_;
}

bool CDialog::event(QEvent* event) {
    if (dispatchPostedMessage(event))
        return true;
    return QDialog::event(event);
}

void CDialog::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    WindowProc(WM_ERASEBKGND, reinterpret_cast<WPARAM>(&painter), 0);
    WindowProc(WM_PAINT, reinterpret_cast<WPARAM>(&painter), 0);
}

void CDialog::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        CWnd* focused = FromWidget(focusWidget());
        if (focused && focused->GetOwnerDialog() == this && isPushButton(focused)) {
            if (focused->IsWindowEnabled())
                sendCommand(focused->GetDlgCtrlID(), BN_CLICKED);
        } else {
            const int id = defaultButtonId();
            CWnd* button = GetDlgItem(id);
            if (!button || button->IsWindowEnabled())
                sendCommand(id, BN_CLICKED);
        }
        event->accept();
        return;
    }
    if (key == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        CWnd* cancel = GetDlgItem(IDCANCEL);
        if (!cancel || cancel->IsWindowEnabled())
            sendCommand(IDCANCEL, BN_CLICKED);
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CDialog::closeEvent(QCloseEvent* event) {
    if (ending_ || !created_) {
        event->accept();
        return;
    }
    event->ignore();
    SendMessage(WM_CLOSE, 0, 0);
}

void CDialog::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QDialog::mousePressEvent(event);
        return;
    }
    const QPoint global = event->globalPosition().toPoint();
    const auto hit = static_cast<UINT>(WindowProc(WM_NCHITTEST, 0, packPoint(global)));
    if (hit == HTCAPTION) {
        WindowProc(WM_NCLBUTTONDOWN, HTCAPTION, packPoint(global));
    } else if (hit == HTCLIENT) {
        WindowProc(WM_LBUTTONDOWN, MK_LBUTTON, packPoint(event->position().toPoint()));
    }
    event->accept();
}

void CDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (created_)
        WindowProc(WM_SIZE, SIZE_RESTORED, MAKELPARAM(width(), height()));
}

void CDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && created_) {
        if (windowState() & Qt::WindowMinimized) {
            WindowProc(WM_SIZE, SIZE_MINIMIZED, 0);
        } else {
            WindowProc(WM_SIZE,
                       (windowState() & Qt::WindowMaximized) ? SIZE_MAXIMIZED : SIZE_RESTORED,
                       MAKELPARAM(width(), height()));
        }
    }
}

void CDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (initialFocus_ && !QApplication::focusWidget())
        initialFocus_->setFocus(Qt::TabFocusReason);
    if (GetStyle() & DS_SETFOREGROUND) {
        raise();
        activateWindow();
    }
}

// ---- Modal hook ----

ScopedModalHook::ScopedModalHook(Hook hook) : hook_(std::move(hook)), previous_(currentModalHook) {
    currentModalHook = this;
}

ScopedModalHook::~ScopedModalHook() {
    currentModalHook = previous_;
}
