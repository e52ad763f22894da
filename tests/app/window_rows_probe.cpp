// Preloaded (LD_PRELOAD) into the real ostrel-nvr-search by the large-site
// lab check, so the shipped program runs unchanged from its own main(). The
// main window searches while it is created, before its modal loop starts:
// the first turns of that loop already show the start-up search's result.
// The probe then writes the recorder list's rows to the file named by
// OSTREL_WINDOW_PROBE_OUT as JSON ({"rows", "names", "seconds"}: seconds
// from the program's start to the list being seen), grabs the window to
// OSTREL_WINDOW_PROBE_PNG when that is set, and presses Escape in the window,
// as a user closing it would. It reads the window through Qt's widget tree
// only. Without OSTREL_WINDOW_PROBE_OUT it does nothing.

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QPixmap>
#include <QTimer>
#include <QTreeWidget>
#include <chrono>
#include <cstdio>

namespace {

using Clock = std::chrono::steady_clock;

// Library constructors run as the program is loaded, before its main().
const Clock::time_point loadedAt = Clock::now();

// The recorder list: the visible list whose columns are the device list's.
QTreeWidget* DeviceList() {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (!top->isVisible()) {
            continue;
        }
        for (QTreeWidget* tree : top->findChildren<QTreeWidget*>()) {
            const QTreeWidgetItem* header = tree->headerItem();
            if (header != nullptr && header->columnCount() == 4 && header->text(0) == "Name" &&
                header->text(1) == "IP" && header->text(2) == "Netmask" &&
                header->text(3) == "Gateway") {
                return tree;
            }
        }
    }
    return nullptr;
}

void Report(QTreeWidget& list, const QString& outPath) {
    const double seconds = std::chrono::duration<double>(Clock::now() - loadedAt).count();
    QJsonArray names;
    for (int row = 0; row < list.topLevelItemCount(); ++row) {
        names.append(list.topLevelItem(row)->text(0));
    }
    const QJsonObject report{
        {"rows", list.topLevelItemCount()}, {"names", names}, {"seconds", seconds}};
    QFile out(outPath);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        out.write(QJsonDocument(report).toJson(QJsonDocument::Compact)) < 0) {
        std::fprintf(stderr, "window probe: cannot write %s\n", qPrintable(outPath));
    }
    out.close();
    if (const QString png = qEnvironmentVariable("OSTREL_WINDOW_PROBE_PNG"); !png.isEmpty()) {
        list.window()->grab().save(png);
    }
    QWidget* window = list.window();
    QCoreApplication::postEvent(window, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, {}));
    QCoreApplication::postEvent(window, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Escape, {}));
}

void Start() {
    const QString outPath = qEnvironmentVariable("OSTREL_WINDOW_PROBE_OUT");
    if (outPath.isEmpty()) {
        return;
    }
    // Timers fire only in an event loop, and the program's first is the main
    // window's modal run.
    auto* timer = new QTimer(QCoreApplication::instance());
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, outPath] {
        if (QTreeWidget* list = DeviceList()) {
            timer->stop();
            Report(*list, outPath);
        }
    });
    timer->start();
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(Start)
