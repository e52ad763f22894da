#include "app/pick_list.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMetaObject>
#include <QPointer>
#include <QStringList>

#include "app/accessibility.h"

PickListCtrl::PickListCtrl(QWidget* parent) : CSkinListCtrl(parent) {
    InstallAccessibility();
}

PickListCtrl::~PickListCtrl() = default;

bool PickListCtrl::ClickRow(int row) {
    if (row < 0 || row >= GetItemCount()) {
        return false;
    }
    // A press on a row makes it current and the only one selected, scrolled
    // into view; the release then tells the dialog.
    setCurrentIndex(model()->index(row, 0));
    NMITEMACTIVATE click;
    click.hdr.code = NM_CLICK;
    click.iItem = row;
    click.iSubItem = 0;
    click.ptAction = GetItemRect(row).intersected(viewport()->geometry()).center();
    NotifyParent(click.hdr);
    return true;
}

void PickListCtrl::ClickRowLater(int row) {
    QPointer<PickListCtrl> self(this);
    QMetaObject::invokeMethod(
        this,
        [self, row] {
            if (self) {
                self->ClickRow(row);
            }
        },
        Qt::QueuedConnection);
}

QString PickListCtrl::RowSpokenText(int row) const {
    QStringList parts;
    for (int column = 0; column < GetColumnCount(); ++column) {
        const QString text = GetItemText(row, column);
        if (!text.isEmpty()) {
            parts.append(text);
        }
    }
    return parts.join(QStringLiteral(", "));
}

void PickListCtrl::keyPressEvent(QKeyEvent* event) {
    // Space is the keyboard's press on the current row; Enter and Escape
    // stay with the dialog.
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier &&
        !event->isAutoRepeat() && ClickRow(currentIndex().row())) {
        event->accept();
        return;
    }
    CSkinListCtrl::keyPressEvent(event);
}

// The tree view announces focus and selection by cell indexes of its own
// table layout; this list shows screen readers one child per row, so it
// announces the row instead.
void PickListCtrl::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QAbstractItemView::currentChanged(current, previous);
    viewport()->update();
    if (QAccessible::isActive() && current.isValid() && hasFocus()) {
        QAccessibleEvent event(this, QAccessible::Focus);
        event.setChild(current.row());
        QAccessible::updateAccessibility(&event);
    }
}

void PickListCtrl::selectionChanged(const QItemSelection& selected,
                                    const QItemSelection& deselected) {
    QAbstractItemView::selectionChanged(selected, deselected);
    if (QAccessible::isActive() && !selected.indexes().isEmpty()) {
        QAccessibleEvent event(this, QAccessible::SelectionAdd);
        event.setChild(selected.indexes().first().row());
        QAccessible::updateAccessibility(&event);
    }
}
