#pragma once

// Message maps: one table per dialog class that binds messages, commands
// and notifications to member functions, searched before the base class's
// table. Entries are built from member-function pointers, so a table cannot
// name a handler that does not exist; MessageMap::problems() reports null
// handlers and duplicate bindings for the tests.
//
//   // in the class:   DECLARE_MESSAGE_MAP()
//   // in the .cpp:
//   BEGIN_MESSAGE_MAP(CLanscoutDlg, CDialog)
//     ON_BN_CLICKED(IDC_SEARCH, &CLanscoutDlg::OnSearch)
//     ON_NOTIFY(NM_CLICK, IDC_DEVICE_LIST, &CLanscoutDlg::OnClickDeviceList)
//     ON_CBN_SELCHANGE(IDC_DHCP, &CLanscoutDlg::OnSelchangeDhcp)
//     ON_MESSAGE(UM_SOMETHING, &CLanscoutDlg::OnSomething)
//     ON_WM_TIMER()          // void OnTimer(UINT_PTR id) for every timer
//     ON_TIMER(1, &X::OnTick)  // void OnTick() for timer 1 only
//     ON_WM_PAINT()          // void OnPaint(QPainter&)
//     ON_WM_ERASEBKGND()     // BOOL OnEraseBkgnd(QPainter&)
//     ON_WM_CTLCOLOR()       // void OnCtlColor(CtlColor&)
//     ON_WM_NCHITTEST()      // UINT OnNcHitTest(QPoint screenPos)
//     ON_WM_LBUTTONDOWN()    // void OnLButtonDown(UINT flags, QPoint clientPos)
//     ON_WM_SIZE()           // void OnSize(UINT type, int cx, int cy)
//     ON_WM_DESTROY()        // void OnDestroy()
//     ON_WM_CLOSE()          // void OnClose()
//   END_MESSAGE_MAP()
//
// Handler signatures: commands void(); notifications void(NMHDR*, LRESULT*);
// messages LRESULT(WPARAM, LPARAM). A handler of the base class (for
// example &CDialog::OnCancel) may be bound too; virtual ones dispatch
// virtually.

#include <QColor>
#include <QPoint>
#include <functional>
#include <string>
#include <vector>

#include "win_types.h"

class CDialog;
class QPainter;

// Answer of WM_CTLCOLOR: the control asks its dialog how to paint itself.
// The handler sets the text colour, the background mode and the brush:
// brush none (NULL_BRUSH) leaves the background unpainted.
struct CtlColor {
    enum class Brush { Default, Null, Solid };
    CWnd* control = nullptr;
    UINT ctlType = CTLCOLOR_STATIC;
    COLORREF textColor = 0;
    int bkMode = OPAQUE;
    COLORREF bkColor = 0;
    Brush brush = Brush::Default;
    COLORREF brushColor = 0;
    void SetTextColor(COLORREF color) { textColor = color; }
    void SetBkMode(int mode) { bkMode = mode; }
    void SetBkColor(COLORREF color) { bkColor = color; }
};

namespace ostrel::dialog {

inline constexpr int kAnyId = -0x10000;

struct MessageMapEntry {
    using Invoker = std::function<LRESULT(CDialog&, WPARAM, LPARAM)>;
    UINT message = 0;  // WM_COMMAND, WM_NOTIFY, WM_TIMER, WM_PAINT, ... or custom
    UINT code = 0;     // notification code (WM_COMMAND, WM_NOTIFY)
    int id = kAnyId;   // control id (WM_COMMAND, WM_NOTIFY) or timer id
    const char* handlerName = "";
    bool hasHandler = false;  // the member pointer was not null
    Invoker invoke;
};

class MessageMap {
public:
    MessageMap(const MessageMap* base, const char* className, std::vector<MessageMapEntry> entries);

    const MessageMap* base() const { return base_; }
    const char* className() const { return className_; }
    const std::vector<MessageMapEntry>& entries() const { return entries_; }

    // The entry for a message in this table or its bases (nearest first).
    // WM_COMMAND / WM_NOTIFY match code and id; WM_TIMER matches the timer id
    // first, then an entry for every timer; other messages match by number.
    const MessageMapEntry* find(UINT message, UINT code, int id) const;

    // Null handlers and messages bound twice in one table, one line each.
    std::vector<std::string> problems() const;

private:
    const MessageMapEntry* findHere(UINT message, UINT code, int id) const;
    const MessageMap* base_;
    const char* className_;
    std::vector<MessageMapEntry> entries_;
};

// Entry builders (the macros below call them).
namespace message_map_detail {

template <class T>
T& as(CDialog& dialog) {
    return static_cast<T&>(dialog);
}

QPoint pointFromLParam(LPARAM lParam);

template <class T>
MessageMapEntry command(int id, UINT code, void (T::*fn)(), const char* name) {
    return {WM_COMMAND, code, id, name, fn != nullptr, [fn](CDialog& d, WPARAM, LPARAM) -> LRESULT {
                (as<T>(d).*fn)();
                return 0;
            }};
}

template <class T>
MessageMapEntry notify(UINT code, int id, void (T::*fn)(NMHDR*, LRESULT*), const char* name) {
    return {
        WM_NOTIFY, code, id, name, fn != nullptr, [fn](CDialog& d, WPARAM, LPARAM l) -> LRESULT {
            LRESULT result = 0;
            (as<T>(d).*fn)(reinterpret_cast<NMHDR*>(l), &result);
            return result;
        }};
}

template <class T>
MessageMapEntry message(UINT msg, LRESULT (T::*fn)(WPARAM, LPARAM), const char* name) {
    return {msg,
            0,
            kAnyId,
            name,
            fn != nullptr,
            [fn](CDialog& d, WPARAM w, LPARAM l) -> LRESULT { return (as<T>(d).*fn)(w, l); }};
}

template <class T>
MessageMapEntry timerAll(void (T::*fn)(UINT_PTR), const char* name) {
    return {
        WM_TIMER, 0, kAnyId, name, fn != nullptr, [fn](CDialog& d, WPARAM w, LPARAM) -> LRESULT {
            (as<T>(d).*fn)(w);
            return 0;
        }};
}

template <class T>
MessageMapEntry timerId(int id, void (T::*fn)(), const char* name) {
    return {WM_TIMER, 0, id, name, fn != nullptr, [fn](CDialog& d, WPARAM, LPARAM) -> LRESULT {
                (as<T>(d).*fn)();
                return 0;
            }};
}

template <class T>
MessageMapEntry paint(void (T::*fn)(QPainter&), const char* name) {
    return {
        WM_PAINT, 0, kAnyId, name, fn != nullptr, [fn](CDialog& d, WPARAM w, LPARAM) -> LRESULT {
            (as<T>(d).*fn)(*reinterpret_cast<QPainter*>(w));
            return 0;
        }};
}

template <class T>
MessageMapEntry eraseBkgnd(BOOL (T::*fn)(QPainter&), const char* name) {
    return {WM_ERASEBKGND,
            0,
            kAnyId,
            name,
            fn != nullptr,
            [fn](CDialog& d, WPARAM w, LPARAM) -> LRESULT {
                return (as<T>(d).*fn)(*reinterpret_cast<QPainter*>(w));
            }};
}

template <class T>
MessageMapEntry ctlColor(void (T::*fn)(CtlColor&), const char* name) {
    return {
        WM_CTLCOLOR, 0, kAnyId, name, fn != nullptr, [fn](CDialog& d, WPARAM, LPARAM l) -> LRESULT {
            (as<T>(d).*fn)(*reinterpret_cast<CtlColor*>(l));
            return 0;
        }};
}

template <class T>
MessageMapEntry ncHitTest(UINT (T::*fn)(QPoint), const char* name) {
    return {WM_NCHITTEST,
            0,
            kAnyId,
            name,
            fn != nullptr,
            [fn](CDialog& d, WPARAM, LPARAM l) -> LRESULT {
                return static_cast<LRESULT>(static_cast<int>((as<T>(d).*fn)(pointFromLParam(l))));
            }};
}

template <class T>
MessageMapEntry lButtonDown(void (T::*fn)(UINT, QPoint), const char* name) {
    return {WM_LBUTTONDOWN,
            0,
            kAnyId,
            name,
            fn != nullptr,
            [fn](CDialog& d, WPARAM w, LPARAM l) -> LRESULT {
                (as<T>(d).*fn)(static_cast<UINT>(w), pointFromLParam(l));
                return 0;
            }};
}

template <class T>
MessageMapEntry size(void (T::*fn)(UINT, int, int), const char* name) {
    return {
        WM_SIZE, 0, kAnyId, name, fn != nullptr, [fn](CDialog& d, WPARAM w, LPARAM l) -> LRESULT {
            (as<T>(d).*fn)(static_cast<UINT>(w), LOWORD(static_cast<std::uintptr_t>(l)),
                           HIWORD(static_cast<std::uintptr_t>(l)));
            return 0;
        }};
}

template <class T>
MessageMapEntry plain(UINT msg, void (T::*fn)(), const char* name) {
    return {msg, 0, kAnyId, name, fn != nullptr, [fn](CDialog& d, WPARAM, LPARAM) -> LRESULT {
                (as<T>(d).*fn)();
                return 0;
            }};
}

}  // namespace message_map_detail

}  // namespace ostrel::dialog

#define DECLARE_MESSAGE_MAP()                                           \
public:                                                                 \
    static const ::ostrel::dialog::MessageMap& ThisMessageMap();        \
    const ::ostrel::dialog::MessageMap& GetMessageMap() const override; \
                                                                        \
private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                            \
    const ::ostrel::dialog::MessageMap& theClass::GetMessageMap() const { \
        return ThisMessageMap();                                          \
    }                                                                     \
    const ::ostrel::dialog::MessageMap& theClass::ThisMessageMap() {      \
        using ThisClass [[maybe_unused]] = theClass;                      \
        namespace mmd = ::ostrel::dialog::message_map_detail;             \
    static const ::ostrel::dialog::MessageMap map(&baseClass::ThisMessageMap(), #theClass, {
#define END_MESSAGE_MAP() \
    });                   \
    return map;           \
    }

#define ON_COMMAND(id, fn) mmd::command(id, BN_CLICKED, fn, #fn),
#define ON_BN_CLICKED(id, fn) mmd::command(id, BN_CLICKED, fn, #fn),
#define ON_CBN_SELCHANGE(id, fn) mmd::command(id, CBN_SELCHANGE, fn, #fn),
#define ON_CONTROL(code, id, fn) mmd::command(id, code, fn, #fn),
#define ON_NOTIFY(code, id, fn) mmd::notify(code, id, fn, #fn),
#define ON_MESSAGE(msg, fn) mmd::message(msg, fn, #fn),
#define ON_TIMER(id, fn) mmd::timerId(id, fn, #fn),
#define ON_WM_TIMER() mmd::timerAll(&ThisClass::OnTimer, "OnTimer"),
#define ON_WM_PAINT() mmd::paint(&ThisClass::OnPaint, "OnPaint"),
#define ON_WM_ERASEBKGND() mmd::eraseBkgnd(&ThisClass::OnEraseBkgnd, "OnEraseBkgnd"),
#define ON_WM_CTLCOLOR() mmd::ctlColor(&ThisClass::OnCtlColor, "OnCtlColor"),
#define ON_WM_NCHITTEST() mmd::ncHitTest(&ThisClass::OnNcHitTest, "OnNcHitTest"),
#define ON_WM_LBUTTONDOWN() mmd::lButtonDown(&ThisClass::OnLButtonDown, "OnLButtonDown"),
#define ON_WM_SIZE() mmd::size(&ThisClass::OnSize, "OnSize"),
#define ON_WM_DESTROY() mmd::plain(WM_DESTROY, &ThisClass::OnDestroy, "OnDestroy"),
#define ON_WM_CLOSE() mmd::plain(WM_CLOSE, &ThisClass::OnClose, "OnClose"),
