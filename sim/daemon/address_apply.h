#pragma once

#include <string>
#include <vector>

// Moving a recorder's address on a real interface, by running the "ip" tool.
// Only ever used inside a network namespace of the daemon's own.
namespace sim {

// True when this process runs in a network namespace made for it: one that
// "ip netns add" pinned under /run/netns, or at least not process 1's. why
// tells what was found otherwise.
bool InPrivateNetworkNamespace(std::string& why);

// Runs "ip" with the arguments; gives "" on success, else an error text.
std::string RunIp(const std::vector<std::string>& args);

// Without this, removing an interface's primary address also removes every
// other address of that subnet (those of the other recorders on it).
std::string KeepSecondaryAddresses(const std::string& interface);

// ip -4 addr replace ADDRESS/PREFIX dev INTERFACE
std::string AddAddress(const std::string& interface, const std::string& address, int prefix);
// ip -4 addr del ADDRESS/PREFIX dev INTERFACE
std::string RemoveAddress(const std::string& interface, const std::string& address, int prefix);

}  // namespace sim
