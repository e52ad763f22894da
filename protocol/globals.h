#pragma once

#include "protocol/fixed_text.h"
#include "protocol/no_qt.h"
#include "protocol/packet_format.h"

// The program-wide inputs and outputs of the device operations. A caller
// fills them, calls one operation and reads the results; everything runs on
// one thread. The tables live beside their code: DeviceTable
// (device_table.h), VolumeList (volume_list.h), LocalAddressTable
// (local_addresses.h) and SessionId (session_id.h).

// The recorder the next operation addresses (the header's device id).
extern DeviceId CurrentTargetId;

// Administrator credentials; each CredentialBlock carries their first 48 characters.
extern FixedText<64> LoginUser;
extern FixedText<64> LoginPassword;

// Which LAN port a LAN request addresses (see SelectLanIndex).
extern FixedText<12> LanModeText;
constexpr const char* kLanModeFirst = "LAN1";
constexpr const char* kLanModeBoth = "LAN1+LAN2";

// The static configuration SetLanStatic sends.
extern FixedText<16> StaticIpText;
extern FixedText<16> StaticNetmaskText;
extern FixedText<16> StaticGatewayText;

// The three identity texts of ReadIdentity and WriteIdentity.
extern FixedText<32> IdentityName;
extern FixedText<32> IdentityShort;
extern FixedText<512> IdentityLong;

// The text buffers of the operations recorders do not offer (see
// unavailable_operations.h); their callers prepare them and read them back.
extern FixedText<32> HttpsSetting;
extern FixedText<64> DomainName;
extern FixedText<32> DiskStatus;
extern FixedText<32> AddonStatusText;
extern FixedText<32> DeviceCodepage;
extern FixedText<32> VolumeName;
extern FixedText<8> DiskAccessMode;
extern FixedText<8> StopRequest;
extern FixedText<8> AddonNameText;

// Dotted IPv4 address of the recorder the current command works on.
extern FixedText<64> CurrentDeviceAddress;

// Empties every text, zeroes CurrentTargetId and empties the device table and
// the volume list (a fresh start, as at program start; sockets are left alone).
void ResetProtocolGlobals();
