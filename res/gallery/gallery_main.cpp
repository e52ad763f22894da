// gallery: renders the product's skin to PNG files for review.
//
//   gallery [--scale N] [output folder]      (default ./gallery-out)
//
// --scale 2 renders everything as a screen of two device pixels per design
// pixel shows it (200 %), with the bitmap set's doubled images.
//
// Writes, per dialog template, the real dialog as the dialog layer builds
// it with the skin's controls (dialog-<id>.png) and the skin's design
// composed straight from the template (design-<id>.png, and with every
// button pressed); a sheet of every button face in each state, the real
// skinned controls in their states, and a sheet of the whole bitmap set.

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <cstdio>
#include <cstdlib>

#include "composite.h"
#include "live.h"
#include "platform/dialog/dialog_units.h"
#include "res/bitmap_catalog.h"
#include "res/button_skins.h"
#include "res/resource_check.h"
#include "res/templates/dialog_templates.h"
#include "sheets.h"

using namespace ostrel::dialog;

namespace {

// The offscreen platform cannot raise windows and says so for every dialog
// shown; that is expected here and not worth a line each.
void QuietHandler(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (message.contains(QLatin1String("does not support raise()")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(message));
    if (type == QtFatalMsg)
        std::abort();
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QString folder = QStringLiteral("gallery-out");
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--scale" && i + 1 < argc) {
            // The screen's scale is fixed before the application starts.
            qputenv("QT_SCALE_FACTOR", argv[++i]);
        } else {
            folder = QString::fromLocal8Bit(arg);
        }
    }
    qInstallMessageHandler(QuietHandler);
    QApplication app(argc, argv);
    EnsureDialogFonts();
    res::RegisterProductDialogTemplates();
    QDir out;
    if (!out.mkpath(folder)) {
        std::fprintf(stderr, "gallery: cannot create %s\n", qPrintable(folder));
        return 1;
    }
    out.setPath(folder);

    const QStringList problems = res::CheckBitmapSet();
    for (const QString& p : problems)
        std::fprintf(stderr, "gallery: %s\n", qPrintable(p));

    int written = 0;
    int failed = 0;
    auto save = [&](const QImage& image, const QString& name) {
        if (image.save(out.filePath(name), "PNG")) {
            ++written;
        } else {
            std::fprintf(stderr, "gallery: cannot write %s\n", qPrintable(name));
            ++failed;
        }
    };

    for (const DialogTemplate& t : res::ProductDialogTemplates()) {
        save(res::gallery::RenderLiveDialog(t.id), QStringLiteral("dialog-%1.png").arg(t.id));
        save(res::gallery::ComposeDialog(t.id), QStringLiteral("design-%1.png").arg(t.id));
        save(res::gallery::ComposeDialog(t.id, res::gallery::FaceState::Pressed),
             QStringLiteral("design-%1-pressed.png").arg(t.id));
    }
    save(res::gallery::ButtonSheet(), QStringLiteral("buttons.png"));
    save(res::gallery::BitmapSheet(), QStringLiteral("bitmaps.png"));
    for (const auto& [name, image] : res::gallery::ControlSheets())
        save(image, name);

    std::printf("gallery: %d pictures written to %s\n", written, qPrintable(out.absolutePath()));
    return failed == 0 && problems.isEmpty() ? 0 : 1;
}
