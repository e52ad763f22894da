// Preloaded (LD_PRELOAD) into the real ostrel-nvr-search by the Wayland
// check, so the shipped program runs unchanged from its own main(). A
// headless compositor has no seat, so no pointer or keyboard reaches the
// program from outside: the probe plays the user through Qt's widget tree,
// one step at a time, and between steps lets the check take the
// compositor's screenshot and scene graph.
//
// Each step writes <dir>/<step>.json and then waits for <dir>/<step>.ack,
// which the check creates once it has looked. The steps: "main" (the main
// window shown), "drag" (after a press and a move on its title area),
// "login" (the login dialog of the first recorder listed, when there is
// one), "about" (the about box), "message" (the warning box of Map Drive
// with no volume chosen), "minimized" (after the window's own minimise
// button). Then it presses the window's close button. The directory comes
// from OSTREL_WAYLAND_PROBE_DIR; without it the probe does nothing.

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <functional>

namespace {

using Clock = std::chrono::steady_clock;

QString gDir;

QWidget* MainWindow() {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->isVisible() && top->windowTitle() == "Ostrel NVR Search Utility") {
            return top;
        }
    }
    return nullptr;
}

QAbstractButton* Button(QWidget* window, const QString& name) {
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (button->accessibleName() == name) {
            return button;
        }
    }
    return nullptr;
}

// The modal dialog shown above the main window, once it is on screen.
QDialog* ShownDialog(QWidget* main) {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(top);
        if (dialog != nullptr && dialog != main && dialog->isVisible() &&
            dialog->windowHandle() != nullptr && dialog->windowHandle()->isExposed()) {
            return dialog;
        }
    }
    return nullptr;
}

QJsonObject Describe(QWidget* widget, QWidget* main) {
    QWindow* handle = widget->windowHandle();
    const bool transientOfMain =
        handle != nullptr && main != nullptr && handle->transientParent() == main->windowHandle();
    return QJsonObject{
        {"title", widget->windowTitle()},
        {"visible", widget->isVisible()},
        {"exposed", handle != nullptr && handle->isExposed()},
        {"width", widget->width()},
        {"height", widget->height()},
        {"translucent", widget->testAttribute(Qt::WA_TranslucentBackground)},
        {"masked", !widget->mask().isEmpty()},
        {"minimized", (widget->windowState() & Qt::WindowMinimized) != 0},
        {"transientOfMain", transientOfMain},
        {"modal", widget->isModal()},
        {"platform", QGuiApplication::platformName()},
    };
}

void Write(const QString& step, const QJsonObject& report) {
    QFile out(gDir + "/" + step + ".json");
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        out.write(QJsonDocument(report).toJson(QJsonDocument::Compact)) < 0) {
        std::fprintf(stderr, "wayland probe: cannot write %s\n", qPrintable(out.fileName()));
    }
}

// Runs `check` every 50 ms until it answers true or `seconds` pass, then
// `next` (given whether the check succeeded).
void Poll(std::function<bool()> check, double seconds, std::function<void(bool)> next) {
    auto* timer = new QTimer(QCoreApplication::instance());
    const Clock::time_point until =
        Clock::now() + std::chrono::milliseconds(static_cast<int>(seconds * 1000));
    timer->setInterval(50);
    QObject::connect(timer, &QTimer::timeout, [timer, check, until, next] {
        const bool done = check();
        if (done || Clock::now() > until) {
            timer->stop();
            timer->deleteLater();
            next(done);
        }
    });
    timer->start();
}

// Reports a step and goes on once the check has acknowledged it. The
// extra half second lets the compositor show the last frame.
void Step(const QString& step, const QJsonObject& report, std::function<void()> next) {
    Poll([] { return false; }, 0.5,
         [step, report, next](bool) {
             Write(step, report);
             Poll([step] { return QFile::exists(gDir + "/" + step + ".ack"); }, 30,
                  [next](bool) { next(); });
         });
}

void Click(QAbstractButton* button) {
    QTimer::singleShot(0, button, &QAbstractButton::click);
}

void PressEscape(QWidget* widget) {
    QCoreApplication::postEvent(widget, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, {}));
    QCoreApplication::postEvent(widget, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Escape, {}));
}

// Opens a dialog through `open`, reports it as `step`, closes it with
// Escape and waits for it to go.
void DialogStep(const QString& step, std::function<bool(QWidget*)> open,
                std::function<void()> next) {
    QWidget* main = MainWindow();
    if (main == nullptr || !open(main)) {
        Write(step, QJsonObject{{"skipped", true}});
        next();
        return;
    }
    Poll([main] { return ShownDialog(main) != nullptr; }, 20,
         [step, main, next](bool shown) {
             QDialog* dialog = shown ? ShownDialog(main) : nullptr;
             if (dialog == nullptr) {
                 Write(step, QJsonObject{{"shown", false}});
                 next();
                 return;
             }
             QJsonObject report = Describe(dialog, main);
             report["shown"] = true;
             report["active"] = QApplication::activeModalWidget() == dialog;
             Step(step, report, [main, next] {
                 if (QDialog* shownNow = ShownDialog(main)) {
                     PressEscape(shownNow);
                 }
                 Poll([main] { return ShownDialog(main) == nullptr; }, 10,
                      [next](bool) { next(); });
             });
         });
}

void Finish() {
    QWidget* main = MainWindow();
    if (main == nullptr) {
        return;
    }
    if (QAbstractButton* close = Button(main, "Close")) {
        Click(close);
    }
}

void Minimize() {
    QWidget* main = MainWindow();
    QAbstractButton* minimize = main != nullptr ? Button(main, "Minimize") : nullptr;
    if (minimize == nullptr) {
        Write("minimized", QJsonObject{{"skipped", true}});
        Finish();
        return;
    }
    minimize->click();
    Poll([] { return false; }, 0.5,
         [](bool) {
             QWidget* now = MainWindow();
             Step("minimized", now != nullptr ? Describe(now, now) : QJsonObject{{"gone", true}},
                  Finish);
         });
}

void Dialogs() {
    const auto login = [](QWidget* main) {
        QTreeWidget* list = nullptr;
        for (QTreeWidget* tree : main->findChildren<QTreeWidget*>()) {
            const QTreeWidgetItem* header = tree->headerItem();
            if (header != nullptr && header->columnCount() == 4 && header->text(0) == "Name") {
                list = tree;
            }
        }
        if (list == nullptr || list->topLevelItemCount() == 0) {
            return false;
        }
        const QPoint at = list->visualItemRect(list->topLevelItem(0)).center();
        QWidget* viewport = list->viewport();
        const QPoint global = viewport->mapToGlobal(at);
        QCoreApplication::postEvent(viewport, new QMouseEvent(QEvent::MouseButtonPress, at, global,
                                                              Qt::LeftButton, Qt::LeftButton, {}));
        QCoreApplication::postEvent(
            viewport, new QMouseEvent(QEvent::MouseButtonRelease, at, global, Qt::LeftButton,
                                      Qt::NoButton, {}));
        return true;
    };
    const auto press = [](const QString& name) {
        return [name](QWidget* main) {
            QAbstractButton* button = Button(main, name);
            if (button == nullptr) {
                return false;
            }
            Click(button);
            return true;
        };
    };
    DialogStep("login", login, [press] {
        DialogStep("about", press("About"),
                   [press] { DialogStep("message", press("Map Drive"), Minimize); });
    });
}

// A press on the title area (the window's own surface, left of the
// minimise button), a move with the button held and the release: what a
// user's drag sends, through the same handlers.
void Drag(QWidget* main) {
    const QPoint at(main->width() / 3, 8);
    const auto send = [main](QEvent::Type type, QPoint local, Qt::MouseButtons buttons) {
        QMouseEvent event(type, local, main->mapToGlobal(local), Qt::LeftButton, buttons, {});
        QApplication::sendEvent(main, &event);
    };
    send(QEvent::MouseButtonPress, at, Qt::LeftButton);
    send(QEvent::MouseMove, at + QPoint(40, 30), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, at + QPoint(40, 30), Qt::NoButton);
    Poll([] { return false; }, 0.5,
         [](bool) {
             QWidget* now = MainWindow();
             Step("drag", now != nullptr ? Describe(now, now) : QJsonObject{{"gone", true}},
                  Dialogs);
         });
}

void Start() {
    gDir = qEnvironmentVariable("OSTREL_WAYLAND_PROBE_DIR");
    if (gDir.isEmpty()) {
        return;
    }
    // Timers fire only in an event loop, and the program's first is the main
    // window's modal run. The start-up search has ended by then.
    Poll(
        [] {
            QWidget* main = MainWindow();
            return main != nullptr && main->windowHandle() != nullptr &&
                   main->windowHandle()->isExposed();
        },
        60,
        [](bool shown) {
            QWidget* main = MainWindow();
            if (!shown || main == nullptr) {
                Write("main", QJsonObject{{"shown", false}});
                return;
            }
            Step("main", Describe(main, main), [] {
                if (QWidget* now = MainWindow()) {
                    Drag(now);
                }
            });
        });
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(Start)
