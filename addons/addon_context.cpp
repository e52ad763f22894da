#include "addons/addon_context.h"

#include <thread>

#include "protocol/unavailable_operations.h"

namespace ostrel::addons {

int AddonDevice::QueryDiskStatus() {
    return ::QueryDiskStatus();
}
int AddonDevice::QueryDeviceCodepage() {
    return ::QueryDeviceCodepage();
}
int AddonDevice::QueryVolumeName() {
    return ::QueryVolumeName();
}
int AddonDevice::SetDiskAccessMode() {
    return ::SetDiskAccessMode();
}
int AddonDevice::SetDeviceCodepage() {
    return ::SetDeviceCodepage();
}
int AddonDevice::SendStopRequest() {
    return ::SendStopRequest();
}
int AddonDevice::QueryAddonStatus() {
    return ::QueryAddonStatus();
}
int AddonDevice::NotifyAddonInstalled() {
    return ::NotifyAddonInstalled();
}

void SleepFor(unsigned milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

AddonContext& DefaultAddonContext() {
    static AddonDevice device;
    static AddonContext context{&platform::SystemServices(), &device, SleepFor,
                                std::chrono::milliseconds(900)};
    return context;
}

}  // namespace ostrel::addons
