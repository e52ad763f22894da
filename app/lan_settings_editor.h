#pragma once

#include <QString>

#include "platform/dialog/message_box.h"
#include "protocol/address_rules.h"

// The LAN settings editor of the main window: the DHCP choice (combo box
// 1015) switches the address fields on and off, and the apply command (1007)
// checks the input, sends the DHCP or static change to the picked recorder
// and rediscovers the recorders. The handlers, OnSelchangeDhcp, OnApplyLan
// and RediscoverDevices, are members of CLanscoutDlg defined in
// lan_settings_editor.cpp.

inline constexpr const char* kSelectDeviceAboveText =
    "Please select a device in the above section.";
// A static change the recorder refused or never answered: without it the
// user could not tell a failure from a success.
inline constexpr const char* kStaticFailedText = "Failed to set static IP address.";

// The DHCP choice's item that switches the port to DHCP.
inline constexpr const char* kDhcpEnableItem = "Enable";

// Caption and icon of an address-rule message.
struct AddressMessageStyle {
    QString caption;
    UINT icon = 0;
};
AddressMessageStyle StyleOf(AddressMessageKind kind);
