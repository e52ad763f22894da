#include "bitmap_catalog.h"

#include <algorithm>
#include <array>

#include "bitmap_ids.h"

namespace res {
namespace {

using K = BitmapKind;

constexpr std::array kCatalog = {
    BitmapSpec{IDB_VSCROLL_THUMB_OFF, 14, 26, K::ScrollPart, "vertical thumb, disabled (unused)"},
    BitmapSpec{IDB_HSCROLL_RIGHT, 16, 14, K::ScrollPart, "right arrow"},
    BitmapSpec{IDB_HSCROLL_TRACK, 18, 18, K::ScrollPart, "horizontal track"},
    BitmapSpec{IDB_HSCROLL_LEFT, 16, 14, K::ScrollPart, "left arrow"},
    BitmapSpec{IDB_VSCROLL_UP, 14, 16, K::ScrollPart, "up arrow"},
    BitmapSpec{IDB_VSCROLL_TRACK, 18, 18, K::ScrollPart, "vertical track"},
    BitmapSpec{IDB_VSCROLL_THUMB, 14, 26, K::ScrollPart, "vertical thumb"},
    BitmapSpec{IDB_VSCROLL_DOWN, 14, 16, K::ScrollPart, "down arrow"},
    BitmapSpec{IDB_HEADER_SEPARATOR_DOWN, 12, 17, K::HeaderPart,
               "header separator, pressed (unused)"},
    BitmapSpec{IDB_HEADER_SEPARATOR, 12, 17, K::HeaderPart, "header separator"},
    BitmapSpec{IDB_HSCROLL_THUMB, 26, 14, K::ScrollPart, "horizontal thumb"},
    BitmapSpec{IDB_HSCROLL_THUMB_OFF, 26, 14, K::ScrollPart, "horizontal thumb, disabled (unused)"},
    BitmapSpec{IDB_SCROLL_CORNER, 14, 14, K::ScrollPart, "scroll-bar corner (unused)"},
    BitmapSpec{IDB_HEADER_STRIP_DOWN, 1, 17, K::HeaderPart, "header strip, pressed (unused)"},
    BitmapSpec{IDB_CLOSE, 16, 16, K::TitleGlyph, "close"},
    BitmapSpec{IDB_MINIMIZE, 16, 16, K::TitleGlyph, "minimise"},
    BitmapSpec{IDB_BG_MAIN, 430, 574, K::Background, "main window"},
    BitmapSpec{IDB_BG_ABOUT, 366, 135, K::Background, "about box"},
    BitmapSpec{IDB_BG_WIDGET_ALERT, 515, 205, K::Background, "widget engine prompt"},
    BitmapSpec{IDB_BG_MOUNT_MESSAGE, 248, 119, K::Background, "drive-letter confirmation"},
    BitmapSpec{IDB_BG_PROGRESS, 441, 169, K::Background, "restart window"},
    BitmapSpec{IDB_BG_LOGIN, 308, 147, K::Background, "login"},
    BitmapSpec{IDB_BG_LANGUAGE, 441, 178, K::Background, "language and install-task windows"},
    BitmapSpec{IDB_BG_SERVER_MODEL, 225, 201, K::Background, "model picker"},
    BitmapSpec{IDB_DOWNLOAD, 93, 28, K::ButtonFace, "Download"},
    BitmapSpec{IDB_DOWNLOAD_DOWN, 93, 28, K::ButtonFace, "Download, pressed"},
    BitmapSpec{IDB_NEXT, 93, 28, K::ButtonFace, "Next"},
    BitmapSpec{IDB_NEXT_DOWN, 93, 28, K::ButtonFace, "Next, pressed"},
    BitmapSpec{IDB_SEARCH, 100, 25, K::ButtonFace, "Search"},
    BitmapSpec{IDB_SEARCH_DOWN, 100, 25, K::ButtonFace, "Search, pressed"},
    BitmapSpec{IDB_CONFIGURE, 100, 25, K::ButtonFace, "Configure"},
    BitmapSpec{IDB_CONFIGURE_DOWN, 100, 25, K::ButtonFace, "Configure, pressed"},
    BitmapSpec{IDB_CODEPAGE, 93, 30, K::ButtonFace, "Codepage"},
    BitmapSpec{IDB_CODEPAGE_DOWN, 93, 30, K::ButtonFace, "Codepage, pressed"},
    BitmapSpec{IDB_ADDON, 93, 28, K::ButtonFace, "Add-on"},
    BitmapSpec{IDB_ADDON_DOWN, 93, 28, K::ButtonFace, "Add-on, pressed"},
    BitmapSpec{IDB_SPARE, 100, 25, K::ButtonFace, "blank face (unused)"},
    BitmapSpec{IDB_SPARE_DOWN, 100, 25, K::ButtonFace, "blank face, pressed (unused)"},
    BitmapSpec{IDB_APPLY, 100, 25, K::ButtonFace, "Apply"},
    BitmapSpec{IDB_APPLY_DOWN, 100, 25, K::ButtonFace, "Apply, pressed"},
    BitmapSpec{IDB_MAP_DRIVE, 100, 25, K::ButtonFace, "Map Drive"},
    BitmapSpec{IDB_MAP_DRIVE_DOWN, 100, 25, K::ButtonFace, "Map Drive, pressed"},
    BitmapSpec{IDB_UNMAP, 100, 25, K::ButtonFace, "Unmap"},
    BitmapSpec{IDB_UNMAP_DOWN, 100, 25, K::ButtonFace, "Unmap, pressed"},
    BitmapSpec{IDB_ABOUT, 100, 25, K::ButtonFace, "About"},
    BitmapSpec{IDB_ABOUT_DOWN, 100, 25, K::ButtonFace, "About, pressed"},
    BitmapSpec{IDB_EXIT, 100, 25, K::ButtonFace, "Exit"},
    BitmapSpec{IDB_EXIT_DOWN, 100, 25, K::ButtonFace, "Exit, pressed"},
    BitmapSpec{IDB_CANCEL, 93, 28, K::ButtonFace, "Cancel"},
    BitmapSpec{IDB_CANCEL_DOWN, 93, 28, K::ButtonFace, "Cancel, pressed"},
    BitmapSpec{IDB_OK, 100, 25, K::ButtonFace, "OK"},
    BitmapSpec{IDB_OK_DOWN, 100, 25, K::ButtonFace, "OK, pressed"},
    BitmapSpec{IDB_HEADER_STRIP, 1, 17, K::HeaderPart, "header strip"},
    BitmapSpec{IDB_CLOSE_DOWN, 16, 16, K::TitleGlyph, "close, pressed"},
    BitmapSpec{IDB_MINIMIZE_DOWN, 16, 16, K::TitleGlyph, "minimise, pressed"},
    BitmapSpec{IDB_HSCROLL_LEFT_OFF, 16, 14, K::ScrollPart, "left arrow, disabled"},
    BitmapSpec{IDB_HSCROLL_RIGHT_OFF, 16, 14, K::ScrollPart, "right arrow, disabled"},
    BitmapSpec{IDB_HSCROLL_TRACK_OFF, 18, 18, K::ScrollPart, "horizontal track, disabled"},
    BitmapSpec{IDB_VSCROLL_UP_OFF, 14, 16, K::ScrollPart, "up arrow, disabled"},
    BitmapSpec{IDB_VSCROLL_TRACK_OFF, 18, 18, K::ScrollPart, "vertical track, disabled"},
    BitmapSpec{IDB_VSCROLL_DOWN_OFF, 14, 16, K::ScrollPart, "down arrow, disabled"},
};

constexpr bool SortedById() {
    for (std::size_t i = 1; i < kCatalog.size(); ++i) {
        if (kCatalog[i - 1].id >= kCatalog[i].id)
            return false;
    }
    return true;
}
static_assert(SortedById(), "the catalog is kept sorted by id, without duplicates");

constexpr std::array kIconSizes = {16, 24, 32, 48, 64, 256};

}  // namespace

std::span<const BitmapSpec> BitmapCatalog() {
    return kCatalog;
}

const BitmapSpec* FindBitmapSpec(unsigned id) {
    const auto* it = std::lower_bound(kCatalog.begin(), kCatalog.end(), id,
                                      [](const BitmapSpec& s, unsigned v) { return s.id < v; });
    return (it != kCatalog.end() && it->id == id) ? &*it : nullptr;
}

QString BitmapFileName(unsigned id, int scale) {
    if (scale == 1)
        return QStringLiteral("%1.bmp").arg(id);
    return QStringLiteral("%1@%2x.bmp").arg(id).arg(scale);
}

std::span<const int> AppIconSizes() {
    return kIconSizes;
}

}  // namespace res
