#include "dialog_geometry.h"

#include "platform/dialog/dialog_units.h"

using namespace ostrel::dialog;

namespace res::gen {
namespace {

constexpr int kScrollBar = 14;       // the list scroll bars' thickness
constexpr int kComboFieldExtra = 8;  // selection field: text height plus its frame

}  // namespace

DialogGeometry::DialogGeometry(const DialogTemplate& t)
    : tmpl(t), units(DialogBaseUnitsFor(t.fontFace, t.pointSize)) {
    clientSize = MapDialogRect(QRect(0, 0, t.cx, t.cy), units).size();
}

int DialogGeometry::x(int dlu) const {
    return DluToPixelsX(dlu, units);
}
int DialogGeometry::y(int dlu) const {
    return DluToPixelsY(dlu, units);
}

QRect DialogGeometry::control(int id) const {
    const ControlTemplate* c = tmpl.findControl(id);
    return c ? MapDialogRect(c->rect, units) : QRect();
}

QRect DialogGeometry::visible(const ControlTemplate& c) const {
    QRect r = MapDialogRect(c.rect, units);
    if (c.controlClass == ControlClass::ComboBox) {
        r.setHeight(std::min(r.height(), units.cy + kComboFieldExtra));
    }
    return r;
}

QRect DialogGeometry::visible(int id) const {
    const ControlTemplate* c = tmpl.findControl(id);
    return c ? visible(*c) : QRect();
}

QRect DialogGeometry::listWithBars(int id) const {
    const QRect list = control(id);
    if (list.isEmpty())
        return list;
    // The vertical bar stands right of the list, the horizontal one below it.
    return list.adjusted(0, 0, kScrollBar, kScrollBar);
}

}  // namespace res::gen
