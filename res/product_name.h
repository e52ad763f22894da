#pragma once

// The product's name as a user sees it: the main window's title, the about
// box's heading, the title drawn on the backgrounds and, given to the
// application at start-up (SetAppName), the caption of every message box
// that names none.

namespace res {

inline constexpr const char* kProductName = "Ostrel NVR Search Utility";

}  // namespace res
