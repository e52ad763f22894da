#pragma once

#include <QFont>
#include <QIcon>
#include <string>

#include "app/credential_cache.h"
#include "app/drive_letters/drive_letter_table.h"
#include "app/login_policy.h"
#include "app/web_console.h"
#include "platform/dialog/combo_box.h"
#include "platform/dialog/dialog.h"
#include "platform/dialog/ip_address_ctrl.h"
#include "platform/services/platform_services.h"
#include "skin/dialog_looks.h"
#include "skin/skin_button.h"
#include "skin/skin_list_ctrl.h"

// The main window: a frameless, bitmap-skinned dialog (template 102) with
// the device list, the LAN settings of the picked recorder, its volumes and
// the drive letters. It owns the search, the device pick, the about box,
// exit, minimise and close, and the tear-down that ends the network layer.
class CLanscoutDlg : public CDialog, private LoginUi {
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
    // Web console (web_console.cpp).
    void OnConfigure();
    int WaitForProbe();
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

    void LoadButtonSkins();
    void ShowVolumes(const std::string& deviceName, const std::string& deviceAddress);

    ostrel::platform::PlatformServices& services;

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
    CSkinListCtrl m_volumeList;
    CSkinListCtrl m_deviceList;
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
