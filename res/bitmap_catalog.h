#pragma once

#include <QString>
#include <span>

// The complete bitmap set: every id with the exact size the windows expect.
// The generator draws from this table and the tests check the compiled-in
// resources against it.

namespace res {

enum class BitmapKind {
    Background,  // stretched (or copied 1:1) onto a dialog's client area
    ButtonFace,  // a skin button face, drawn 1:1 from the button's top-left
    TitleGlyph,  // close / minimise glyph of the frameless main window
    HeaderPart,  // list column header strip and separator
    ScrollPart,  // list scroll-bar arrow, track or thumb
};

struct BitmapSpec {
    unsigned id;
    int width;
    int height;
    BitmapKind kind;
    const char* what;  // short description for reports and test messages
};

// All bitmaps, sorted by id.
std::span<const BitmapSpec> BitmapCatalog();

// The entry for `id`, or nullptr when the set has no such bitmap.
const BitmapSpec* FindBitmapSpec(unsigned id);

// Every bitmap is carried twice: at its own size, and drawn again at twice
// that size for screens with more than one device pixel per design pixel.
inline constexpr int kHighDensityScale = 2;

// The resource file name of bitmap `id` drawn at `scale` (1 or
// kHighDensityScale): "<id>.bmp" or "<id>@2x.bmp".
QString BitmapFileName(unsigned id, int scale = 1);

// Pixel sizes carried for the application icon (square).
std::span<const int> AppIconSizes();

}  // namespace res
