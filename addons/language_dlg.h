#pragma once

#include "addons/addon_context.h"
#include "platform/dialog/combo_box.h"
#include "platform/dialog/dialog.h"
#include "skin/dialog_looks.h"
#include "skin/skin_button.h"

// The language dialog of the codepage installation (template 139): asks
// the recorder for its disk and codepage state, offers the nine languages,
// and on OK runs the install task, then the restart window (or, after a
// failed write, a fresh language dialog).
class language : public CDialog {
public:
    language(ostrel::addons::AddonContext& context, CWnd* parent = nullptr);
    ~language() override;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnCancel() override;

protected:
    void OnSelchangeLanguage();
    void OnClose();
    BOOL OnEraseBkgnd(QPainter& painter);
    void OnCtlColor(CtlColor& color);

    DECLARE_MESSAGE_MAP()

private:
    // A language the recorder's firmware cannot take was chosen.
    bool UnsupportedCodepageChosen() const;
    void ShowFirmwareMessage();
    void CloseWithMessage(const char* text);

    ostrel::addons::AddonContext& context;
    skin::SkinBackground background;
    CxSkinButton m_ok;
    CxSkinButton m_cancel;
    CComboBox m_language;
};

namespace ostrel::addons {
// The language index of a codepage number the recorder reports, or -1.
int LanguageOfCodepage(int codepage);
}  // namespace ostrel::addons
