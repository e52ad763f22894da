#pragma once

#include "protocol/no_qt.h"

// Starts the network layer: the LocalAddressTable with a send socket and a
// receive socket per address, and the SessionId. Called once at start-up,
// before the main window; a second call first closes what the first opened.
void InitNetwork();

// Closes every slot's send socket, then its receive socket, and empties the
// table. Called on every exit path after the device table has been cleared.
void ShutdownNetwork();
