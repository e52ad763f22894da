#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "addons/addon_commands.h"
#include "addons/addon_context.h"
#include "platform/dialog/dialog.h"
#include "platform/dialog/message_box.h"
#include "platform/dialog/timer_driver.h"
#include "platform/services/fake_network_drives.h"
#include "platform/services/file_service.h"
#include "platform/services/program_launcher.h"

class progress;

// Waits, handling events, until the restart window's worker has stepped the
// bar to the end. The bound only keeps a broken worker from hanging the
// test; on a busy machine the worker's 99 steps can take a while.
bool WaitForRestartWorker(const progress& restart);

// A recorder that answers the add-on queries, as the test says.
class ScriptedDevice : public ostrel::addons::AddonDevice {
public:
    // Each query takes the next reply; the last one repeats. An empty list
    // leaves the text as the caller prepared it (the unavailable query).
    std::deque<std::string> diskStates;
    int diskResult = 1;
    std::deque<std::string> codepages;
    std::deque<std::string> volumes;
    std::deque<std::string> addonStates;
    int addonResult = 1;

    std::map<std::string, int> calls;
    std::vector<std::string> codepagesSet;
    std::vector<std::string> stopRequests;
    std::vector<std::string> addonNames;
    std::vector<std::string> accessModes;

    int QueryDiskStatus() override;
    int QueryDeviceCodepage() override;
    int QueryVolumeName() override;
    int SetDiskAccessMode() override;
    int SetDeviceCodepage() override;
    int SendStopRequest() override;
    int QueryAddonStatus() override;
    int NotifyAddonInstalled() override;
};

// The main window as the commands see it.
class FakeHost : public ostrel::addons::AddonHost {
public:
    CWnd* Window() override { return nullptr; }
    int& DeviceSelected() override { return deviceSelected; }
    void FullRefresh() override {
        ++refreshes;
        deviceSelected = 0;
    }
    bool DefaultCredentialsFirst() override {
        ++logins;
        return loginSucceeds;
    }
    std::optional<std::string> SelectedDeviceAddress() override { return selectedAddress; }
    std::string ShownModelText() override { return model; }

    int deviceSelected = 1;
    int refreshes = 0;
    int logins = 0;
    bool loginSucceeds = true;
    std::optional<std::string> selectedAddress = "10.0.0.2";
    std::string model = "KVR-610L";
};

// Fakes for every service, a virtual clock for the timers, pauses that only
// count, message boxes recorded, and every modal run answered by `answer`.
// Install-task windows run their first tick, restart windows run to their end.
class AddonHarness {
public:
    AddonHarness();
    ~AddonHarness();

    ostrel::platform::FakeNetworkDrives drives;
    ostrel::platform::FakeFiles files;
    ostrel::platform::FakeProgramLauncher launcher;
    ostrel::platform::PlatformServices services;
    ScriptedDevice device;
    ostrel::addons::AddonContext context;
    ostrel::dialog::ManualTimerDriver timers;
    ostrel::dialog::ScopedTimerDriver scopedTimers{timers};
    ostrel::dialog::ScopedMessageBoxHook boxes;
    FakeHost host;

    // Every pause the dialogs took, in ms.
    std::vector<unsigned> sleeps;
    unsigned SleptMs() const;
    // Texts of the message boxes shown so far.
    std::vector<std::string> Messages() const;

    // What the test does with a dialog other than the task and restart
    // windows (language, yahoowidgetalert, ServerModel), by template.
    std::map<int, std::function<void(CDialog&)>> answer;
    // Template numbers of every modal run, in order.
    const std::vector<int>& Runs() const { return modal.runs(); }
    // Set for the restart window: what the probes saw before it closed.
    std::function<void(CDialog&)> onRestartWindow;

private:
    void Answer(CDialog& dialog);
    ostrel::dialog::ScopedModalHook modal;
};
