// ostrel-bitmapgen: draws the product's complete bitmap set and icon into a
// build folder, with the .qrc that compiles them into the resources.
//
//   ostrel-bitmapgen <output folder>
//   ostrel-bitmapgen --layout      (prints the client sizes designed for)
//
// Writes bitmaps/<id>.bmp and, drawn again at twice the size for high-density
// screens, bitmaps/<id>@2x.bmp (both 24 bits per pixel), icons/<id>.ico and
// ostrel_bitmaps.qrc. Exits non-zero if any file cannot be written.

#include <QBuffer>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QSaveFile>
#include <QTextStream>
#include <cstdio>
#include <map>
#include <vector>

#include "dialog_geometry.h"
#include "draw_backgrounds.h"
#include "draw_parts.h"
#include "icon_file.h"
#include "platform/dialog/dialog_units.h"
#include "res/bitmap_catalog.h"
#include "res/bitmap_ids.h"
#include "res/button_skins.h"
#include "res/templates/control_ids.h"
#include "res/templates/dialog_templates.h"

using namespace ostrel::dialog;

namespace {

using namespace res;
using namespace res::gen;

struct FaceDesign {
    const char* label;
    FaceTone tone;
    bool pressed;
};

// Labels and tones of the button faces. One primary (accent) action per
// area of the main window; the others are secondary.
const std::map<unsigned, FaceDesign>& FaceDesigns() {
    static const std::map<unsigned, FaceDesign> designs = [] {
        std::map<unsigned, FaceDesign> m;
        auto pair = [&m](unsigned normal, unsigned down, const char* label, FaceTone tone) {
            m[normal] = {label, tone, false};
            m[down] = {label, tone, true};
        };
        pair(IDB_SEARCH, IDB_SEARCH_DOWN, "Search", FaceTone::Primary);
        pair(IDB_CONFIGURE, IDB_CONFIGURE_DOWN, "Configure", FaceTone::Secondary);
        pair(IDB_CODEPAGE, IDB_CODEPAGE_DOWN, "Codepage", FaceTone::Secondary);
        pair(IDB_ADDON, IDB_ADDON_DOWN, "Add-on", FaceTone::Secondary);
        pair(IDB_SPARE, IDB_SPARE_DOWN, "", FaceTone::Secondary);
        pair(IDB_APPLY, IDB_APPLY_DOWN, "Apply", FaceTone::Primary);
        pair(IDB_MAP_DRIVE, IDB_MAP_DRIVE_DOWN, "Map Drive", FaceTone::Primary);
        pair(IDB_UNMAP, IDB_UNMAP_DOWN, "Unmap", FaceTone::Secondary);
        pair(IDB_ABOUT, IDB_ABOUT_DOWN, "About", FaceTone::Secondary);
        pair(IDB_EXIT, IDB_EXIT_DOWN, "Exit", FaceTone::Secondary);
        pair(IDB_OK, IDB_OK_DOWN, "OK", FaceTone::Primary);
        pair(IDB_CANCEL, IDB_CANCEL_DOWN, "Cancel", FaceTone::Secondary);
        pair(IDB_DOWNLOAD, IDB_DOWNLOAD_DOWN, "Download", FaceTone::Primary);
        pair(IDB_NEXT, IDB_NEXT_DOWN, "Next", FaceTone::Secondary);
        return m;
    }();
    return designs;
}

bool UsedBy(const ButtonSkin& s, unsigned id) {
    return s.normal == id || s.down == id || s.over == id || s.disabled == id;
}

// The part of bitmap `bitmap` that its buttons really show: the smallest
// button that draws it, clipped to the bitmap. Faces are drawn 1:1 from the
// button's top-left, so anything beyond that is never seen.
constexpr int kFaceHeight = 25;

struct Placement {
    QSize face;
    bool mainWindow = false;
};

Placement PlaceFace(const BitmapSpec& bitmap) {
    Placement out{QSize(bitmap.width, bitmap.height - 1)};
    bool any = false;
    for (const ButtonSkin& s : ButtonSkins()) {
        if (!UsedBy(s, bitmap.id))
            continue;
        const DialogGeometry g(ProductDialogTemplate(s.templateId));
        const QSize button = g.control(s.controlId).size();
        out.face = any ? out.face.boundedTo(button) : button;
        out.mainWindow = out.mainWindow || s.templateId == IDD_MAIN;
        any = true;
    }
    // Every face is drawn at the height of the shortest (25-pixel) bitmaps,
    // so buttons standing side by side match whatever their bitmap's size.
    out.face = out.face.boundedTo(QSize(bitmap.width, kFaceHeight));
    return out;
}

// Bitmap `bitmap` drawn on `scale` device pixels per pixel of its size.
QImage Draw(const BitmapSpec& bitmap, int scale) {
    const QSize size(bitmap.width, bitmap.height);
    switch (bitmap.kind) {
        case BitmapKind::Background:
            return DrawBackground(bitmap.id, size, scale);
        case BitmapKind::ButtonFace: {
            const FaceDesign& d = FaceDesigns().at(bitmap.id);
            const Placement place = PlaceFace(bitmap);
            const bool spare = bitmap.id == IDB_SPARE || bitmap.id == IDB_SPARE_DOWN;
            FaceRequest rq{size,
                           place.face,
                           QString::fromLatin1(d.label),
                           d.tone,
                           d.pressed,
                           (place.mainWindow || spare) ? MainWindowButtonBackdrop()
                                                       : SmallDialogButtonBackdrop(),
                           scale};
            return DrawButtonFace(rq);
        }
        case BitmapKind::TitleGlyph: {
            const bool close = bitmap.id == IDB_CLOSE || bitmap.id == IDB_CLOSE_DOWN;
            const bool pressed = bitmap.id == IDB_CLOSE_DOWN || bitmap.id == IDB_MINIMIZE_DOWN;
            return DrawTitleGlyph(close ? GlyphKind::Close : GlyphKind::Minimize, pressed, size,
                                  PlaceFace(bitmap).face, scale);
        }
        case BitmapKind::HeaderPart: {
            const bool pressed =
                bitmap.id == IDB_HEADER_STRIP_DOWN || bitmap.id == IDB_HEADER_SEPARATOR_DOWN;
            return bitmap.width == 1 ? DrawHeaderStrip(size, pressed, scale)
                                     : DrawHeaderSeparator(size, pressed, scale);
        }
        case BitmapKind::ScrollPart:
            break;
    }
    struct Part {
        ScrollPart part;
        bool vertical;
        bool enabled;
    };
    static const std::map<unsigned, Part> parts = {
        {IDB_HSCROLL_RIGHT, {ScrollPart::ForwardArrow, false, true}},
        {IDB_HSCROLL_TRACK, {ScrollPart::Track, false, true}},
        {IDB_HSCROLL_LEFT, {ScrollPart::BackArrow, false, true}},
        {IDB_VSCROLL_UP, {ScrollPart::BackArrow, true, true}},
        {IDB_VSCROLL_TRACK, {ScrollPart::Track, true, true}},
        {IDB_VSCROLL_THUMB, {ScrollPart::Thumb, true, true}},
        {IDB_VSCROLL_DOWN, {ScrollPart::ForwardArrow, true, true}},
        {IDB_HSCROLL_THUMB, {ScrollPart::Thumb, false, true}},
        {IDB_HSCROLL_LEFT_OFF, {ScrollPart::BackArrow, false, false}},
        {IDB_HSCROLL_RIGHT_OFF, {ScrollPart::ForwardArrow, false, false}},
        {IDB_HSCROLL_TRACK_OFF, {ScrollPart::Track, false, false}},
        {IDB_VSCROLL_UP_OFF, {ScrollPart::BackArrow, true, false}},
        {IDB_VSCROLL_TRACK_OFF, {ScrollPart::Track, true, false}},
        {IDB_VSCROLL_DOWN_OFF, {ScrollPart::ForwardArrow, true, false}},
        {IDB_VSCROLL_THUMB_OFF, {ScrollPart::Thumb, true, false}},
        {IDB_HSCROLL_THUMB_OFF, {ScrollPart::Thumb, false, false}},
        {IDB_SCROLL_CORNER, {ScrollPart::Corner, true, true}},
    };
    const Part& p = parts.at(bitmap.id);
    return DrawScrollPart(p.part, p.vertical, p.enabled, size, scale);
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(bytes);
    return file.commit();
}

QByteArray Bmp24(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP");
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    EnsureDialogFonts();
    if (argc == 2 && QByteArray(argv[1]) == "--layout") {
        // The client sizes the backgrounds are designed for.
        for (const DialogTemplate& t : ProductDialogTemplates()) {
            const DialogGeometry g(t);
            std::printf("template %d: %d x %d dialog units -> client %d x %d px\n", t.id, t.cx,
                        t.cy, g.client().width(), g.client().height());
        }
        return 0;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: ostrel-bitmapgen <output folder> | --layout\n");
        return 2;
    }

    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath("bitmaps") || !out.mkpath("icons")) {
        std::fprintf(stderr, "ostrel-bitmapgen: cannot create folders in %s\n", argv[1]);
        return 1;
    }

    QString qrc;
    QTextStream q(&qrc);
    q << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/bitmaps\">\n";
    int failures = 0;
    for (const BitmapSpec& bitmap : BitmapCatalog()) {
        for (int scale : {1, kHighDensityScale}) {
            const QImage image = Draw(bitmap, scale);
            const QString name = BitmapFileName(bitmap.id, scale);
            if (image.size() != QSize(bitmap.width, bitmap.height) * scale ||
                !WriteFile(out.filePath("bitmaps/" + name), Bmp24(image))) {
                std::fprintf(stderr, "ostrel-bitmapgen: bitmap %s not written\n", qPrintable(name));
                ++failures;
            }
            q << "  <file alias=\"" << name << "\">bitmaps/" << name << "</file>\n";
        }
    }
    q << "</qresource>\n<qresource prefix=\"/icons\">\n";

    std::vector<QImage> icons;
    for (int px : AppIconSizes())
        icons.push_back(DrawAppIcon(px));
    const QString iconName = QStringLiteral("%1.ico").arg(IDI_APP);
    if (!WriteFile(out.filePath("icons/" + iconName), IconFile(icons))) {
        std::fprintf(stderr, "ostrel-bitmapgen: icon %u not written\n", IDI_APP);
        ++failures;
    }
    q << "  <file alias=\"" << iconName << "\">icons/" << iconName << "</file>\n";
    q << "</qresource>\n</RCC>\n";
    q.flush();
    if (!WriteFile(out.filePath("ostrel_bitmaps.qrc"), qrc.toUtf8()))
        ++failures;
    return failures == 0 ? 0 : 1;
}
