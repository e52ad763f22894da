#pragma once

#include "platform/dialog/dialog.h"
#include "skin/dialog_looks.h"
#include "skin/skin_button.h"

// The answer of the last drive-letter confirmation: 1 for OK, 0 for Cancel,
// Esc or the close box. It keeps its value between commands; the map command
// reads it rather than the dialog's return code.
extern int MountAnswer;

// Asks before a drive letter that is already connected is mapped again
// (template 229): two lines of text and skinned OK and Cancel on background
// 270, loaded on the first background erase.
class MountMessage : public CDialog {
public:
    explicit MountMessage(CWnd* parent = nullptr);
    ~MountMessage() override;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnCancel() override;

    const skin::SkinBackground& Background() const { return background; }

protected:
    BOOL OnEraseBkgnd(QPainter& painter);
    void OnCtlColor(CtlColor& color);

    DECLARE_MESSAGE_MAP()

private:
    skin::SkinBackground background;
    CxSkinButton m_ok;
    CxSkinButton m_cancel;
};
