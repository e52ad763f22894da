#pragma once

#include "protocol/no_qt.h"

// Operations of the storage devices of the same family that recorders do not
// offer. Each sends nothing, waits for nothing, returns 0 and leaves its text
// buffer (globals.h) exactly as the caller prepared it, so every caller takes
// its "not supported" or default path.
int QueryHttpsSetting();     // HttpsSetting
int QueryDomainName();       // DomainName
int QueryDiskStatus();       // DiskStatus
int QueryDeviceCodepage();   // DeviceCodepage
int QueryVolumeName();       // VolumeName
int SetDiskAccessMode();     // DiskAccessMode
int SetDeviceCodepage();     // DeviceCodepage
int SendStopRequest();       // StopRequest
int QueryAddonStatus();      // AddonStatusText
int NotifyAddonInstalled();  // AddonNameText
