// Pixel probes on the generated skin: the main window's background lines
// up with the controls of its template as the dialog layer places them,
// pressed faces read as pressed, and the small parts have their shapes.

#include <QPainter>

#include <gtest/gtest.h>

#include "platform/dialog/dialog_units.h"
#include "platform/dialog/resources.h"
#include "res/bitmap_ids.h"
#include "res/button_skins.h"
#include "res/dialog_looks.h"
#include "res/templates/control_ids.h"
#include "res/templates/dialog_templates.h"

using namespace ostrel::dialog;

namespace {

int Luma(QRgb c) {
    return (qRed(c) * 299 + qGreen(c) * 587 + qBlue(c) * 114) / 1000;
}

// The background as the dialog shows it: stretched onto the client area.
QImage OnClient(unsigned bitmap, int templateId, DialogBaseUnits* unitsOut = nullptr) {
    const DialogTemplate& t = res::ProductDialogTemplate(templateId);
    const DialogBaseUnits units = DialogBaseUnitsFor(t.fontFace, t.pointSize);
    if (unitsOut)
        *unitsOut = units;
    const QSize client = MapDialogRect(QRect(0, 0, t.cx, t.cy), units).size();
    return LoadBitmapResource(bitmap).scaled(client, Qt::IgnoreAspectRatio,
                                             Qt::SmoothTransformation);
}

QRect Control(int templateId, int id, const DialogBaseUnits& units) {
    return MapDialogRect(res::ProductDialogTemplate(templateId).findControl(id)->rect, units);
}

TEST(SkinDesign, MainBackgroundCarriesTheTitleBandAndFramesTheLists) {
    DialogBaseUnits units;
    const QImage bg = OnClient(res::IDB_BG_MAIN, res::IDD_MAIN, &units);
    // A dark title band across the top, behind the close and minimise glyphs,
    // with light title text in it.
    const QRect close = Control(res::IDD_MAIN, res::IDC_CLOSE, units);
    EXPECT_LT(Luma(bg.pixel(close.right() + 2, close.center().y())), 80);
    EXPECT_LT(Luma(bg.pixel(bg.width() / 2, 3)), 80);
    int light = 0;
    for (int x = 20; x < 200; ++x) {
        for (int y = 4; y < close.bottom(); ++y)
            light += Luma(bg.pixel(x, y)) > 200;
    }
    EXPECT_GT(light, 80) << "no title text";

    // Each list stands in a frame the width of the list and its scroll bars:
    // where the vertical bar goes the frame shows, left of the list the panel.
    for (int list : {res::IDC_DEVICE_LIST, res::IDC_VOLUME_LIST}) {
        const QRect r = Control(res::IDD_MAIN, list, units);
        const int y = r.center().y();
        const QRgb inBar = bg.pixel(r.right() + 7, y);
        const QRgb panel = bg.pixel(r.left() - 5, y);
        const QRgb pastBar = bg.pixel(r.right() + 14 + 5, y);
        EXPECT_GT(Luma(panel), 235) << list;
        EXPECT_EQ(panel, pastBar) << list;
        EXPECT_LT(Luma(inBar), Luma(panel) - 8) << list;
    }
    // The buttons sit on the same panel colour their faces' corners blend into.
    const QRect search = Control(res::IDD_MAIN, res::IDC_SEARCH, units);
    const QRgb behindSearch = bg.pixel(search.right() + 1, search.center().y());
    const QRgb faceCorner = LoadBitmapResource(res::IDB_SEARCH).pixel(99, 0);
    EXPECT_LE(std::abs(Luma(behindSearch) - Luma(faceCorner)), 3);
}

TEST(SkinDesign, SmallDialogBackgroundsSuitWhiteText) {
    const std::pair<unsigned, int> uses[] = {
        {res::IDB_BG_LOGIN, res::IDD_LOGIN},
        {res::IDB_BG_LANGUAGE, res::IDD_LANGUAGE},
        {res::IDB_BG_MOUNT_MESSAGE, res::IDD_MOUNT_MESSAGE},
        {res::IDB_BG_SERVER_MODEL, res::IDD_SERVER_MODEL},
        {res::IDB_BG_ABOUT, res::IDD_ABOUT},
        {res::IDB_BG_WIDGET_ALERT, res::IDD_WIDGET_ALERT},
    };
    for (const auto& [bitmap, dialog] : uses) {
        DialogBaseUnits units;
        const QImage bg = OnClient(bitmap, dialog, &units);
        for (const ControlTemplate& c : res::ProductDialogTemplate(dialog).controls) {
            if (c.controlClass != ControlClass::Static || c.text.isEmpty())
                continue;
            const QRect r = MapDialogRect(c.rect, units);
            EXPECT_LT(Luma(bg.pixel(r.left() + 2, r.center().y())), 90)
                << bitmap << " under " << c.text.toStdString();
        }
    }
    // The two copied 1:1 are dark under their texts too.
    for (const auto& [bitmap, dialog] : {std::pair{res::IDB_BG_PROGRESS, res::IDD_PROGRESS},
                                         std::pair{res::IDB_BG_LANGUAGE, res::IDD_INSTALL_TASK}}) {
        const QImage bg = LoadBitmapResource(bitmap);
        const DialogTemplate& t = res::ProductDialogTemplate(dialog);
        const DialogBaseUnits units = DialogBaseUnitsFor(t.fontFace, t.pointSize);
        for (const ControlTemplate& c : t.controls) {
            if (c.controlClass != ControlClass::Static)
                continue;
            const QRect r = MapDialogRect(c.rect, units);
            EXPECT_LT(Luma(bg.pixel(r.left() + 2, r.center().y())), 90) << bitmap;
        }
    }
}

// Every skinned button sits on a flat stretch of its dialog's background
// of the colour its face's corners were drawn on, so the rounded corners
// blend in and no panel edge or decoration shows through beside a face.
TEST(SkinDesign, ButtonsSitOnTheColourTheirCornersBlendInto) {
    for (const res::ButtonSkin& skin : res::ButtonSkins()) {
        const DialogTemplate& t = res::ProductDialogTemplate(skin.templateId);
        const ControlTemplate* c = t.findControl(skin.controlId);
        if (!c->visible())
            continue;
        const unsigned bitmap = res::FindDialogLook(skin.templateId)->backgroundId;
        DialogBaseUnits units;
        const QImage bg = OnClient(bitmap, skin.templateId, &units);
        const QRect r = MapDialogRect(c->rect, units);
        const QRgb corner = LoadBitmapResource(skin.normal).pixel(0, 0);
        for (const QPoint at :
             {QPoint(r.left() - 2, r.center().y()), QPoint(r.center().x(), r.bottom() + 1),
              QPoint(r.left(), r.top() - 2)}) {
            const QRgb behind = bg.pixel(at);
            EXPECT_LE(std::abs(qRed(behind) - qRed(corner)) +
                          std::abs(qGreen(behind) - qGreen(corner)) +
                          std::abs(qBlue(behind) - qBlue(corner)),
                      12)
                << "template " << skin.templateId << " button " << skin.controlId << " at "
                << at.x() << "," << at.y();
        }
    }
}

// A background copied 1:1 must cover its whole client area, or the
// dialog's edge shows the platform's grey.
TEST(SkinDesign, OneToOneBackgroundsCoverTheirClientArea) {
    for (int dialog : {res::IDD_PROGRESS, res::IDD_INSTALL_TASK}) {
        const res::DialogLook* look = res::FindDialogLook(dialog);
        ASSERT_NE(look, nullptr);
        ASSERT_EQ(look->paint, res::BackgroundPaint::OneToOne);
        const DialogTemplate& t = res::ProductDialogTemplate(dialog);
        const QSize client =
            MapDialogRect(QRect(0, 0, t.cx, t.cy), DialogBaseUnitsFor(t.fontFace, t.pointSize))
                .size();
        const QSize bitmap = LoadBitmapResource(look->backgroundId).size();
        EXPECT_GE(bitmap.width(), client.width()) << dialog;
        EXPECT_GE(bitmap.height(), client.height()) << dialog;
    }
}

// Bounding box of the label's fully inked pixels: those much lighter (white
// label) or much darker (dark label) than the face around them.
QRect LabelBox(const QImage& face, bool whiteLabel) {
    QRect box;
    for (int y = 4; y < 21; ++y) {
        for (int x = 6; x < 88; ++x) {
            const int l = Luma(face.pixel(x, y));
            if (whiteLabel ? l > 235 : l < 80)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

double MeanLuma(const QImage& face) {
    double sum = 0;
    for (int y = 2; y < 22; ++y)
        for (int x = 2; x < 90; ++x)
            sum += Luma(face.pixel(x, y));
    return sum / (20.0 * 88.0);
}

TEST(SkinDesign, PressedFacesAreDarkerWithTheLabelShiftedDownRight) {
    struct Pair {
        unsigned normal, down;
        bool whiteLabel;
    };
    const Pair pairs[] = {
        {res::IDB_SEARCH, res::IDB_SEARCH_DOWN, true},
        {res::IDB_CONFIGURE, res::IDB_CONFIGURE_DOWN, false},
        {res::IDB_APPLY, res::IDB_APPLY_DOWN, true},
        {res::IDB_MAP_DRIVE, res::IDB_MAP_DRIVE_DOWN, true},
        {res::IDB_UNMAP, res::IDB_UNMAP_DOWN, false},
        {res::IDB_ABOUT, res::IDB_ABOUT_DOWN, false},
        {res::IDB_EXIT, res::IDB_EXIT_DOWN, false},
        {res::IDB_OK, res::IDB_OK_DOWN, true},
        {res::IDB_CANCEL, res::IDB_CANCEL_DOWN, false},
        {res::IDB_DOWNLOAD, res::IDB_DOWNLOAD_DOWN, true},
        {res::IDB_NEXT, res::IDB_NEXT_DOWN, false},
        {res::IDB_CODEPAGE, res::IDB_CODEPAGE_DOWN, false},
        {res::IDB_ADDON, res::IDB_ADDON_DOWN, false},
    };
    for (const Pair& p : pairs) {
        const QImage normal = LoadBitmapResource(p.normal);
        const QImage down = LoadBitmapResource(p.down);
        EXPECT_LT(MeanLuma(down), MeanLuma(normal) - 8) << p.normal;
        const QRect a = LabelBox(normal, p.whiteLabel);
        const QRect b = LabelBox(down, p.whiteLabel);
        ASSERT_GT(a.width(), 8) << "no label on " << p.normal;
        ASSERT_GT(b.width(), 8) << "no label on " << p.down;
        EXPECT_EQ(b.topLeft() - a.topLeft(), QPoint(1, 1)) << p.normal;
        // The far edges follow within a pixel (anti-aliased edges fall either
        // side of the threshold on the darker pressed face).
        EXPECT_LE(std::abs((b.bottomRight() - a.bottomRight()).x() - 1), 1) << p.normal;
        EXPECT_LE(std::abs((b.bottomRight() - a.bottomRight()).y() - 1), 1) << p.normal;
    }
}

TEST(SkinDesign, GlyphsHeaderAndScrollParts) {
    // Close turns red when pressed; minimise stays in the slate family.
    const QImage close = LoadBitmapResource(res::IDB_CLOSE_DOWN);
    const QRgb c = close.pixel(2, 7);
    EXPECT_GT(qRed(c), qBlue(c) + 80);
    const QRgb m = LoadBitmapResource(res::IDB_MINIMIZE_DOWN).pixel(2, 7);
    EXPECT_GT(qBlue(m), qRed(m));

    // The header strip darkens downward and ends in a line; the separator's
    // engraved line falls where the column boundary is, two pixels in.
    const QImage strip = LoadBitmapResource(res::IDB_HEADER_STRIP);
    EXPECT_GT(Luma(strip.pixel(0, 0)), Luma(strip.pixel(0, 15)));
    EXPECT_LT(Luma(strip.pixel(0, 16)), Luma(strip.pixel(0, 15)));
    const QImage sep = LoadBitmapResource(res::IDB_HEADER_SEPARATOR);
    EXPECT_LT(Luma(sep.pixel(1, 8)), Luma(sep.pixel(6, 8)) - 30);
    EXPECT_EQ(sep.pixel(6, 8), strip.pixel(0, 8));

    // Thumbs stand out from the track; a disabled arrow is fainter than an
    // enabled one.
    const QImage thumb = LoadBitmapResource(res::IDB_VSCROLL_THUMB);
    const QImage track = LoadBitmapResource(res::IDB_VSCROLL_TRACK);
    EXPECT_LT(Luma(thumb.pixel(7, 6)), Luma(track.pixel(7, 6)) - 40);
    const QImage hthumb = LoadBitmapResource(res::IDB_HSCROLL_THUMB);
    EXPECT_LT(Luma(hthumb.pixel(6, 7)), Luma(track.pixel(7, 6)) - 40);
    auto darkest = [](const QImage& img) {
        int d = 255;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 1; x < 13 && x < img.width(); ++x)
                d = std::min(d, Luma(img.pixel(x, y)));
        return d;
    };
    EXPECT_LT(darkest(LoadBitmapResource(res::IDB_VSCROLL_UP)), 120);
    EXPECT_GT(darkest(LoadBitmapResource(res::IDB_VSCROLL_UP_OFF)), 160);
    // Tracks are the same along their length, so any stretch of them looks alike.
    const QImage htrack = LoadBitmapResource(res::IDB_HSCROLL_TRACK);
    for (int y = 0; y < 14; ++y)
        EXPECT_EQ(htrack.pixel(0, y), htrack.pixel(17, y)) << y;
    for (int x = 0; x < 14; ++x)
        EXPECT_EQ(track.pixel(x, 0), track.pixel(x, 17)) << x;
}

}  // namespace
