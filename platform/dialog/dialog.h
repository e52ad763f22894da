#pragma once

// CDialog: a QDialog built from a numbered dialog template, with the
// Windows dialog manager's behaviour.
//
// Life of a modal run (DoModal):
//   1. The template is looked up (by number, or the one given).
//   2. Bindings: DoDataExchange runs in binding mode; every
//      DDX_Control(pDX, id, object) (or a BindControl call made earlier,
//      for example in the constructor) makes the template instantiate that
//      object for the id instead of a plain control. The object's
//      PreSubclassWindow runs once it has its id, style and geometry.
//   3. Every control of the template is created, in template order, at its
//      rectangle converted from dialog units with the template font.
//   4. OnInitDialog runs (WM_INITDIALOG). CDialog::OnInitDialog transfers
//      data (UpdateData(FALSE)); a TRUE answer puts the focus on the first
//      tab-stop control.
//   5. The dialog is shown and runs its loop until EndDialog (or
//      DestroyWindow); then OnDestroy runs, timers stop, the controls are
//      destroyed (bound objects are only detached) and DoModal answers the
//      EndDialog value.
// Keyboard as IsDialogMessage: Enter sends the command of the focused push
// button (owner-drawn buttons do not count), else of the template's default
// push button, else IDOK; Escape and the close
// box send IDCANCEL (the close box through WM_CLOSE). Commands IDOK and
// IDCANCEL run the virtual OnOK / OnCancel unless the message map binds
// them.
//
// Tests answer modal runs with a ScopedModalHook: its function is called
// inside the dialog's modal loop after OnInitDialog, and may fill fields,
// click buttons or call EndDialog.

#include <QDialog>
#include <QFont>
#include <QIcon>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "dialog_template.h"
#include "dialog_units.h"
#include "message_map.h"
#include "window.h"

class CDialog;
class CEdit;

// DoDataExchange's argument: tells DDX_* which way data goes.
class CDataExchange {
public:
    enum class Mode { Bind, ToControls, FromControls };
    CDataExchange(CDialog* dialog, Mode mode) : m_pDlgWnd(dialog), mode_(mode) {}
    CDialog* m_pDlgWnd;
    BOOL m_bSaveAndValidate() const { return mode_ == Mode::FromControls; }
    Mode mode() const { return mode_; }
    bool failed() const { return failed_; }
    void Fail() { failed_ = true; }
    CWnd* lastControl = nullptr;

private:
    Mode mode_;
    bool failed_ = false;
};

// Binds `control` to control `id` of the dialog.
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);
// Exchanges the text of control `id` with `value`.
void DDX_Text(CDataExchange* pDX, int id, QString& value);
// Limits the last exchanged edit to `maxChars` characters (when writing
// to the controls) and checks the length (when reading them).
void DDV_MaxChars(CDataExchange* pDX, const QString& value, int maxChars);

class CDialog : public QDialog, public CWnd {
    Q_OBJECT

public:
    // The dialog of template number `templateId` (looked up when it is
    // created), or of a template given as data.
    explicit CDialog(int templateId, CWnd* parent = nullptr);
    explicit CDialog(const ostrel::dialog::DialogTemplate& dialogTemplate, CWnd* parent = nullptr);
    ~CDialog() override;

    static const ostrel::dialog::MessageMap& ThisMessageMap();
    virtual const ostrel::dialog::MessageMap& GetMessageMap() const;

    // Runs the dialog modally; IDOK, IDCANCEL or the EndDialog value (-1 when
    // it could not be created or was destroyed without EndDialog).
    virtual int DoModal();
    // Creates the dialog without running it (modeless): bindings, controls,
    // OnInitDialog. It is not shown. FALSE when the template is missing.
    BOOL Create(CWnd* parent = nullptr);
    // Ends the modal run with `result` (after the current handler returns).
    void EndDialog(int result);
    // Destroys the window: ends a modal run, runs OnDestroy and removes the
    // controls.
    BOOL DestroyWindow();
    bool IsCreated() const { return created_; }
    // True from the start of a modal run until EndDialog (or DestroyWindow).
    bool IsRunningModal() const { return runningModal_ && !ending_; }

    // Overridables.
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* pDX);
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    // Binds `control` to the template's control `id` before creation.
    void BindControl(int id, CWnd& control);

    // Controls by id (the first with that id), and all of them in template
    // order (controls created later, such as skin scroll bars, at the end).
    CWnd* GetDlgItem(int id) const;
    template <class T>
    T* GetDlgItemAs(int id) const {
        return dynamic_cast<T*>(GetDlgItem(id));
    }
    const std::vector<CWnd*>& Controls() const { return controls_; }
    // The next (or previous) visible and enabled control of `control`'s group
    // (WS_GROUP starts a group), wrapping around inside the group; `control`
    // itself when it is alone; nullptr when it is not a control of this
    // dialog.
    CWnd* GetNextDlgGroupItem(CWnd* control, BOOL previous = FALSE) const;
    // Adds a control created at run time (CWnd::Create of a child) to the
    // control list; the dialog layer calls it.
    void AddRuntimeControl(CWnd* control);

    QString GetDlgItemText(int id) const;
    void SetDlgItemText(int id, const QString& text);

    // The template this dialog is built from (after creation) and its units.
    int GetTemplateId() const { return templateId_; }
    const ostrel::dialog::DialogTemplate* Template() const {
        return template_ ? &*template_ : nullptr;
    }
    ostrel::dialog::DialogBaseUnits BaseUnits() const { return units_; }
    QRect MapDialogRect(const QRect& dialogUnits) const;

    // The message-map entry that handles a message, or nullptr.
    const ostrel::dialog::MessageMapEntry* FindHandler(UINT message, UINT code, int id) const;

    // Message handling: the message map, then the defaults below.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The platform's defaults, which handlers call as "default processing".
    BOOL OnEraseBkgnd(QPainter& painter);  // fills with COLOR_BTNFACE
    void OnPaint(QPainter& painter);       // nothing (controls paint themselves)
    void OnCtlColor(CtlColor& color);      // the platform's colours
    UINT OnNcHitTest(QPoint screenPos);    // HTCLIENT inside the window
    void OnLButtonDown(UINT flags, QPoint clientPos);
    void OnSize(UINT type, int cx, int cy);
    void OnDestroy();
    void OnClose();  // sends IDCANCEL

    // The window's move by the window system, as WM_NCLBUTTONDOWN with
    // HTCAPTION starts it. Tests replace it to see that a move was asked for.
    static void SetWindowMoveHook(std::function<void(CDialog&, QPoint screenPos)> hook);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool createWindow(CWnd* parent);
    void createControls();
    CWnd* instantiate(const ostrel::dialog::ControlTemplate& control, CWnd* bound);
    void destroyWindowContents();
    void sendCommand(int id, UINT code);
    int defaultButtonId() const;
    void beginSystemMove(QPoint screenPos);

    int templateId_;
    std::optional<ostrel::dialog::DialogTemplate> template_;
    CWnd* parentWnd_;
    ostrel::dialog::DialogBaseUnits units_;
    QFont font_;
    std::vector<std::pair<int, CWnd*>> bindings_;     // BindControl
    std::vector<std::pair<int, CWnd*>> ddxBindings_;  // DDX_Control, per creation
    std::vector<CWnd*> runtimeControls_;
    QWidget* initialFocus_ = nullptr;
    int defaultId_ = IDOK;
    friend void DDX_Control(CDataExchange* pDX, int id, CWnd& control);
    std::vector<CWnd*> controls_;
    std::vector<QWidget*> ownedControls_;
    bool created_ = false;
    bool runningModal_ = false;
    bool ending_ = false;
    int modalResult_ = -1;
    bool inSizeCall_ = false;
};

namespace ostrel::dialog {

// Answers modal runs in tests: while one is installed, every DoModal calls
// it inside the modal loop once the dialog is up. Nested hooks stack; the
// innermost one answers.
class ScopedModalHook {
public:
    using Hook = std::function<void(CDialog&)>;
    explicit ScopedModalHook(Hook hook);
    ~ScopedModalHook();
    ScopedModalHook(const ScopedModalHook&) = delete;
    ScopedModalHook& operator=(const ScopedModalHook&) = delete;
    // Template numbers of the dialogs run while this hook was installed.
    const std::vector<int>& runs() const { return runs_; }

private:
    friend class ::CDialog;
    Hook hook_;
    std::vector<int> runs_;
    ScopedModalHook* previous_;
};

}  // namespace ostrel::dialog
