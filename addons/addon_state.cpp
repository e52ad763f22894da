#include "addons/addon_state.h"

namespace ostrel::addons {

int InstallMode = 0;
std::atomic<int> InstallAborted{0};
int SelectedLanguage = 0;
int AllCodepagesSupported = 0;
const char* CodepageText = "";
int AddonInstalled = 0;
int WidgetAnswer = 0;
int ModelChoice = -1;

void ResetAddonState() {
    InstallMode = 0;
    InstallAborted = 0;
    SelectedLanguage = 0;
    AllCodepagesSupported = 0;
    CodepageText = "";
    AddonInstalled = 0;
    WidgetAnswer = 0;
    ModelChoice = -1;
}

}  // namespace ostrel::addons
