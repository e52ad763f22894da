#pragma once

// What the map and unmap commands of the main window tell the user, and the
// connection attempts they make.
#include "app/shared/drive_connect.h"
