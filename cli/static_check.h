#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/format.h"
#include "protocol/address_rules.h"

// The check of "ostrel-nvr static": the address texts of the command line are
// read as the LAN settings editor's address fields would hold them, then run
// through the editor's own rules and messages (protocol/address_rules.h).
namespace cli {

struct StaticTexts {
    std::string ip;
    std::string netmask;
    std::string gateway;  // empty when the gateway is blank
};

struct StaticCheck {
    std::optional<StaticTexts> texts;  // empty when refused
    std::string message;               // the refusal, one line
};

// Four decimal octets of one to three digits each, separated by "."; values
// above 255 are kept so that the range rules word the refusal. Nothing when
// the text has another shape.
std::optional<Octets> ParseOctets(std::string_view text);

// How a refusal names the field: by the option of "static" ("for --ip") or
// by the plan's column ("in column ip").
enum class FieldNaming { Options, PlanColumns };

// An absent or empty text is a blank field.
StaticCheck CheckStaticInput(const std::optional<std::string>& ip,
                             const std::optional<std::string>& netmask,
                             const std::optional<std::string>& gateway,
                             FieldNaming naming = FieldNaming::Options);

// Whether the checked texts can work as the recorder's new settings, which
// the address rules alone do not see: the address must not be this
// computer's own (the recorder could not be reached again), the recorder's
// other port's, or the network or broadcast address of the new subnet. The
// refusal as one line; nothing when the target can work.
std::optional<std::string> TargetProblem(const StaticTexts& texts, const DeviceSummary& device,
                                         const std::vector<std::string>& localAddresses);

}  // namespace cli
