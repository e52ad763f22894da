#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "protocol/no_qt.h"

// The rules a static LAN configuration must pass before it is sent to a
// recorder, shared by the main window and the command line. Each failure
// names the field and the octet at fault and carries the exact message.

using Octets = std::array<int, 4>;

// The field kinds of ValidateAddressOctets.
enum class AddressField { None = 0, Ip = 1, Netmask = 2, Gateway = 3 };

// How a message is shown: Warning as a "Warning" with the exclamation
// icon, OctetRange as an "Error" with the information icon, Refused as an
// "Error" with the error icon.
enum class AddressMessageKind { Warning, OctetRange, Refused };

struct AddressFault {
    AddressField field;
    int octet;  // 0 to 3, or -1 when the message concerns the whole field
    AddressMessageKind kind;
    std::string_view message;
};

constexpr std::string_view kMessageNoIp = "Please input IP address!";
constexpr std::string_view kMessageNoNetmask = "Please input net mask address!";
constexpr std::string_view kMessageLoopbackIp = "IP address input error. Please try again.";
constexpr std::string_view kMessageBadNetmask = "Netmask address input invalid. Please try again.";
constexpr std::string_view kMessageBadCombination =
    "You enter incorrect TCP/IP configuration. Please try again.";

// What a switch to DHCP reports, in the main window's message boxes and on
// the command line alike.
inline constexpr char kDhcpFailedText[] = "Set to dhcp client fail.";
inline constexpr char kDhcpEnabledText[] = "DHCP client enabled.";

// The octet range rules of one field, first failing rule first. kind is
// 1 (IP), 2 (netmask) or 3 (gateway); any other kind passes, and so does a
// blank gateway field.
std::optional<AddressFault> ValidateAddressOctets(int kind, const Octets& octets,
                                                  bool blank = false);

// A mask passes when its 32 bits are ones then zeros and its first octet is not 0.
bool IsContiguousNetmask(const Octets& mask);

// True when the gateway must be refused for the address and mask: it is the
// network or broadcast address, or lies outside the subnet. Link-local
// addresses (169.254.x.x) accept any gateway, a blank one too.
bool IsBadGatewayCombination(const Octets& ip, const Octets& mask, const Octets& gateway);

// "%d.%d.%d.%d".
std::string FormatDottedAddress(const Octets& octets);

// The three fields as the LAN settings editor reads them (a blank field
// reads 0.0.0.0).
struct StaticLanInput {
    Octets ip{};
    bool ipBlank = false;
    Octets netmask{};
    bool netmaskBlank = false;
    Octets gateway{};
    bool gatewayBlank = false;
};

// The outcome of the whole check: the first fault, or the texts to send
// (the gateway text empty when all its octets are 0).
struct StaticLanCheck {
    std::optional<AddressFault> fault;
    std::string ipText;
    std::string netmaskText;
    std::string gatewayText;
};

// Runs every rule in the editor's order: IP present, netmask present, IP not
// 127.x, IP octets, netmask octets, gateway octets (skipped for 169.254.x.x),
// contiguous netmask, gateway combination.
StaticLanCheck CheckStaticLanInput(const StaticLanInput& input);
