#include "addons/language_dlg.h"

#include <QString>

#include "addons/addon_messages.h"
#include "addons/addon_state.h"
#include "addons/disk_state.h"
#include "addons/embedded_file.h"
#include "addons/message_dlg.h"
#include "addons/progress_dlg.h"
#include "platform/dialog/message_box.h"
#include "protocol/globals.h"
#include "res/fileset/file_set_items.h"
#include "res/templates/control_ids.h"
#include "skin/skinned_button_names.h"

using namespace ostrel::addons;
using namespace res;

namespace {

constexpr int kStatePolls = 10;
constexpr int kCodepagePolls = 10;
constexpr unsigned kPollPauseMs = 1000;
// "Western European", preselected for any codepage the list does not have.
constexpr int kDefaultLanguage = 2;

}  // namespace

namespace ostrel::addons {

int LanguageOfCodepage(int codepage) {
    for (int index = 0; index < fileset::kLanguageCount; ++index) {
        if (ReplyNumber(fileset::LanguageCodepageText(index)) == codepage)
            return index;
    }
    return -1;
}

}  // namespace ostrel::addons

BEGIN_MESSAGE_MAP(language, CDialog)
ON_CBN_SELCHANGE(IDC_LANGUAGE_LIST, &language::OnSelchangeLanguage)
ON_WM_CLOSE()
ON_WM_ERASEBKGND()
ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

language::language(AddonContext& addonContext, CWnd* parent)
    : CDialog(IDD_LANGUAGE, parent), context(addonContext), background(IDD_LANGUAGE) {}

language::~language() = default;

void language::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDOK, m_ok);
    DDX_Control(pDX, IDCANCEL, m_cancel);
    DDX_Control(pDX, IDC_LANGUAGE_LIST, m_language);
}

BOOL language::OnInitDialog() {
    CDialog::OnInitDialog();

    const int state = PollDiskState(context, kStatePolls, kPollPauseMs,
                                    [](int s, int) { return s >= 1 && s <= 5; });
    AllCodepagesSupported = 0;
    int shownState = state;
    if (state == 5) {
        DiskStatus = "3";
        AllCodepagesSupported = 1;
        shownState = 3;
    }

    if (ReportDiskProblem(shownState, this, context)) {
        InstallAborted = -1;
        EndDialog(IDOK);
    } else if (shownState == 3) {
        int chosen = -1;
        for (int attempt = 0; attempt < kCodepagePolls; ++attempt) {
            DeviceCodepage.Clear();
            context.device->QueryDeviceCodepage();
            context.sleep(kPollPauseMs);
            chosen = LanguageOfCodepage(ReplyNumber(DeviceCodepage.c_str()));
            if (chosen >= 0)
                break;
        }
        m_language.SetCurSel(chosen >= 0 ? chosen : kDefaultLanguage);
    } else if (shownState == 4) {
        CloseWithMessage(kUnicodeDevice);
    } else {
        CloseWithMessage(kMultiLanguageUnsupported);
    }

    SkinAndNameButton(IDD_LANGUAGE, m_ok);
    SkinAndNameButton(IDD_LANGUAGE, m_cancel);
    background.OnInitDialog();
    return TRUE;
}

void language::CloseWithMessage(const char* text) {
    MessageBox(this, QString::fromUtf8(text));
    InstallAborted = -1;
    EndDialog(IDOK);
}

bool language::UnsupportedCodepageChosen() const {
    const int index = m_language.GetCurSel();
    return AllCodepagesSupported == 0 && (index == 3 || index == 4 || index == 5);
}

void language::ShowFirmwareMessage() {
    MessageBox(this, QString::fromUtf8(kCodepageNeedsFirmware));
}

void language::OnSelchangeLanguage() {
    if (UnsupportedCodepageChosen())
        ShowFirmwareMessage();
}

void language::OnOK() {
    const int index = m_language.GetCurSel();
    if (index == CB_ERR)
        return;
    SelectedLanguage = index;
    if (UnsupportedCodepageChosen()) {
        ShowFirmwareMessage();
        return;
    }
    CDialog::OnOK();

    CWnd* owner = GetParent();
    {
        messageDlg task(context, owner);
        task.DoModal();
    }
    if (LastWriteFailed != 0) {
        language again(context, owner);
        again.DoModal();
    } else {
        progress restart(context, owner);
        restart.DoModal();
    }
}

void language::OnCancel() {
    InstallAborted = -1;
    CDialog::OnCancel();
}

void language::OnClose() {
    InstallAborted = -1;
    CDialog::OnCancel();
}

BOOL language::OnEraseBkgnd(QPainter& painter) {
    return background.OnEraseBkgnd(*this, painter);
}

void language::OnCtlColor(CtlColor& color) {
    skin::DialogCtlColor(color, IDD_LANGUAGE);
}
