#pragma once

// Message boxes with the platform's flags and answers. An empty caption
// shows the application's name. Tests answer them with a
// ScopedMessageBoxHook, which records every box and shows nothing.

#include <QString>
#include <functional>
#include <vector>

#include "win_types.h"

class CWnd;

inline constexpr UINT MB_OK = 0x0;
inline constexpr UINT MB_OKCANCEL = 0x1;
inline constexpr UINT MB_YESNO = 0x4;
inline constexpr UINT MB_ICONERROR = 0x10;
inline constexpr UINT MB_ICONQUESTION = 0x20;
inline constexpr UINT MB_ICONEXCLAMATION = 0x30;
inline constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr UINT MB_ICONINFORMATION = 0x40;
inline constexpr UINT MB_TYPEMASK = 0xF;
inline constexpr UINT MB_ICONMASK = 0xF0;

namespace ostrel::dialog {

// The application's name, the caption of boxes that give none. The program
// gives it once at start-up; it is Qt's application name too. Until it is
// given, Qt's application name (the executable's) stands in.
void SetAppName(const QString& name);

}  // namespace ostrel::dialog

// The name given at start-up (see SetAppName).
QString AfxGetAppName();

// Shows a modal message box owned by `owner` (may be null) and answers
// IDOK, IDCANCEL, IDYES or IDNO.
int MessageBox(CWnd* owner, const QString& text, const QString& caption = {}, UINT flags = MB_OK);
int AfxMessageBox(const QString& text, UINT flags = MB_OK);

namespace ostrel::dialog {

struct MessageBoxRecord {
    CWnd* owner = nullptr;
    QString text;
    QString caption;  // as shown: the application's name for an empty one
    UINT flags = 0;
    UINT icon() const { return flags & MB_ICONMASK; }
};

// While installed, message boxes are not shown: each is recorded and
// answered by `answer` (IDOK when none is given). Hooks nest.
class ScopedMessageBoxHook {
public:
    using Answer = std::function<int(const MessageBoxRecord&)>;
    explicit ScopedMessageBoxHook(Answer answer = {});
    ~ScopedMessageBoxHook();
    ScopedMessageBoxHook(const ScopedMessageBoxHook&) = delete;
    ScopedMessageBoxHook& operator=(const ScopedMessageBoxHook&) = delete;

    const std::vector<MessageBoxRecord>& records() const { return records_; }
    void clear() { records_.clear(); }

private:
    friend int ::MessageBox(CWnd*, const QString&, const QString&, UINT);
    Answer answer_;
    std::vector<MessageBoxRecord> records_;
    ScopedMessageBoxHook* previous_;
};

}  // namespace ostrel::dialog
