#pragma once

#include <QString>

class CIPAddressCtrl;
class CStatic;
class QWidget;

// What screen readers are told about the program's windows, beyond what the
// controls tell by themselves:
// - a dialog without a caption is named by its first line of text;
// - a static text is read as its text and tells which control it labels;
// - the main window's report lists are lists of rows (pick_list.h);
// - a control given a label here is named by it and reports the static
//   text as its label ("labelled-by" on the desktop's accessibility bus);
//   a choice box is named by its label, not by its current item.

// Installs the program's accessibility factory. Safe to call more than once.
void InstallAccessibility();

// The static text that labels `control` in its dialog: the nearest one to
// its left on the same line, else the nearest one just above it; nullptr
// when there is none.
CStatic* StaticLabelOf(const QWidget& control);

// A static text as a name: trimmed, without a trailing colon.
QString LabelName(const CStatic& label);

// Makes the static text that labels `control` its label for screen readers
// and names the control `name`, or by the label's text when `name` is empty.
void LabelControl(QWidget& control, const QString& name = {});

// The same for an address control and each of its four parts: the control
// is named `name` and part k "<name>, part k of 4".
void LabelAddressControl(CIPAddressCtrl& control, const QString& name = {});

// The name the dialog's first line of text gives it ("" when it has none):
// the first visible static text, without a trailing colon.
QString FirstLineOf(const QWidget& dialog);
