#include "protocol/globals.h"

#include "protocol/device_table.h"
#include "protocol/volume_list.h"

DeviceId CurrentTargetId{};
FixedText<64> LoginUser;
FixedText<64> LoginPassword;
FixedText<12> LanModeText;
FixedText<16> StaticIpText;
FixedText<16> StaticNetmaskText;
FixedText<16> StaticGatewayText;
FixedText<32> IdentityName;
FixedText<32> IdentityShort;
FixedText<512> IdentityLong;
FixedText<32> HttpsSetting;
FixedText<64> DomainName;
FixedText<32> DiskStatus;
FixedText<32> AddonStatusText;
FixedText<32> DeviceCodepage;
FixedText<32> VolumeName;
FixedText<8> DiskAccessMode;
FixedText<8> StopRequest;
FixedText<8> AddonNameText;
FixedText<64> CurrentDeviceAddress;

void ResetProtocolGlobals() {
    CurrentTargetId = {};
    for (auto* text : {&LoginUser, &LoginPassword, &DomainName, &CurrentDeviceAddress}) {
        text->Clear();
    }
    LanModeText.Clear();
    for (auto* text : {&StaticIpText, &StaticNetmaskText, &StaticGatewayText}) {
        text->Clear();
    }
    for (auto* text : {&IdentityName, &IdentityShort, &HttpsSetting, &DiskStatus, &AddonStatusText,
                       &DeviceCodepage, &VolumeName}) {
        text->Clear();
    }
    IdentityLong.Clear();
    for (auto* text : {&DiskAccessMode, &StopRequest, &AddonNameText}) {
        text->Clear();
    }
    ClearDeviceTable();
    ClearVolumeList();
}
