#pragma once

#include "skin/skin_list_ctrl.h"

// The skinned report list of the main window with keyboard and screen-reader
// equivalents of a press on a row. Space on the current row, and the
// accessibility press action of a row, make the row the selected one and
// send the same NM_CLICK a mouse press sends, so the window's pick runs
// exactly as for the mouse. Screen readers see the list as a list of rows,
// each read as its cell texts in column order (accessibility.cpp).
class PickListCtrl : public CSkinListCtrl {
    Q_OBJECT

public:
    explicit PickListCtrl(QWidget* parent = nullptr);
    ~PickListCtrl() override;

    // Selects `row` as a press does and notifies the dialog with NM_CLICK.
    // Answers false for a row that does not exist.
    bool ClickRow(int row);
    // The same, once the current event is done: an accessibility action must
    // answer before the pick runs a modal dialog.
    void ClickRowLater(int row);

    // What a screen reader reads for the row: its cell texts, blank ones
    // left out, joined by ", ".
    QString RowSpokenText(int row) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;
};
