#pragma once

#include <atomic>

// The program-wide state the add-on commands share between their windows.
namespace ostrel::addons {

// 0 codepage installation, 1 BitTorrent add-on; the install-task window
// picks its task from it.
extern int InstallMode;
// -1 when the language dialog was cancelled or ended itself with a device
// message; 0 once the restart window's progress ran to its end. Written by
// the restart window's worker thread, hence atomic.
extern std::atomic<int> InstallAborted;
// Index 0–8 of the chosen language.
extern int SelectedLanguage;
// 1 when the recorder reported disk state 5 (every codepage supported).
extern int AllCodepagesSupported;
// The codepage number text the install task chose ("950", ...).
extern const char* CodepageText;
// 1 after both add-on files were written.
extern int AddonInstalled;
// 1 for "Download" in the widget prompt, 0 for "Next", Esc or close.
extern int WidgetAnswer;
// -1 none, 0 "HSV-510", 1 "HSV-520", 2 "HSV-540".
extern int ModelChoice;

// Back to the values at program start.
void ResetAddonState();

}  // namespace ostrel::addons
