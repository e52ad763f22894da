#include <QCoreApplication>
#include <QKeyEvent>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "addon_harness.h"
#include "addons/addon_messages.h"
#include "addons/addon_state.h"
#include "platform/dialog/button.h"
#include "res/templates/control_ids.h"

// Command 1032: the address file, the engine prompt, the model picker and
// the widget file.
using namespace ostrel::addons;
using ostrel::platform::FakeFiles;

namespace {

void PressNext(CDialog& dialog) {
    dialog.SendMessage(WM_COMMAND, IDCANCEL, 0);
}

}  // namespace

TEST(WidgetCommand, KnownModelsOpenTheirWidgetFile) {
    for (const auto& [model, file] : std::vector<std::pair<std::string, std::string>>{
             {"HSV-530", "OSTRELEu_HSV530_Widget"}, {"HSV-520", "OSTRELEu_HSV520_Widget.widget"}}) {
        AddonHarness h;
        h.host.model = model;
        h.answer[res::IDD_WIDGET_ALERT] = PressNext;
        RunDesktopWidget(h.host, h.context);
        EXPECT_EQ(h.launcher.openedFiles, (std::vector<std::string>{file}));
        EXPECT_EQ(h.Runs(), (std::vector<int>{res::IDD_WIDGET_ALERT}));
        // The address alone, without a line end.
        EXPECT_EQ(h.files.files.at(FakeFiles::Normalise(kWidgetAddressFile)), "10.0.0.2");
        EXPECT_TRUE(h.Messages().empty());
    }
}

TEST(WidgetCommand, EscapeInThePromptContinuesAsNext) {
    AddonHarness h;
    h.host.model = "HSV-510";
    h.answer[res::IDD_WIDGET_ALERT] = [](CDialog& dialog) {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(&dialog, &escape);
    };
    WidgetAnswer = 1;
    RunDesktopWidget(h.host, h.context);
    EXPECT_EQ(WidgetAnswer, 0);
    EXPECT_EQ(h.launcher.openedFiles, (std::vector<std::string>{"OSTRELEu_HSV510_Widget.widget"}));

    // Download opens the engine's page and nothing else.
    AddonHarness d;
    d.answer[res::IDD_WIDGET_ALERT] = [](CDialog& dialog) {
        dialog.SendMessage(WM_COMMAND, IDOK, 0);
    };
    RunDesktopWidget(d.host, d.context);
    EXPECT_EQ(d.launcher.commandLines,
              (std::vector<std::string>{std::string("explorer ") + kWidgetDownloadPage}));
    EXPECT_TRUE(d.launcher.openedFiles.empty());
}

TEST(WidgetCommand, OtherModelsAskForTheModel) {
    struct Case {
        int radio;  // 0: none
        bool ok;
        std::vector<std::string> opened;
    };
    for (const Case& c :
         {Case{0, false, {}}, Case{0, true, {}}, Case{res::IDC_MODEL_HSV540, false, {}},
          Case{res::IDC_MODEL_HSV540, true, {"OSTRELEu_HSV540_Widget.widget"}}}) {
        SCOPED_TRACE(std::to_string(c.radio) + (c.ok ? " OK" : " Cancel"));
        AddonHarness h;
        h.host.model = "KVR-620";
        h.answer[res::IDD_WIDGET_ALERT] = PressNext;
        h.answer[res::IDD_SERVER_MODEL] = [c](CDialog& dialog) {
            if (c.radio != 0)
                dialog.GetDlgItemAs<CButton>(c.radio)->SetCheck(BST_CHECKED);
            dialog.SendMessage(WM_COMMAND, c.ok ? IDOK : IDCANCEL, 0);
        };
        RunDesktopWidget(h.host, h.context);
        EXPECT_EQ(h.Runs(), (std::vector<int>{res::IDD_WIDGET_ALERT, res::IDD_SERVER_MODEL}));
        EXPECT_EQ(h.launcher.openedFiles, c.opened);
        EXPECT_TRUE(h.Messages().empty());
        EXPECT_EQ(ModelChoice, c.ok && c.radio != 0 ? 2 : -1);
    }
}

TEST(WidgetCommand, FailuresAreReported) {
    AddonHarness h;
    h.host.model = "HSV-530";
    h.answer[res::IDD_WIDGET_ALERT] = PressNext;
    h.launcher.shellExecuteResults = {ostrel::platform::SE_ERR_FNF};
    RunDesktopWidget(h.host, h.context);
    ASSERT_EQ(h.boxes.records().size(), 1u);
    EXPECT_EQ(h.boxes.records()[0].text.toStdString(), kWidgetFileError);
    EXPECT_EQ(h.boxes.records()[0].caption.toStdString(), kWarningCaption);
    EXPECT_EQ(h.boxes.records()[0].icon(), MB_ICONINFORMATION);

    AddonHarness none;
    none.host.selectedAddress.reset();
    RunDesktopWidget(none.host, none.context);
    ASSERT_EQ(none.boxes.records().size(), 1u);
    EXPECT_EQ(none.boxes.records()[0].text.toStdString(), kSelectServer);
    EXPECT_EQ(none.boxes.records()[0].icon(), MB_ICONEXCLAMATION);
    EXPECT_TRUE(none.files.files.empty());
    EXPECT_TRUE(none.Runs().empty());
}
