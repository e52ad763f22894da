// ostrel-iconpng: writes the application icon, drawn by the same code as the
// icon compiled into the program, as PNG files in a freedesktop icon theme
// layout: <folder>/<n>x<n>/apps/<name>.png for every size asked for.
//
//   ostrel-iconpng <folder> <name> <size>...
//
// Exits non-zero if a size is not a whole number from 16 to 512, or a file
// cannot be written.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "draw_parts.h"

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: ostrel-iconpng <folder> <name> <size>...\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QString name = QString::fromLocal8Bit(argv[2]);
    int failures = 0;
    for (int i = 3; i < argc; ++i) {
        char* end = nullptr;
        const long size = std::strtol(argv[i], &end, 10);
        if (end == argv[i] || *end != '\0' || size < 16 || size > 512) {
            std::fprintf(stderr, "ostrel-iconpng: bad size \"%s\"\n", argv[i]);
            return 2;
        }
        const int px = static_cast<int>(size);
        const QString folder = QStringLiteral("%1x%1/apps").arg(px);
        const QImage icon = res::gen::DrawAppIcon(px).convertToFormat(QImage::Format_ARGB32);
        if (icon.size() != QSize(px, px) || !out.mkpath(folder) ||
            !icon.save(out.filePath(folder + "/" + name + ".png"), "PNG")) {
            std::fprintf(stderr, "ostrel-iconpng: the %d pixel icon was not written\n", px);
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
