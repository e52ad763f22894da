#pragma once

#include <QFont>
#include <QIcon>
#include <optional>
#include <string>

#include "addons/addon_commands.h"
#include "app/credential_cache.h"
#include "app/drive_letters/drive_letter_table.h"
#include "app/login_policy.h"
#include "app/pick_list.h"
#include "app/volume_location.h"
#include "app/web_console.h"
#include "platform/dialog/combo_box.h"
#include "platform/dialog/dialog.h"
#include "platform/dialog/ip_address_ctrl.h"
#include "platform/services/platform_services.h"
#include "skin/dialog_looks.h"
#include "skin/skin_button.h"

// The main window: a frameless, bitmap-skinned dialog (template 102) with
// the device list, the LAN settings of the picked recorder, its volumes and
// the drive letters. It owns the search, the device pick, the LAN editor, the
// web console launch, the network drives, the hidden add-on commands, the
// about box, exit, minimise and close, and the tear-down that ends the
// network layer.
class CLanscoutDlg : public CDialog, private LoginUi, private ostrel::addons::AddonHost {
public:
    // The services are the program's own unless a test hands in fakes.
    explicit CLanscoutDlg(CWnd* parent = nullptr);
    CLanscoutDlg(ostrel::platform::PlatformServices& services, CWnd* parent = nullptr);
    ~CLanscoutDlg() override;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

    // The drive-letter table and list, then the search; deviceSelected := 0.
    void FullRefresh();
    // Rebuilds the device list from the DeviceTable and adds an
    // unauthenticated cache entry per recorder (the search and the LAN
    // editor's rediscovery run it).
    void FillDeviceList();

    // State the window keeps, for the commands that read it.
    int deviceSelected = 0;
    const std::string& ModelText() const { return modelText; }
    CredentialCache& Credentials() { return credentialCache; }
    const DriveLetterTable& DriveLetters() const { return driveLetterTable; }
    ostrel::platform::PlatformServices& Services() { return services; }
    // The web console launch's probe thread and pause (tests replace the pause).
    WebConsoleState& WebConsole() { return webConsole; }
    // What the hidden add-on commands work with (tests answer the device
    // queries through it; the program's own device answers none).
    ostrel::addons::AddonContext& Addons() { return addons; }

protected:
    // Commands.
    void OnSearch();
    void OnClickDeviceList(NMHDR* header, LRESULT* result);
    void OnAbout();
    void OnExit();
    void OnMinimize();
    // LAN settings editor (lan_settings_editor.cpp).
    void OnSelchangeDhcp();
    void OnApplyLan();
    void RediscoverDevices();
    // Network drives (drive_mapping.cpp).
    void OnMapDrive();
    void OnUnmapDrive();
    // The drive-letter table and list rebuilt, then the volumes of each
    // selected device row from `firstDeviceRow` on shown again with their
    // letters.
    void RefreshAfterDriveChange(int firstDeviceRow, HostMatch hostMatch);
    // Web console (web_console.cpp).
    void OnConfigure();
    int WaitForProbe();
    // The warning for a recorder that cannot be reached, then a full refresh.
    void ReportUnreachable();
    // The hidden add-on commands (addon_host.cpp).
    void OnCodepageInstall();
    void OnAddonInstall();
    void OnWidget();
    LRESULT OnQueryDragIcon(WPARAM wParam, LPARAM lParam);
    void OnDestroy();

    // Looks.
    BOOL OnEraseBkgnd(QPainter& painter);
    void OnPaint(QPainter& painter);
    void OnCtlColor(CtlColor& color);
    UINT OnNcHitTest(QPoint screenPos);
    void OnLButtonDown(UINT flags, QPoint clientPos);
    void OnSize(UINT type, int cx, int cy);

    DECLARE_MESSAGE_MAP()

private:
    // LoginUi: the pick's login dialog and its error box.
    bool RunLoginDialog() override;
    // Runs a dialog of the window modally; IDCANCEL when an exit came meanwhile.
    int RunNested(CDialog& dialog);
    void ShowWrongAdminPassword() override;
    // AddonHost: what the add-on commands ask of the window.
    CWnd* Window() override;
    int& DeviceSelected() override;
    bool DefaultCredentialsFirst() override;
    std::optional<std::string> SelectedDeviceAddress() override;
    std::string ShownModelText() override;

    void LoadButtonSkins();
    // Names and labels for screen readers, and the keyboard's tab order.
    void SetUpAccessibility();
    // Lists the volumes last read with the letter each is mapped to.
    void ShowVolumes(const std::string& deviceName, const std::string& deviceAddress,
                     HostMatch hostMatch = HostMatch::IgnoringCase);

    ostrel::platform::PlatformServices& services;
    ostrel::addons::AddonDevice unavailableDevice;
    ostrel::addons::AddonContext addons{&services, &unavailableDevice};

    skin::SkinBackground background;
    CxSkinButton m_exit;
    CxSkinButton m_about;
    CxSkinButton m_apply;
    CxSkinButton m_addonInstall;
    CxSkinButton m_close;
    CxSkinButton m_minimize;
    CxSkinButton m_codepageInstall;
    CxSkinButton m_webConsole;
    CxSkinButton m_unmapDrive;
    CxSkinButton m_mapDrive;
    CxSkinButton m_widget;
    CxSkinButton m_search;
    CComboBox m_dhcp;
    CComboBox m_driveLetters;
    PickListCtrl m_volumeList;
    PickListCtrl m_deviceList;
    CIPAddressCtrl m_ipAddress;
    CIPAddressCtrl m_netmask;
    CIPAddressCtrl m_gateway;
    // (deviceSelected, public above)
    QIcon m_hIcon;
    CListCtrl* deviceListWnd = nullptr;
    CListCtrl* volumeListWnd = nullptr;
    std::string modelText;
    QFont deviceListFont;
    QFont volumeListFont;
    CredentialCache credentialCache;

    DriveLetterTable driveLetterTable;
    // The exit command shuts the network down before the window goes, so
    // the tear-down must not close the sockets a second time.
    bool networkShutDown = false;
    // The dialog this window runs modally right now, and an exit that
    // reached the window meanwhile and waits for that run to end.
    CDialog* nestedModal = nullptr;
    bool exitPending = false;
    // Joined at tear-down, so no probe outlives the window.
    WebConsoleState webConsole;
};
