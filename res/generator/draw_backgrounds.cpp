#include "draw_backgrounds.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <vector>

#include "dialog_geometry.h"
#include "draw_parts.h"
#include "palette.h"
#include "res/bitmap_ids.h"
#include "res/product_name.h"
#include "res/templates/control_ids.h"
#include "res/templates/dialog_templates.h"

using namespace ostrel::dialog;

namespace res::gen {
namespace {

using namespace palette;

QFont SkinFont(int pixels, bool bold) {
    QFont f(SkinFontFamily());
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// A painter on `image` whose coordinates are the dialog's client pixels.
// For a stretched background the bitmap is the client area scaled to the
// bitmap's size; for a 1:1 one it is the client area itself, from (0, 0).
void BeginClientCanvas(QPainter& p, const QImage& image, QSize client, bool stretched) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (stretched) {
        const QSizeF bitmap = image.deviceIndependentSize();
        p.scale(bitmap.width() / client.width(), bitmap.height() / client.height());
    }
}

// A blank bitmap of `size` design pixels, `scale` device pixels each.
QImage Canvas(QSize size, int scale, const QColor& fill) {
    QImage image(size * scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    image.fill(fill);
    return image;
}

// The small dialogs: slate, with a glow of light under an accent line at
// the top. The glow is confined to the first `glow` pixels so every button,
// wherever its dialog puts it, sits on the flat base colour.
void PaintSlate(QPainter& p, QRectF area, qreal glow) {
    p.fillRect(area, kSlate);
    QLinearGradient g(area.topLeft(), area.topLeft() + QPointF(0, glow));
    g.setColorAt(0, kSlateRaised);
    g.setColorAt(1, kSlate);
    p.fillRect(QRectF(area.left(), area.top(), area.width(), glow), g);
    p.fillRect(QRectF(area.left(), area.top(), area.width(), 2), kAccent);
}

// A quiet panel on the slate: groups fields without competing with them.
void PaintInset(QPainter& p, const QRectF& r) {
    p.setPen(QPen(kSlateLine, 1));
    QColor fill = kSlateRaised;
    fill.setAlpha(150);
    p.setBrush(fill);
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
}

QRect UnionOf(const DialogGeometry& g, std::initializer_list<int> ids) {
    QRect u;
    for (int id : ids)
        u = u.united(g.visible(id));
    return u;
}

QRect UnionOfStatics(const DialogGeometry& g) {
    QRect u;
    for (const ControlTemplate& c : g.source().controls) {
        if (c.visible() && c.controlClass == ControlClass::Static)
            u = u.united(g.visible(c));
    }
    return u;
}

// Main window -----------------------------------------------------------

struct Section {
    const char* title;  // empty: a band without a heading
    QRect content;      // the controls it holds, in client pixels
};

constexpr int kSectionHeading = 24;  // room for a heading above the content
constexpr int kSectionPad = 9;
constexpr int kSectionGap = 8;  // the window colour between two bands

void PaintTitleBand(QPainter& p, const DialogGeometry& g, int bottom) {
    const int width = g.client().width();
    p.fillRect(QRect(0, 0, width, bottom), kSlate);
    p.fillRect(QRect(0, bottom - 1, width, 1), kAccent);

    const int icon = 16;
    const int iconY = (bottom - icon) / 2;
    // The icon drawn for as many device pixels as the band has.
    const int devicePixels = icon * static_cast<int>(p.device()->devicePixelRatio());
    p.drawImage(QRect(9, iconY, icon, icon), DrawAppIcon(devicePixels));

    p.setFont(SkinFont(12, true));
    p.setPen(Qt::white);
    const QFontMetricsF fm(p.font());
    const qreal baseline = std::round((bottom - 1 + fm.capHeight()) / 2.0);
    p.drawText(QPointF(9 + icon + 7, baseline), QString::fromLatin1(res::kProductName));
}

void PaintSectionBand(QPainter& p, int width, const QRect& band, const char* title, int textLeft,
                      int headingTop) {
    p.fillRect(QRect(0, band.top(), width, band.height()), kPanel);
    if (band.top() > 0)
        p.fillRect(QRect(0, band.top(), width, 1), kPanelBorder);
    p.fillRect(QRect(0, band.bottom(), width, 1), kPanelBorder);
    if (title == nullptr || *title == '\0')
        return;
    p.setFont(SkinFont(11, true));
    const QFontMetricsF fm(p.font());
    const qreal baseline = headingTop + 8 + fm.capHeight();
    p.fillRect(QRectF(textLeft - 7, baseline - fm.capHeight(), 3, fm.capHeight()), kAccent);
    p.setPen(kInkSoft);
    p.drawText(QPointF(textLeft, baseline), QString::fromLatin1(title).toUpper());
}

// The frame behind a skinned list and its two scroll bars. The bars leave a
// square at the corner and a pixel or two along their ends; the frame's
// track colour fills those so list and bars read as one control.
void PaintListWell(QPainter& p, const QRect& withBars) {
    p.fillRect(withBars.adjusted(-1, -1, 1, 1), kWellBorder);
    p.fillRect(withBars, kTrack);
    const QRect corner(withBars.right() - 13, withBars.bottom() - 13, 14, 14);
    p.fillRect(corner, kTrack);
    p.fillRect(QRect(corner.left(), corner.top(), 14, 1), kTrackEdge);
    p.fillRect(QRect(corner.left(), corner.top(), 1, 14), kTrackEdge);
}

QImage MainWindow(QSize size, int scale) {
    const DialogGeometry g(ProductDialogTemplate(IDD_MAIN));
    QImage image = Canvas(size, scale, kWindow);
    QPainter p(&image);
    BeginClientCanvas(p, image, g.client(), true);
    const int width = g.client().width();

    const int titleBottom = g.visible(IDC_CLOSE).bottom() + 7;
    PaintTitleBand(p, g, titleBottom);

    std::vector<Section> sections = {
        {"Recorders", g.listWithBars(IDC_DEVICE_LIST) | UnionOf(g, {IDC_SEARCH, IDC_WEB_CONSOLE})},
        {"LAN settings",
         UnionOf(g, {IDC_IP_ADDRESS, IDC_NETMASK, IDC_GATEWAY, IDC_APPLY, IDC_DHCP})},
        {"Network drives", g.listWithBars(IDC_VOLUME_LIST) |
                               UnionOf(g, {IDC_DRIVE_LETTERS, IDC_MAP_DRIVE, IDC_UNMAP_DRIVE})},
        {"", UnionOf(g, {IDC_ABOUT, IDC_EXIT})},
    };
    // The drive section's own label sits at its top; take it in.
    for (const ControlTemplate& c : g.source().controls) {
        if (c.visible() && c.controlClass == ControlClass::Static &&
            c.text.startsWith("Available Drive")) {
            sections[2].content |= g.visible(c);
        }
    }

    // Each band holds its heading and its controls; the first one starts
    // under the title band, the last one runs to the bottom edge, and the
    // space between two bands is shared out so every gap is the same.
    const int count = static_cast<int>(sections.size());
    std::vector<int> tops(count), bottoms(count);
    for (int i = 0; i < count; ++i) {
        const Section& s = sections[i];
        tops[i] = s.content.top() - (*s.title ? kSectionHeading : kSectionPad + 1);
        bottoms[i] = s.content.bottom() + kSectionPad;
    }
    tops.front() = titleBottom;
    bottoms.back() = g.client().height() - 1;
    for (int i = 0; i + 1 < count; ++i) {
        if (tops[i + 1] - bottoms[i] > kSectionGap) {
            const int middle = (bottoms[i] + tops[i + 1]) / 2;
            bottoms[i] = middle - kSectionGap / 2;
            tops[i + 1] = middle + kSectionGap / 2;
        }
    }
    const int textLeft = g.control(IDC_DEVICE_LIST).left();
    for (int i = 0; i < count; ++i) {
        const Section& s = sections[i];
        PaintSectionBand(p, width, QRect(0, tops[i], width, bottoms[i] - tops[i] + 1), s.title,
                         textLeft, s.content.top() - kSectionHeading);
    }

    PaintListWell(p, g.listWithBars(IDC_DEVICE_LIST));
    PaintListWell(p, g.listWithBars(IDC_VOLUME_LIST));
    return image;
}

// Small dialogs ------------------------------------------------------------

QImage SmallDialog(unsigned id, QSize size, int scale) {
    QImage image = Canvas(size, scale, kSlate);
    QPainter p(&image);

    switch (id) {
        case IDB_BG_LOGIN: {
            const DialogGeometry g(ProductDialogTemplate(IDD_LOGIN));
            BeginClientCanvas(p, image, g.client(), true);
            PaintSlate(p, QRectF(QPointF(0, 0), g.client()), 22);
            const QRect fields = UnionOfStatics(g) | UnionOf(g, {IDC_USER_NAME, IDC_PASSWORD});
            QRect card = fields.adjusted(-8, -8, 8, 8);
            card.setRight(std::min(card.right(), g.control(IDOK).left() - 7));
            PaintInset(p, card);
            break;
        }
        case IDB_BG_MOUNT_MESSAGE: {
            const DialogGeometry g(ProductDialogTemplate(IDD_MOUNT_MESSAGE));
            BeginClientCanvas(p, image, g.client(), true);
            PaintSlate(p, QRectF(QPointF(0, 0), g.client()), 22);
            // A question badge in the margin left of the two lines of text.
            const QRect text = UnionOfStatics(g);
            const qreal d = 14;
            const QRectF badge(std::max(3.0, text.left() - d - 5.0), text.top() + 1, d, d);
            p.setPen(Qt::NoPen);
            p.setBrush(kAccent);
            p.drawEllipse(badge);
            p.setPen(Qt::white);
            p.setFont(SkinFont(11, true));
            p.drawText(badge, Qt::AlignCenter, QStringLiteral("?"));
            break;
        }
        case IDB_BG_SERVER_MODEL: {
            const DialogGeometry g(ProductDialogTemplate(IDD_SERVER_MODEL));
            BeginClientCanvas(p, image, g.client(), true);
            PaintSlate(p, QRectF(QPointF(0, 0), g.client()), 22);
            const QRect radios = UnionOf(g, {IDC_MODEL_HSV510, IDC_MODEL_HSV520, IDC_MODEL_HSV540});
            PaintInset(p,
                       QRect(radios.left() - 7, radios.top() - 6,
                             g.client().width() - 2 * (radios.left() - 7), radios.height() + 12));
            break;
        }
        case IDB_BG_WIDGET_ALERT: {
            const DialogGeometry g(ProductDialogTemplate(IDD_WIDGET_ALERT));
            BeginClientCanvas(p, image, g.client(), true);
            PaintSlate(p, QRectF(QPointF(0, 0), g.client()), 22);
            // An accent rule along the message, like a call-out.
            const QRect text = UnionOfStatics(g);
            p.fillRect(QRectF(text.left() - 7, text.top() + 1, 3, text.height() - 2), kAccent);
            break;
        }
        case IDB_BG_ABOUT: {
            const DialogGeometry g(ProductDialogTemplate(IDD_ABOUT));
            BeginClientCanvas(p, image, g.client(), true);
            PaintSlate(p, QRectF(QPointF(0, 0), g.client()), 22);
            // A soft halo behind the application icon.
            const QRect icon = g.control(IDC_ABOUT_ICON);
            const QPointF c(icon.left() + 16, icon.top() + 16);
            QRadialGradient halo(c, 30);
            QColor glow = kAccentLight;
            glow.setAlpha(90);
            halo.setColorAt(0, glow);
            glow.setAlpha(0);
            halo.setColorAt(1, glow);
            p.setPen(Qt::NoPen);
            p.setBrush(halo);
            p.drawEllipse(c, 30, 30);
            break;
        }
        case IDB_BG_PROGRESS: {
            // Copied 1:1: the design fills the client corner, the rest continues
            // the base colour.
            const DialogGeometry g(ProductDialogTemplate(IDD_PROGRESS));
            BeginClientCanvas(p, image, g.client(), false);
            PaintSlate(p, QRectF(0, 0, size.width(), size.height()), 22);
            const QRect bar = g.control(IDC_RESTART_PROGRESS);
            p.setPen(QPen(kSlateLine, 1));
            p.setBrush(kSlateDeep);
            p.drawRoundedRect(QRectF(bar).adjusted(-3.5, -3.5, 3.5, 3.5), 4, 4);
            break;
        }
        case IDB_BG_LANGUAGE: {
            // Stretched onto the language dialog and copied 1:1 into the
            // install-task window, whose client is a different shape: only
            // horizontal bands, which both uses render alike.
            p.setRenderHint(QPainter::Antialiasing);
            PaintSlate(p, QRectF(0, 0, size.width(), size.height()), 40);
            p.fillRect(QRectF(0, 0, size.width(), 3), kAccent);
            break;
        }
        default:
            break;
    }
    return image;
}

}  // namespace

QImage DrawBackground(unsigned id, QSize size, int scale) {
    if (id == IDB_BG_MAIN)
        return MainWindow(size, scale);
    return SmallDialog(id, size, scale);
}

QColor MainWindowButtonBackdrop() {
    return kPanel;
}
QColor SmallDialogButtonBackdrop() {
    return kSlate;
}
QColor TitleBandColor() {
    return kSlate;
}

}  // namespace res::gen
