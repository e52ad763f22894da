#include "message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>

#include "window.h"

using namespace ostrel::dialog;

namespace {

QString& appName() {
    static QString name;
    return name;
}

ScopedMessageBoxHook* currentHook = nullptr;

}  // namespace

void ostrel::dialog::SetAppName(const QString& name) {
    appName() = name;
    QCoreApplication::setApplicationName(name);
}

QString AfxGetAppName() {
    return appName().isEmpty() ? QCoreApplication::applicationName() : appName();
}

ScopedMessageBoxHook::ScopedMessageBoxHook(Answer answer)
    : answer_(std::move(answer)), previous_(currentHook) {
    currentHook = this;
}

ScopedMessageBoxHook::~ScopedMessageBoxHook() {
    currentHook = previous_;
}

int MessageBox(CWnd* owner, const QString& text, const QString& caption, UINT flags) {
    MessageBoxRecord record{owner, text, caption.isEmpty() ? AfxGetAppName() : caption, flags};
    if (currentHook) {
        currentHook->records_.push_back(record);
        return currentHook->answer_ ? currentHook->answer_(record) : IDOK;
    }
    QMessageBox box(owner ? owner->widget() : nullptr);
    box.setWindowTitle(record.caption);
    box.setText(text);
    switch (flags & MB_ICONMASK) {
        case MB_ICONERROR:
            box.setIcon(QMessageBox::Critical);
            break;
        case MB_ICONQUESTION:
            box.setIcon(QMessageBox::Question);
            break;
        case MB_ICONEXCLAMATION:
            box.setIcon(QMessageBox::Warning);
            break;
        case MB_ICONINFORMATION:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            box.setIcon(QMessageBox::NoIcon);
            break;
    }
    switch (flags & MB_TYPEMASK) {
        case MB_OKCANCEL:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            box.setEscapeButton(QMessageBox::Cancel);
            break;
        case MB_YESNO:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        default:
            box.setStandardButtons(QMessageBox::Ok);
            box.setEscapeButton(QMessageBox::Ok);
            break;
    }
    switch (box.exec()) {
        case QMessageBox::Cancel:
            return IDCANCEL;
        case QMessageBox::Yes:
            return IDYES;
        case QMessageBox::No:
            return IDNO;
        default:
            return IDOK;
    }
}

int AfxMessageBox(const QString& text, UINT flags) {
    return MessageBox(nullptr, text, {}, flags);
}
