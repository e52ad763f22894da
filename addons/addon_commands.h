#pragma once

#include <optional>
#include <string>

#include "addons/addon_context.h"

class CWnd;

// The three hidden commands of the main window: codepage installation
// (1022), BitTorrent add-on (1025) and desktop widget (1032). The window
// hands itself in through AddonHost.
namespace ostrel::addons {

// What the commands need from the main window.
class AddonHost {
public:
    virtual ~AddonHost() = default;
    // Owner of the messages and dialogs.
    virtual CWnd* Window() = 0;
    // A recorder was clicked since the device list was last rebuilt.
    virtual int& DeviceSelected() = 0;
    // The drive-letter table and list, the search, deviceSelected := 0.
    virtual void FullRefresh() = 0;
    // "admin" with an empty password, then the login dialog, then once
    // more; false when the login finally failed (already reported).
    virtual bool DefaultCredentialsFirst() = 0;
    // Gives the device list the focus; the address column of its selected
    // row, nothing when no row is selected.
    virtual std::optional<std::string> SelectedDeviceAddress() = 0;
    // The model text of the last recorder whose details were shown.
    virtual std::string ShownModelText() = 0;
};

// The widget engine's download page, opened by "Download".
inline constexpr const char* kWidgetDownloadPage = "http://widgets.yahoo.com/download/";
// Where the selected recorder's address is left for the widget.
inline constexpr const char* kWidgetAddressFile = "C:\\ip.txt";

// Command 1022.
void RunCodepageInstallation(AddonHost& host, AddonContext& context);
// Command 1025.
void RunAddonInstallation(AddonHost& host, AddonContext& context);
// Command 1032.
void RunDesktopWidget(AddonHost& host, AddonContext& context);

// Whether the recorder can take the add-on: polls its disk state (15 × 2 s)
// and add-on status (1 s, then up to 15 × 2 s) and reports what stands in
// the way.
bool CheckAddonSupport(AddonHost& host, AddonContext& context);

// The widget file for a model text; empty for a model without one.
std::string WidgetFileForModel(const std::string& model);

}  // namespace ostrel::addons
