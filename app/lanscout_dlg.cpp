#include "app/lanscout_dlg.h"

#include <QPainter>
#include <array>

#include "app/accessibility.h"
#include "app/drive_letters/drive_letter_combo.h"
#include "app/login_dlg.h"
#include "app/showabout_dlg.h"
#include "platform/dialog/dialog_units.h"
#include "platform/dialog/message_box.h"
#include "platform/dialog/resources.h"
#include "protocol/device_table.h"
#include "protocol/network.h"
#include "protocol/volume_list.h"
#include "res/bitmap_ids.h"
#include "res/button_skins.h"
#include "res/product_name.h"
#include "res/templates/control_ids.h"
#include "skin/skinned_button_names.h"
#include "skin/window_region.h"

using namespace res;

namespace {

constexpr const char* kWindowTitle = res::kProductName;

// The buttons in the order their skins are loaded.
constexpr std::array kSkinOrder = {
    IDC_CLOSE,         IDC_MINIMIZE, IDC_SEARCH,    IDC_WEB_CONSOLE, IDC_CODEPAGE_INSTALL,
    IDC_ADDON_INSTALL, IDC_APPLY,    IDC_MAP_DRIVE, IDC_UNMAP_DRIVE, IDC_ABOUT,
    IDC_EXIT};

// The keyboard's tab order: the window read top to bottom, left to right.
// The hidden add-on buttons keep their places and are skipped while hidden.
constexpr std::array kTabOrder = {
    IDC_MINIMIZE,         IDC_CLOSE,       IDC_DEVICE_LIST,   IDC_SEARCH,      IDC_WEB_CONSOLE,
    IDC_CODEPAGE_INSTALL, IDC_WIDGET,      IDC_ADDON_INSTALL, IDC_IP_ADDRESS,  IDC_DHCP,
    IDC_NETMASK,          IDC_APPLY,       IDC_GATEWAY,       IDC_VOLUME_LIST, IDC_DRIVE_LETTERS,
    IDC_MAP_DRIVE,        IDC_UNMAP_DRIVE, IDC_ABOUT,         IDC_EXIT};

}  // namespace

BEGIN_MESSAGE_MAP(CLanscoutDlg, CDialog)
ON_BN_CLICKED(IDC_SEARCH, &CLanscoutDlg::OnSearch)
ON_NOTIFY(NM_CLICK, IDC_DEVICE_LIST, &CLanscoutDlg::OnClickDeviceList)
ON_BN_CLICKED(IDC_APPLY, &CLanscoutDlg::OnApplyLan)
ON_CBN_SELCHANGE(IDC_DHCP, &CLanscoutDlg::OnSelchangeDhcp)
ON_BN_CLICKED(IDC_WEB_CONSOLE, &CLanscoutDlg::OnConfigure)
ON_BN_CLICKED(IDC_MAP_DRIVE, &CLanscoutDlg::OnMapDrive)
ON_BN_CLICKED(IDC_UNMAP_DRIVE, &CLanscoutDlg::OnUnmapDrive)
ON_BN_CLICKED(IDC_CODEPAGE_INSTALL, &CLanscoutDlg::OnCodepageInstall)
ON_BN_CLICKED(IDC_ADDON_INSTALL, &CLanscoutDlg::OnAddonInstall)
ON_BN_CLICKED(IDC_WIDGET, &CLanscoutDlg::OnWidget)
ON_BN_CLICKED(IDC_ABOUT, &CLanscoutDlg::OnAbout)
ON_BN_CLICKED(IDC_EXIT, &CLanscoutDlg::OnExit)
ON_BN_CLICKED(IDC_MINIMIZE, &CLanscoutDlg::OnMinimize)
ON_BN_CLICKED(IDC_CLOSE, &CDialog::OnCancel)
ON_MESSAGE(WM_QUERYDRAGICON, &CLanscoutDlg::OnQueryDragIcon)
ON_WM_DESTROY()
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_CTLCOLOR()
ON_WM_NCHITTEST()
ON_WM_LBUTTONDOWN()
ON_WM_SIZE()
END_MESSAGE_MAP()

CLanscoutDlg::CLanscoutDlg(CWnd* parent)
    : CLanscoutDlg(ostrel::platform::SystemServices(), parent) {}

CLanscoutDlg::CLanscoutDlg(ostrel::platform::PlatformServices& platformServices, CWnd* parent)
    : CDialog(IDD_MAIN, parent), services(platformServices), background(IDD_MAIN) {
    m_hIcon = LoadIconResource(IDI_APP);
    // On Wayland the cut corners are painted transparent rather than cut by
    // the window system; the surface must be translucent from the start.
    skin::PrepareRegionShaping(*this);
}

CLanscoutDlg::~CLanscoutDlg() = default;

void CLanscoutDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_EXIT, m_exit);
    DDX_Control(pDX, IDC_ABOUT, m_about);
    DDX_Control(pDX, IDC_APPLY, m_apply);
    DDX_Control(pDX, IDC_ADDON_INSTALL, m_addonInstall);
    DDX_Control(pDX, IDC_CLOSE, m_close);
    DDX_Control(pDX, IDC_MINIMIZE, m_minimize);
    DDX_Control(pDX, IDC_CODEPAGE_INSTALL, m_codepageInstall);
    DDX_Control(pDX, IDC_WEB_CONSOLE, m_webConsole);
    DDX_Control(pDX, IDC_UNMAP_DRIVE, m_unmapDrive);
    DDX_Control(pDX, IDC_MAP_DRIVE, m_mapDrive);
    DDX_Control(pDX, IDC_WIDGET, m_widget);
    DDX_Control(pDX, IDC_DRIVE_LETTERS, m_driveLetters);
    DDX_Control(pDX, IDC_DHCP, m_dhcp);
    DDX_Control(pDX, IDC_VOLUME_LIST, m_volumeList);
    DDX_Control(pDX, IDC_DEVICE_LIST, m_deviceList);
    DDX_Control(pDX, IDC_SEARCH, m_search);
    DDX_Control(pDX, IDC_IP_ADDRESS, m_ipAddress);
    DDX_Control(pDX, IDC_NETMASK, m_netmask);
    DDX_Control(pDX, IDC_GATEWAY, m_gateway);
}

BOOL CLanscoutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText(QString::fromLatin1(kWindowTitle));
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    // Two equal list fonts. The character set the platform would take from
    // the window's device context has no counterpart here: Qt fonts cover
    // every script.
    deviceListFont = LogicalFont(QStringLiteral("Tahoma"), 13, 100);
    volumeListFont = LogicalFont(QStringLiteral("Tahoma"), 13, 100);

    m_deviceList.AttachSkinScrollBars();
    m_volumeList.AttachSkinScrollBars();

    deviceListWnd = GetDlgItemAs<CListCtrl>(IDC_DEVICE_LIST);
    deviceListWnd->SetExtendedStyle(LVS_EX_FULLROWSELECT);
    deviceListWnd->SetFont(deviceListFont, TRUE);
    deviceListWnd->InsertColumn(0, QStringLiteral("Name"), LVCFMT_LEFT, 94, 0);
    deviceListWnd->InsertColumn(1, QStringLiteral("IP"), LVCFMT_LEFT, 81, 1);
    deviceListWnd->InsertColumn(2, QStringLiteral("Netmask"), LVCFMT_LEFT, 81, 2);
    deviceListWnd->InsertColumn(3, QStringLiteral("Gateway"), LVCFMT_LEFT, 81, 3);

    volumeListWnd = GetDlgItemAs<CListCtrl>(IDC_VOLUME_LIST);
    volumeListWnd->SetExtendedStyle(LVS_EX_FULLROWSELECT);
    volumeListWnd->SetFont(volumeListFont, TRUE);
    volumeListWnd->InsertColumn(0, QStringLiteral("Volume Name"), LVCFMT_LEFT, 120, 0);
    volumeListWnd->InsertColumn(1, QStringLiteral("Location"), LVCFMT_LEFT, 111, 1);

    deviceListWnd->SetTextColor(RGB(0, 0, 0));
    volumeListWnd->SetTextColor(RGB(0, 0, 0));

    LoadButtonSkins();
    SetUpAccessibility();
    background.OnInitDialog();

    FullRefresh();
    return TRUE;
}

void CLanscoutDlg::LoadButtonSkins() {
    for (int id : kSkinOrder) {
        auto* button = GetDlgItemAs<CxSkinButton>(id);
        const ButtonSkin* skin = FindButtonSkin(IDD_MAIN, id);
        if (button != nullptr && skin != nullptr) {
            button->LoadSkinBitmaps(skin->normal, skin->down, skin->over, skin->disabled, 0, 0, 0,
                                    0, 0);
        }
    }
    for (CxSkinButton* button :
         {&m_exit, &m_about, &m_apply, &m_addonInstall, &m_close, &m_minimize, &m_codepageInstall,
          &m_webConsole, &m_unmapDrive, &m_mapDrive, &m_widget, &m_search}) {
        NameSkinnedButton(IDD_MAIN, *button);
    }
}

void CLanscoutDlg::SetUpAccessibility() {
    m_deviceList.setAccessibleName(QStringLiteral("Recorders"));
    m_deviceList.setAccessibleDescription(QStringLiteral("Name, IP, Netmask, Gateway"));
    m_volumeList.setAccessibleName(QStringLiteral("Volumes"));
    m_volumeList.setAccessibleDescription(QStringLiteral("Volume Name, Location"));
    for (PickListCtrl* list : {&m_deviceList, &m_volumeList}) {
        list->VerticalBar().setAccessibleName(list->accessibleName() +
                                              QStringLiteral(", vertical scroll bar"));
        list->HorizontalBar().setAccessibleName(list->accessibleName() +
                                                QStringLiteral(", horizontal scroll bar"));
    }
    LabelAddressControl(m_ipAddress, QStringLiteral("IP address"));
    LabelAddressControl(m_netmask);
    LabelAddressControl(m_gateway);
    LabelControl(m_dhcp);
    LabelControl(m_driveLetters);

    QWidget* previous = nullptr;
    for (int id : kTabOrder) {
        QWidget* control = GetDlgItem(id)->widget();
        if (previous != nullptr) {
            QWidget::setTabOrder(previous, control);
        }
        previous = control;
    }
}

void CLanscoutDlg::FullRefresh() {
    RefreshDriveLetterTable(driveLetterTable, *services.drives);
    FillDriveLetterList(driveLetterTable, *services.drives, m_driveLetters);
    OnSearch();
    deviceSelected = 0;
}

void CLanscoutDlg::OnAbout() {
    showabout about(this);
    RunNested(about);
}

int CLanscoutDlg::RunNested(CDialog& dialog) {
    nestedModal = &dialog;
    const int result = dialog.DoModal();
    nestedModal = nullptr;
    if (exitPending) {
        // The exit waited for this run to end; it closes the window once the
        // handler that opened the dialog has returned.
        exitPending = false;
        QMetaObject::invokeMethod(
            this, [this] { OnExit(); }, Qt::QueuedConnection);
        return IDCANCEL;
    }
    return result;
}

void CLanscoutDlg::OnExit() {
    if (nestedModal != nullptr) {
        // An exit queued while one of the window's dialogs is open: tearing
        // the window down under that dialog's loop would leave the handler
        // that opened it running on a destroyed window. End the dialog first.
        exitPending = true;
        nestedModal->EndDialog(IDCANCEL);
        return;
    }
    ClearDeviceTable();
    ShutdownNetwork();
    networkShutDown = true;
    DestroyWindow();
}

void CLanscoutDlg::OnMinimize() {
    ShowWindow(SW_MINIMIZE);
}

LRESULT CLanscoutDlg::OnQueryDragIcon(WPARAM, LPARAM) {
    return reinterpret_cast<LRESULT>(&m_hIcon);
}

void CLanscoutDlg::OnDestroy() {
    CDialog::OnDestroy();
    ClearDeviceTable();
    if (!networkShutDown) {
        ShutdownNetwork();
        networkShutDown = true;
    }
    credentialCache.Clear();
    ClearVolumeList();
    webConsole.probe.Join();
}

bool CLanscoutDlg::RunLoginDialog() {
    login dialog(services, this);
    return RunNested(dialog) == IDOK;
}

void CLanscoutDlg::ShowWrongAdminPassword() {
    MessageBox(this, QString::fromLatin1(kWrongAdminPasswordText), QStringLiteral("Error"),
               MB_OK | MB_ICONERROR);
}

// ---- Looks ----

BOOL CLanscoutDlg::OnEraseBkgnd(QPainter& painter) {
    skin::ClipToWindowRegion(*this, painter);
    return background.OnEraseBkgnd(*this, painter);
}

void CLanscoutDlg::OnPaint(QPainter& painter) {
    skin::PaintMainWindow(*this, painter, m_hIcon);
}

void CLanscoutDlg::OnCtlColor(CtlColor& color) {
    skin::DialogCtlColor(color, IDD_MAIN);
}

UINT CLanscoutDlg::OnNcHitTest(QPoint screenPos) {
    return skin::CaptionHitTest(CDialog::OnNcHitTest(screenPos));
}

void CLanscoutDlg::OnLButtonDown(UINT flags, QPoint clientPos) {
    skin::MoveWindowByPress(*this, flags, clientPos);
}

void CLanscoutDlg::OnSize(UINT type, int cx, int cy) {
    CDialog::OnSize(type, cx, cy);
    skin::ApplyMainWindowRegion(*this, cx, cy);
}
