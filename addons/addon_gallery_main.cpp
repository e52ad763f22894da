// Renders the add-on windows, built by their own classes, to PNG files:
//   addon-gallery [--scale N] OUT_DIR
// --scale 2 renders them as a screen at 200 % shows them.
// The language dialog is shown as a recorder with codepage 950 opens it;
// the restart window with its bar part way.
#include <QApplication>
#include <QDir>
#include <QImage>
#include <chrono>
#include <cstdio>

#include "addons/addon_context.h"
#include "addons/language_dlg.h"
#include "addons/message_dlg.h"
#include "addons/progress_dlg.h"
#include "addons/server_model_dlg.h"
#include "addons/widget_alert_dlg.h"
#include "platform/dialog/dialog_units.h"
#include "platform/services/fake_network_drives.h"
#include "platform/services/file_service.h"
#include "platform/services/program_launcher.h"
#include "protocol/globals.h"
#include "res/templates/dialog_templates.h"

using namespace ostrel::dialog;

namespace {

// Answers as a recorder with all codepages and codepage 950 would.
class PictureDevice : public ostrel::addons::AddonDevice {
public:
    int QueryDiskStatus() override {
        DiskStatus = "5";
        return 1;
    }
    int QueryDeviceCodepage() override {
        DeviceCodepage = "950";
        return 1;
    }
};

QImage Render(CDialog& dialog) {
    if (!dialog.Create())
        return {};
    dialog.show();
    QApplication::processEvents();
    const QImage image = dialog.grab().toImage();
    dialog.DestroyWindow();
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QString folder;
    int folders = 0;
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]) == "--scale" && i + 1 < argc) {
            // The screen's scale is fixed before the application starts.
            qputenv("QT_SCALE_FACTOR", argv[++i]);
        } else {
            folder = QString::fromLocal8Bit(argv[i]);
            ++folders;
        }
    }
    if (folders != 1) {
        std::fprintf(stderr, "usage: %s [--scale N] OUT_DIR\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    EnsureDialogFonts();
    res::RegisterProductDialogTemplates();
    QDir out(folder);
    out.mkpath(QStringLiteral("."));

    ostrel::platform::FakeNetworkDrives drives;
    ostrel::platform::FakeFiles files;
    ostrel::platform::FakeProgramLauncher launcher;
    ostrel::platform::PlatformServices services;
    services.drives = &drives;
    services.files = &files;
    services.launcher = &launcher;
    PictureDevice device;
    ostrel::addons::AddonContext context;
    context.services = &services;
    context.device = &device;
    context.sleep = [](unsigned) {};
    context.progressStep = std::chrono::minutes(10);

    int failed = 0;
    auto save = [&](const QImage& image, const char* name) {
        if (image.isNull() || !image.save(out.filePath(QString::fromLatin1(name)), "PNG")) {
            std::fprintf(stderr, "addon-gallery: cannot render %s\n", name);
            ++failed;
        }
    };
    {
        language dialog(context);
        save(Render(dialog), "addon-139-language.png");
    }
    {
        messageDlg dialog(context);
        save(Render(dialog), "addon-180-messageDlg.png");
    }
    {
        progress dialog(context);
        if (dialog.Create()) {
            dialog.Bar().SetRange(1, 100);
            dialog.Bar().SetPos(40);
            dialog.show();
            QApplication::processEvents();
            dialog.Bar().SetPos(40);
            save(dialog.grab().toImage(), "addon-141-progress.png");
            dialog.DestroyWindow();
        }
    }
    {
        yahoowidgetalert dialog;
        save(Render(dialog), "addon-264-yahoowidgetalert.png");
    }
    {
        ServerModel dialog;
        save(Render(dialog), "addon-265-ServerModel.png");
    }
    std::printf("addon-gallery: %d pictures written to %s\n", 5 - failed,
                qPrintable(out.absolutePath()));
    return failed == 0 ? 0 : 1;
}
