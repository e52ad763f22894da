#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QScrollBar>
#include <cstdio>

#include "list_host.h"
#include "platform/dialog/resources.h"
#include "skin/skin_progress.h"

// Writes pictures of the skinned list and progress bar, drawn with the
// program's own bitmaps, into the folder given as the argument, for a person
// to look at (three times enlarged).
namespace {
bool ok = true;
void check(bool saved) {
    ok = ok && saved;
}
}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: skin_pictures <folder>\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(dir);
    {
        skin_test::ListHost host(12);
        if (!host.Create())
            return 1;
        host.show();
        host.list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
        const QRect area = host.list.geometry()
                               .united(host.list.VerticalBar().geometry())
                               .united(host.list.HorizontalBar().geometry())
                               .adjusted(-8, -8, 8, 8);
        check(host.grab(area).scaled(area.size() * 3).save(dir + "/skin_list.png"));
        host.list.verticalScrollBar()->setValue(host.list.GetScrollLimit(SB_VERT));
        host.list.horizontalScrollBar()->setValue(40);
        check(host.grab(area).scaled(area.size() * 3).save(dir + "/skin_list_scrolled.png"));
    }
    {
        skin_test::ListHost host(2, /*wide=*/false);
        if (!host.Create())
            return 1;
        host.show();
        const QRect area = host.list.geometry()
                               .united(host.list.VerticalBar().geometry())
                               .united(host.list.HorizontalBar().geometry())
                               .adjusted(-8, -8, 8, 8);
        check(host.grab(area).scaled(area.size() * 3).save(dir + "/skin_list_disabled.png"));
    }
    {
        CSkinProgress bar;
        bar.resize(300, 16);
        bar.SetRange(1, 100);
        bar.SetPos(40);
        check(bar.grab().save(dir + "/skin_progress.png"));
    }
    return ok ? 0 : 1;
}
