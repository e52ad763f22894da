#include "addon_harness.h"

#include <QCoreApplication>
#include <chrono>
#include <thread>

#include "addons/addon_state.h"
#include "addons/embedded_file.h"
#include "addons/progress_dlg.h"
#include "protocol/globals.h"
#include "res/templates/control_ids.h"

namespace {

void Answer(std::deque<std::string>& replies, auto& text) {
    if (replies.empty())
        return;
    text = replies.front();
    if (replies.size() > 1)
        replies.pop_front();
}

}  // namespace

int ScriptedDevice::QueryDiskStatus() {
    ++calls["disk"];
    Answer(diskStates, DiskStatus);
    return diskResult;
}
int ScriptedDevice::QueryDeviceCodepage() {
    ++calls["codepage"];
    Answer(codepages, DeviceCodepage);
    return 1;
}
int ScriptedDevice::QueryVolumeName() {
    ++calls["volume"];
    Answer(volumes, VolumeName);
    return 1;
}
int ScriptedDevice::SetDiskAccessMode() {
    accessModes.push_back(DiskAccessMode.str());
    return 1;
}
int ScriptedDevice::SetDeviceCodepage() {
    codepagesSet.push_back(DeviceCodepage.str());
    return 1;
}
int ScriptedDevice::SendStopRequest() {
    stopRequests.push_back(StopRequest.str());
    return 1;
}
int ScriptedDevice::QueryAddonStatus() {
    ++calls["addon"];
    Answer(addonStates, AddonStatusText);
    return addonResult;
}
int ScriptedDevice::NotifyAddonInstalled() {
    addonNames.push_back(AddonNameText.str());
    return 1;
}

AddonHarness::AddonHarness() : modal([this](CDialog& dialog) { Answer(dialog); }) {
    services.drives = &drives;
    services.files = &files;
    services.launcher = &launcher;
    context.services = &services;
    context.device = &device;
    context.sleep = [this](unsigned ms) { sleeps.push_back(ms); };
    context.progressStep = std::chrono::milliseconds(0);
    ostrel::addons::ResetAddonState();
    ostrel::addons::LastWriteFailed = 0;
    ResetProtocolGlobals();
    CurrentDeviceAddress = "10.0.0.2";
}

AddonHarness::~AddonHarness() = default;

unsigned AddonHarness::SleptMs() const {
    unsigned total = 0;
    for (unsigned ms : sleeps)
        total += ms;
    return total;
}

std::vector<std::string> AddonHarness::Messages() const {
    std::vector<std::string> texts;
    for (const auto& record : boxes.records())
        texts.push_back(record.text.toStdString());
    return texts;
}

bool WaitForRestartWorker(const progress& restart) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!restart.WorkerDone() && std::chrono::steady_clock::now() < limit) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    // The worker's last messages are posted before it says it is done.
    QCoreApplication::processEvents();
    return restart.WorkerDone();
}

void AddonHarness::Answer(CDialog& dialog) {
    const int id = dialog.GetTemplateId();
    if (id == res::IDD_INSTALL_TASK) {
        timers.advance(2000);
        return;
    }
    if (id == res::IDD_PROGRESS) {
        auto& restart = static_cast<progress&>(dialog);
        WaitForRestartWorker(restart);
        if (onRestartWindow)
            onRestartWindow(dialog);
        timers.advance(90000);
        return;
    }
    const auto found = answer.find(id);
    if (found != answer.end())
        found->second(dialog);
    else
        dialog.EndDialog(IDCANCEL);
}
