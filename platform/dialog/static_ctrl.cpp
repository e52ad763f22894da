#include "static_ctrl.h"

#include <QPainter>

#include "dialog.h"
#include "gdi.h"
#include "resources.h"
#include "sys_colors.h"

using namespace ostrel::dialog;

CStatic::CStatic(QWidget* parent) : QWidget(parent), CWnd(this) {
    SetStyleWord(WS_CHILD | WS_VISIBLE | SS_LEFT);
    setFocusPolicy(Qt::NoFocus);
    updateMouseTransparency();
}

CStatic::~CStatic() = default;

BOOL CStatic::Create(const QString& text, DWORD style, const QRect& rect, CWnd* parent, int id) {
    text_ = text;
    const BOOL ok = CreateChild(style, rect, parent, id);
    updateMouseTransparency();
    return ok;
}

bool CStatic::AcceptsClass(ControlClass controlClass) const {
    return controlClass == ControlClass::Static;
}

void CStatic::ApplyTemplate(const ControlTemplate& control) {
    text_ = control.text;
    if ((GetStyle() & SS_TYPEMASK) == SS_ICON) {
        icon_ = LoadIconResource(control.iconId);
        // An icon static takes the size of the icon.
        resize(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
    }
    updateMouseTransparency();
}

void CStatic::SetIcon(const QIcon& icon) {
    icon_ = icon;
    update();
}

void CStatic::SetWindowText(const QString& text) {
    text_ = text;
    update();
}

QFont CStatic::fittedFont() const {
    // The stand-in fonts are a pixel or three wider at small sizes than the
    // hinted originals the templates were laid out with, so a one-line label
    // such as "Netmask :" would wrap its last word out of sight. Such a label
    // is drawn with its letters drawn slightly closer instead.
    QFont f = font();
    const QString shown = (GetStyle() & SS_NOPREFIX) ? text_ : StripMnemonic(text_);
    const QFontMetrics metrics(f);
    const bool oneLine = !shown.contains(QLatin1Char('\n')) && height() < 2 * metrics.lineSpacing();
    const int excess = metrics.horizontalAdvance(shown) - width();
    if (oneLine && excess > 0 && shown.size() > 1) {
        const qreal perLetter = static_cast<qreal>(excess) / static_cast<qreal>(shown.size() - 1);
        if (perLetter <= 0.6)
            f.setLetterSpacing(QFont::AbsoluteSpacing, -perLetter - 0.01);
    }
    return f;
}

void CStatic::OnStyleChanged() {
    updateMouseTransparency();
}

void CStatic::updateMouseTransparency() {
    setAttribute(Qt::WA_TransparentForMouseEvents, (GetStyle() & SS_NOTIFY) == 0);
}

bool CStatic::event(QEvent* event) {
    if (dispatchPostedMessage(event))
        return true;
    return QWidget::event(event);
}

void CStatic::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    CtlColor color;
    color.control = this;
    color.ctlType = CTLCOLOR_STATIC;
    color.textColor = GetSysColor(COLOR_BTNTEXT);
    color.bkColor = GetSysColor(COLOR_BTNFACE);
    if (CDialog* dialog = GetOwnerDialog()) {
        dialog->SendMessage(WM_CTLCOLOR, 0, reinterpret_cast<LPARAM>(&color));
    }
    switch (color.brush) {
        case CtlColor::Brush::Default:
            painter.fillRect(rect(), sysColor(COLOR_BTNFACE));
            break;
        case CtlColor::Brush::Solid:
            painter.fillRect(rect(), toQColor(color.brushColor));
            break;
        case CtlColor::Brush::Null:
            break;
    }
    const DWORD type = GetStyle() & SS_TYPEMASK;
    if (type == SS_ICON) {
        if (!icon_.isNull()) {
            const QSize size(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
            painter.drawPixmap(QPoint(0, 0), icon_.pixmap(size));
        }
        return;
    }
    // A label one line high is drawn on one line (see fittedFont).
    const QFontMetrics metrics(font());
    const bool oneLine = !text_.contains(QLatin1Char('\n')) && height() < 2 * metrics.lineSpacing();
    UINT format = oneLine ? DT_SINGLELINE : DT_WORDBREAK;
    if (type == SS_CENTER)
        format |= DT_CENTER;
    if (type == SS_RIGHT)
        format |= DT_RIGHT;
    if (GetStyle() & SS_NOPREFIX)
        format |= DT_NOPREFIX;
    if (color.bkMode == OPAQUE && color.brush != CtlColor::Brush::Default) {
        painter.fillRect(painter.boundingRect(rect(), Qt::TextWordWrap, StripMnemonic(text_)),
                         toQColor(color.bkColor));
    }
    painter.setFont(fittedFont());
    painter.setPen(isEnabled() ? toQColor(color.textColor) : sysColor(COLOR_GRAYTEXT));
    DrawText(painter, text_, rect(), format);
}
