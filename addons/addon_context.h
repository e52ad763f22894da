#pragma once

#include <chrono>
#include <functional>

#include "platform/services/platform_services.h"

// What the add-on windows work with: the platform services, the device
// queries, and the pause of their polls. The program uses the real ones;
// tests hand in fakes, a query seam and a pause that only counts.
namespace ostrel::addons {

// The recorder requests the add-ons make. The recorders offer none of them:
// the program's own AddonDevice sends nothing and answers 0, leaving the
// text buffers (protocol/globals.h) as the caller prepared them. Tests
// derive from it to answer.
class AddonDevice {
public:
    virtual ~AddonDevice() = default;
    virtual int QueryDiskStatus();       // DiskStatus
    virtual int QueryDeviceCodepage();   // DeviceCodepage
    virtual int QueryVolumeName();       // VolumeName
    virtual int SetDiskAccessMode();     // DiskAccessMode
    virtual int SetDeviceCodepage();     // DeviceCodepage
    virtual int SendStopRequest();       // StopRequest
    virtual int QueryAddonStatus();      // AddonStatusText
    virtual int NotifyAddonInstalled();  // AddonNameText
};

// The pause between two polls (Sleep).
using AddonSleep = std::function<void(unsigned milliseconds)>;
void SleepFor(unsigned milliseconds);

struct AddonContext {
    platform::PlatformServices* services = nullptr;
    AddonDevice* device = nullptr;
    AddonSleep sleep = SleepFor;
    // The restart window's worker pauses through this; it returns early,
    // false, once the window asks the worker to stop.
    std::chrono::milliseconds progressStep{900};
};

// The program's own context: the system services and the unavailable
// device operations.
AddonContext& DefaultAddonContext();

}  // namespace ostrel::addons
