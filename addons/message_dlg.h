#pragma once

#include <string>

#include "addons/addon_context.h"
#include "platform/dialog/dialog.h"
#include "res/fileset/file_set_items.h"
#include "skin/dialog_looks.h"

// The install-task window (template 180): a warning not to power the
// recorder down, shown while the task runs in its first timer tick. Timer 1
// installs the chosen language's codepage files, timer 2 the BitTorrent
// add-on. Neither Enter, Esc nor command 1024 closes it; only the task does.
class messageDlg : public CDialog {
public:
    static constexpr UINT_PTR kCodepageTimer = 1;
    static constexpr UINT_PTR kAddonTimer = 2;
    static constexpr UINT kTaskDelayMs = 2000;

    messageDlg(ostrel::addons::AddonContext& context, CWnd* parent = nullptr);
    ~messageDlg() override;

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnTimer(UINT_PTR id) override;

protected:
    BOOL OnEraseBkgnd(QPainter& painter);
    void OnCtlColor(CtlColor& color);

    DECLARE_MESSAGE_MAP()

private:
    void InstallCodepages(const std::string& targetDir, ostrel::fileset::VolumeLayout layout);
    void InstallAddon(const std::string& targetDir);
    // Closes the window and stops its timer, then the "stop" request and
    // the message.
    void Fail(UINT_PTR timer);

    ostrel::addons::AddonContext& context;
    skin::SkinBackground background;
    bool taskRan = false;
};

namespace ostrel::addons {

// Where the files go, relative to the recorder's root share.
struct InstallTarget {
    std::string directory;  // "HDD_a\.codepages", "HDD_1\.systemfile\.codepages", ...
    fileset::VolumeLayout layout;
};
// The target for the volume name the recorder reported: HDD_1 (any case)
// is the HDD_1 layout; HDD_a, an empty name and any other name the HDD_a
// layout (whose folder is then "HDD_a").
InstallTarget TargetFor(const std::string& volumeName, bool addon);

}  // namespace ostrel::addons
