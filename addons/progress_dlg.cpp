#include "addons/progress_dlg.h"

#include "addons/addon_state.h"
#include "res/templates/control_ids.h"

using namespace ostrel::addons;

BEGIN_MESSAGE_MAP(progress, CDialog)
ON_WM_TIMER()
ON_WM_DESTROY()
ON_WM_ERASEBKGND()
ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

progress::progress(AddonContext& addonContext, CWnd* parent)
    : CDialog(res::IDD_PROGRESS, parent), context(addonContext), background(res::IDD_PROGRESS) {}

progress::~progress() {
    StopWorker();
}

void progress::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, res::IDC_RESTART_PROGRESS, m_progress);
}

BOOL progress::OnInitDialog() {
    CDialog::OnInitDialog();
    background.OnInitDialog();
    m_progress.setAccessibleName(QStringLiteral("Restart progress"));
    worker = std::thread(&progress::RunWorker, this, static_cast<CWnd*>(&m_progress),
                         context.progressStep);
    SetTimer(kCloseTimer, kCloseAfterMs);
    return TRUE;
}

void progress::RunWorker(CWnd* bar, std::chrono::milliseconds step) {
    ::PostMessage(bar, PBM_SETRANGE, 0, MAKELPARAM(1, 100));
    ::PostMessage(bar, PBM_SETSTEP, 1, 0);
    for (int i = 0; i < kSteps; ++i) {
        ::PostMessage(bar, PBM_STEPIT, 0, 0);
        std::unique_lock lock(stopMutex);
        if (stopSignal.wait_for(lock, step, [this] { return stopRequested; })) {
            workerDone = true;
            return;
        }
    }
    workerDone = true;
}

void progress::StopWorker() {
    {
        std::lock_guard lock(stopMutex);
        stopRequested = true;
    }
    stopSignal.notify_all();
    if (worker.joinable())
        worker.join();
}

void progress::OnOK() {}
void progress::OnCancel() {}

void progress::OnTimer(UINT_PTR id) {
    if (id != kCloseTimer)
        return;
    // The restart has completed when its time is up, however far a late
    // worker got: the worker is stopped first, so only this thread decides.
    StopWorker();
    InstallAborted = 0;
    CDialog::OnCancel();
    KillTimer(kCloseTimer);
}

void progress::OnDestroy() {
    StopWorker();
    CDialog::OnDestroy();
}

BOOL progress::OnEraseBkgnd(QPainter& painter) {
    return background.OnEraseBkgnd(*this, painter);
}

void progress::OnCtlColor(CtlColor& color) {
    skin::DialogCtlColor(color, res::IDD_PROGRESS);
}
