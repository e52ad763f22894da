#include "composite.h"

#include <QFile>
#include <QIcon>
#include <QPainter>

#include "platform/dialog/dialog_units.h"
#include "platform/dialog/sys_colors.h"
#include "res/button_skins.h"
#include "res/dialog_looks.h"
#include "res/resource_check.h"
#include "res/templates/dialog_templates.h"
#include "sheets.h"

using namespace ostrel::dialog;

namespace res::gallery {
namespace {

void DrawStandIn(QPainter& p, const ControlTemplate& c, const QRect& r, const QFont& font) {
    p.save();
    switch (c.controlClass) {
        case ControlClass::ListView:
            p.fillRect(r, Qt::white);
            p.setPen(QColor(0x80, 0x80, 0x80));
            p.drawRect(r.adjusted(0, 0, -1, -1));
            break;
        case ControlClass::Edit:
        case ControlClass::IpAddress: {
            p.fillRect(r, Qt::white);
            p.setPen(QColor(0x7a, 0x7a, 0x7a));
            p.drawRect(r.adjusted(0, 0, -1, -1));
            if (c.controlClass == ControlClass::IpAddress) {
                p.setFont(font);
                p.setPen(Qt::black);
                const int w = r.width() / 4;
                for (int k = 1; k < 4; ++k) {
                    p.drawText(QRect(r.left() + k * w - 3, r.top(), 6, r.height()), Qt::AlignCenter,
                               ".");
                }
            }
            break;
        }
        case ControlClass::ComboBox: {
            QRect field = r;
            field.setHeight(std::min(r.height(), 21));
            p.fillRect(field, Qt::white);
            p.setPen(QColor(0x7a, 0x7a, 0x7a));
            p.drawRect(field.adjusted(0, 0, -1, -1));
            const QRect arrow(field.right() - 16, field.top() + 1, 16, field.height() - 2);
            p.fillRect(arrow, QColor(0xe8, 0xe8, 0xe8));
            p.setPen(Qt::black);
            p.setFont(font);
            p.drawText(arrow, Qt::AlignCenter, QStringLiteral("\u25be"));
            if (!c.initItems.isEmpty()) {
                p.drawText(field.adjusted(4, 0, -18, 0), Qt::AlignVCenter | Qt::AlignLeft,
                           c.initItems[0]);
            }
            break;
        }
        case ControlClass::Progress:
            p.fillRect(r, QColor(0xc0, 0xc0, 0xc0));
            p.fillRect(QRect(r.left(), r.top(), r.width() * 2 / 5, r.height()),
                       QColor(4, 134, 232));
            break;
        default:
            break;
    }
    p.restore();
}

}  // namespace

QImage ComposeDialog(int templateId, FaceState state) {
    const DialogTemplate& t = ProductDialogTemplate(templateId);
    const DialogBaseUnits units = DialogBaseUnitsFor(t.fontFace, t.pointSize);
    const QRect client = MapDialogRect(QRect(0, 0, t.cx, t.cy), units);
    const QFont font = DialogTemplateFont(t.fontFace, t.pointSize);

    QImage image = Picture(client.size(), QColor(0xd4, 0xd0, 0xc8));
    QPainter p(&image);
    QColor textColor(Qt::black);
    if (const res::DialogLook* look = res::FindDialogLook(templateId)) {
        const QImage bg = GalleryBitmap(look->backgroundId);
        if (look->paint == res::BackgroundPaint::Stretched) {
            p.drawImage(client, bg);
        } else {
            p.drawImage(QPoint(0, 0), bg);
        }
        textColor = toQColor(look->staticTextColor);
    }
    for (const ControlTemplate& c : t.controls) {
        if (!c.visible())
            continue;
        const QRect r = MapDialogRect(c.rect, units);
        if (c.controlClass == ControlClass::Button &&
            (c.style & BS_TYPEMASK) != BS_AUTORADIOBUTTON) {
            if (const ButtonSkin* s = FindButtonSkin(templateId, c.id)) {
                const unsigned id = state == FaceState::Normal    ? s->normal
                                    : state == FaceState::Pressed ? s->down
                                                                  : s->disabled;
                p.save();
                p.setClipRect(r);
                p.drawImage(r.topLeft(), GalleryBitmap(id));
                p.restore();
            }
            continue;
        }
        if (c.controlClass == ControlClass::Static || c.controlClass == ControlClass::Button) {
            if ((c.style & SS_TYPEMASK) == SS_ICON && c.controlClass == ControlClass::Static) {
                p.drawPixmap(r.topLeft(), QIcon(IconResourcePath(c.iconId)).pixmap(32, 32));
                continue;
            }
            p.setFont(font);
            p.setPen(textColor);
            QRect tr = r;
            if (c.controlClass == ControlClass::Button) {
                // A radio button: its circle, then the caption.
                p.setRenderHint(QPainter::Antialiasing);
                p.setBrush(Qt::white);
                p.drawEllipse(QRectF(r.left() + 0.5, r.center().y() - 5.5, 12, 12));
                p.setBrush(Qt::NoBrush);
                tr.setLeft(r.left() + 17);
                p.drawText(tr, Qt::AlignLeft | Qt::AlignVCenter, c.text);
            } else {
                p.drawText(tr, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, c.text);
            }
            continue;
        }
        DrawStandIn(p, c, r, font);
    }
    return image;
}

}  // namespace res::gallery
