#pragma once

#include <QRect>
#include <QSize>

#include "platform/dialog/dialog_template.h"
#include "platform/dialog/dialog_units.h"

// A template laid out in pixels the way the dialog layer lays it out: the
// template font's dialog base units applied to every rectangle.

namespace res::gen {

class DialogGeometry {
public:
    explicit DialogGeometry(const ostrel::dialog::DialogTemplate& dialogTemplate);

    const ostrel::dialog::DialogTemplate& source() const { return tmpl; }
    QSize client() const { return clientSize; }
    // The pixel rectangle of control `id` (the first with that id); an empty
    // rectangle when the template has no such control.
    QRect control(int id) const;
    // The rectangle a control really covers on screen: a drop-down list shows
    // only its selection field, not the height its template reserves for the
    // open list.
    QRect visible(const ostrel::dialog::ControlTemplate& c) const;
    QRect visible(int id) const;
    // A report list together with the two skin scroll bars placed beside it.
    QRect listWithBars(int id) const;
    int x(int dlu) const;
    int y(int dlu) const;

private:
    const ostrel::dialog::DialogTemplate& tmpl;
    ostrel::dialog::DialogBaseUnits units;
    QSize clientSize;
};

}  // namespace res::gen
