#include "live.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <memory>

#include "platform/dialog/combo_box.h"
#include "platform/dialog/dialog.h"
#include "platform/dialog/ip_address_ctrl.h"
#include "platform/dialog/resources.h"
#include "res/button_skins.h"
#include "res/templates/control_ids.h"
#include "res/templates/dialog_templates.h"
#include "sheets.h"
#include "skin/dialog_looks.h"
#include "skin/skin_button.h"
#include "skin/skin_list_ctrl.h"
#include "skin/skin_progress.h"
#include "skin/window_region.h"

using namespace ostrel::dialog;

namespace res::gallery {
namespace {

// Any product dialog, skinned the way its own class skins it: buttons with
// their bitmaps, lists with their header and bars, the progress bar, the
// background and the static-text colour.
class GalleryDialog : public CDialog {
public:
    explicit GalleryDialog(int templateId) : CDialog(templateId), background(templateId) {
        for (const ControlTemplate& c : ProductDialogTemplate(templateId).controls) {
            if (c.controlClass == ControlClass::Button && FindButtonSkin(templateId, c.id)) {
                buttons.push_back({c.id, std::make_unique<CxSkinButton>()});
                BindControl(c.id, *buttons.back().second);
            } else if (c.controlClass == ControlClass::ListView) {
                lists.push_back({c.id, std::make_unique<CSkinListCtrl>()});
                BindControl(c.id, *lists.back().second);
            } else if (c.controlClass == ControlClass::Progress) {
                progress = std::make_unique<CSkinProgress>();
                BindControl(c.id, *progress);
            }
        }
    }

    CxSkinButton* button(int id) {
        for (auto& [bid, b] : buttons)
            if (bid == id)
                return b.get();
        return nullptr;
    }
    CSkinListCtrl* list(int id) {
        for (auto& [lid, l] : lists)
            if (lid == id)
                return l.get();
        return nullptr;
    }
    CSkinProgress* progressBar() { return progress.get(); }

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        for (auto& [id, b] : buttons) {
            const ButtonSkin* s = FindButtonSkin(GetTemplateId(), id);
            b->LoadSkinBitmaps(s->normal, s->down, s->over, s->disabled);
        }
        for (auto& [id, l] : lists)
            l->AttachSkinScrollBars();
        background.OnInitDialog();
        return TRUE;
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_ERASEBKGND) {
            return background.OnEraseBkgnd(*this, *reinterpret_cast<QPainter*>(wParam));
        }
        if (message == WM_CTLCOLOR) {
            skin::DialogCtlColor(*reinterpret_cast<CtlColor*>(lParam), GetTemplateId());
            return 0;
        }
        return CDialog::WindowProc(message, wParam, lParam);
    }

private:
    skin::SkinBackground background;
    std::vector<std::pair<int, std::unique_ptr<CxSkinButton>>> buttons;
    std::vector<std::pair<int, std::unique_ptr<CSkinListCtrl>>> lists;
    std::unique_ptr<CSkinProgress> progress;
};

void FillMainWindow(GalleryDialog& d) {
    if (CSkinListCtrl* devices = d.list(IDC_DEVICE_LIST)) {
        devices->SetExtendedStyle(LVS_EX_FULLROWSELECT);
        const char* columns[] = {"Name", "IP", "Netmask", "Gateway"};
        const int widths[] = {94, 81, 81, 81};
        for (int c = 0; c < 4; ++c)
            devices->InsertColumn(c, columns[c], LVCFMT_LEFT, widths[c], c);
        const char* rows[][4] = {
            {"KVR-610L Lobby", "192.168.1.20", "255.255.255.0", "192.168.1.1"},
            {"KVR-620 Store", "192.168.1.21", "255.255.255.0", "192.168.1.1"},
            {"KVR-620 Gate", "192.168.1.35", "255.255.255.0", "192.168.1.1"},
            {"KVR-610L Yard", "192.168.1.36", "255.255.255.0", "192.168.1.1"},
            {"KVR-610L Dock", "192.168.1.40", "255.255.255.0", "192.168.1.1"},
            {"KVR-620 Office", "192.168.1.41", "255.255.255.0", "192.168.1.1"},
        };
        for (int r = 0; r < 6; ++r) {
            devices->InsertItem(r, rows[r][0]);
            for (int c = 1; c < 4; ++c)
                devices->SetItemText(r, c, rows[r][c]);
        }
        devices->SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    }
    if (CSkinListCtrl* volumes = d.list(IDC_VOLUME_LIST)) {
        volumes->SetExtendedStyle(LVS_EX_FULLROWSELECT);
        volumes->InsertColumn(0, "Volume Name", LVCFMT_LEFT, 120, 0);
        volumes->InsertColumn(1, "Location", LVCFMT_LEFT, 111, 1);
        volumes->InsertItem(0, "HDD_1");
        volumes->SetItemText(0, 1, "Z:");
        volumes->InsertItem(1, "HDD_2");
    }
    if (auto* ip = d.GetDlgItemAs<CIPAddressCtrl>(IDC_IP_ADDRESS))
        ip->SetAddress(192, 168, 1, 21);
    if (auto* mask = d.GetDlgItemAs<CIPAddressCtrl>(IDC_NETMASK))
        mask->SetAddress(255, 255, 255, 0);
    if (auto* gw = d.GetDlgItemAs<CIPAddressCtrl>(IDC_GATEWAY))
        gw->SetAddress(192, 168, 1, 1);
    if (auto* dhcp = d.GetDlgItemAs<CComboBox>(IDC_DHCP))
        dhcp->SetCurSel(0);
    if (auto* letters = d.GetDlgItemAs<CComboBox>(IDC_DRIVE_LETTERS)) {
        letters->AddString("Y:");
        letters->SetCurSel(0);
    }
}

}  // namespace

QImage RenderLiveDialog(int templateId) {
    GalleryDialog dialog(templateId);
    if (!dialog.Create())
        return {};
    if (templateId == IDD_MAIN)
        FillMainWindow(dialog);
    if (CSkinProgress* bar = dialog.progressBar()) {
        bar->SetRange(1, 100);
        bar->SetPos(40);
    }
    if (templateId == IDD_MAIN) {
        for (CSkinListCtrl* l : {dialog.list(IDC_DEVICE_LIST), dialog.list(IDC_VOLUME_LIST)}) {
            if (l)
                l->PositionScrollBars();
        }
    }
    dialog.show();
    QApplication::processEvents();
    QImage image = dialog.grab().toImage();
    if (templateId == IDD_MAIN) {
        // The window's cut corners, as its region shapes it on screen (the
        // region is in design pixels, as the painter on the grab is).
        const QRegion region = skin::MainWindowRegion(dialog.width(), dialog.height());
        QPainter p(&image);
        const QRect whole(QPoint(0, 0), dialog.size());
        p.setClipRegion(QRegion(whole).subtracted(region));
        p.fillRect(whole, QColor(0x60, 0x60, 0x60));
    }
    dialog.DestroyWindow();
    return image;
}

}  // namespace res::gallery

namespace res::gallery {
namespace {

QImage Sheet(QSize size) {
    return Picture(size, QColor(0xfa, 0xfa, 0xfa));
}

QFont CaptionFont() {
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(11);
    return f;
}

void Hover(QWidget* w) {
    const QPointF inside(w->width() / 2.0, w->height() / 2.0);
    QMouseEvent move(QEvent::MouseMove, inside, w->mapToGlobal(inside), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

// Each skinned button of a dialog, grabbed normal, hovered, pressed,
// disabled and focused by keyboard, one row per button.
void ButtonRows(int templateId, QPainter& p, int& y, int cell) {
    GalleryDialog d(templateId);
    if (!d.Create())
        return;
    d.show();
    QApplication::processEvents();
    for (const ButtonSkin& s : ButtonSkins()) {
        if (s.templateId != templateId)
            continue;
        CxSkinButton* b = d.button(s.controlId);
        if (!b || !b->isVisible())
            continue;
        p.setPen(QColor(0x44, 0x44, 0x44));
        p.drawText(10, y + 18, QStringLiteral("%1 / %2").arg(templateId).arg(s.controlId));
        for (int state = 0; state < 4; ++state) {
            if (state == 1)
                Hover(b);
            if (state == 2)
                b->SetState(TRUE);
            if (state == 3) {
                b->SetState(FALSE);
                b->EnableWindow(FALSE);
            }
            QApplication::processEvents();
            p.drawPixmap(120 + state * cell, y, b->grab());
            if (state == 1) {
                QEvent leave(QEvent::Leave);
                QApplication::sendEvent(b, &leave);
            }
        }
        b->EnableWindow(TRUE);
        // Reached with the Tab key: the keyboard focus mark.
        d.setAttribute(Qt::WA_KeyboardFocusChange);
        b->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        p.drawPixmap(120 + 4 * cell, y, b->grab());
        b->clearFocus();
        y += 36;
    }
    d.DestroyWindow();
}

QImage ButtonStates() {
    constexpr int kCell = 120;
    QImage sheet = Sheet(QSize(120 + 5 * kCell, 40 + 36 * 16));
    QPainter p(&sheet);
    p.setFont(CaptionFont());
    p.setPen(QColor(0x44, 0x44, 0x44));
    const char* states[] = {"normal", "hover", "pressed", "disabled", "keyboard focus"};
    for (int s = 0; s < 5; ++s)
        p.drawText(120 + s * kCell, 20, states[s]);
    int y = 32;
    for (int t : {IDD_MAIN, IDD_LOGIN, IDD_WIDGET_ALERT})
        ButtonRows(t, p, y, kCell);
    return sheet.copy(0, 0, sheet.width(), qRound((y + 8) * sheet.devicePixelRatio()));
}

// Both lists of the main window, the device list full enough to scroll both
// ways and the volume list with nothing to scroll, each with its bars.
QImage Lists() {
    GalleryDialog d(IDD_MAIN);
    if (!d.Create())
        return {};
    FillMainWindow(d);
    CSkinListCtrl* devices = d.list(IDC_DEVICE_LIST);
    for (int r = devices->GetItemCount(); r < 14; ++r) {
        devices->InsertItem(r, QStringLiteral("KVR-620 Site %1").arg(r + 1));
        devices->SetItemText(r, 1, QStringLiteral("192.168.2.%1").arg(r + 10));
        devices->SetItemText(r, 2, "255.255.255.0");
        devices->SetItemText(r, 3, "192.168.2.1");
    }
    devices->PositionScrollBars();
    d.list(IDC_VOLUME_LIST)->PositionScrollBars();
    d.show();
    QApplication::processEvents();
    const QImage whole = d.grab().toImage();
    const QRect a = devices->widget()->geometry().adjusted(-6, -6, 20, 20);
    const QRect b = d.list(IDC_VOLUME_LIST)->widget()->geometry().adjusted(-6, -6, 20, 20);
    QImage sheet = Sheet(QSize(std::max(a.width(), b.width()) + 20, a.height() + b.height() + 70));
    QPainter p(&sheet);
    p.setFont(CaptionFont());
    p.setPen(QColor(0x44, 0x44, 0x44));
    p.drawText(10, 16, "device list: row 2 selected, scrolls both ways");
    // The grab has the screen's density; its parts are cut in device pixels.
    const qreal scale = whole.devicePixelRatio();
    auto part = [&](const QRect& r) {
        return whole.copy(QRectF(QPointF(r.topLeft()) * scale, QSizeF(r.size()) * scale).toRect());
    };
    p.drawImage(10, 24, part(a));
    p.drawText(10, 24 + a.height() + 22, "volume list: nothing to scroll (disabled bars)");
    p.drawImage(10, 24 + a.height() + 30, part(b));
    d.DestroyWindow();
    return sheet;
}

// The restart window's bar at its lower end, part way, full, and with an
// empty range.
QImage ProgressStates() {
    struct Case {
        const char* name;
        int lower, upper, pos;
    };
    const Case cases[] = {{"position = lower", 1, 100, 1},
                          {"position 40 of 1-100", 1, 100, 40},
                          {"position = upper", 1, 100, 100},
                          {"empty range", 50, 50, 50}};
    QImage sheet = Sheet(QSize(420, 30 + 36 * 4));
    QPainter p(&sheet);
    p.setFont(CaptionFont());
    int y = 14;
    for (const Case& c : cases) {
        GalleryDialog d(IDD_PROGRESS);
        if (!d.Create())
            return {};
        CSkinProgress* bar = d.progressBar();
        bar->SetRange(c.lower, c.upper);
        bar->SetPos(c.pos);
        d.show();
        QApplication::processEvents();
        p.setPen(QColor(0x44, 0x44, 0x44));
        p.drawText(10, y + 12, c.name);
        p.drawPixmap(160, y, bar->widget()->grab());
        d.DestroyWindow();
        y += 36;
    }
    return sheet;
}

}  // namespace

std::vector<std::pair<QString, QImage>> ControlSheets() {
    return {{QStringLiteral("controls-buttons.png"), ButtonStates()},
            {QStringLiteral("controls-lists.png"), Lists()},
            {QStringLiteral("controls-progress.png"), ProgressStates()}};
}

}  // namespace res::gallery
