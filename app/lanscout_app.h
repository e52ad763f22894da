#pragma once

#include "platform/dialog/win_types.h"

class CWnd;

// What the windows need once the application object exists: the product's
// name as every message box's caption, the dialog fonts and the dialog
// templates. The program's start-up and the tests that build its windows
// both call it.
void SetUpProductDialogs();

// The application object: starts the network layer, runs the main window
// modally and ends with it.
class CLanscoutApp {
public:
    // Start-up: network, then the main window until it closes. Answers FALSE:
    // the program ends after the dialog, with no message loop of its own.
    BOOL InitInstance();

    CWnd* m_pMainWnd = nullptr;
};
