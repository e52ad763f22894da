#pragma once

#include "app/shared/web_console_launch.h"

// The web console launch of the main window (command 1008). The command
// itself, OnConfigure, and WaitForProbe are members of CLanscoutDlg defined in
// web_console.cpp; the launch without the window is in
// app/shared/web_console_launch.h.

// What the window keeps for the launch: its probe thread and the pause.
struct WebConsoleState {
    ProbeThread probe;
    ProbeSleep sleep = SleepMilliseconds;
};
