#pragma once

#include <cstddef>
#include <map>
#include <string>

// What the main window remembers about one recorder's administrator login.
struct CredentialEntry {
    bool authenticated = false;  // the recorder accepted the texts below
    std::string userName;
    std::string password;
};

// Per-recorder credentials, keyed by DeviceKey text. Every search refills it
// with one unauthenticated entry per listed recorder; an entry becomes
// authenticated only through a successful login.
class CredentialCache {
public:
    void Clear() { entries_.clear(); }
    // Adds an unauthenticated entry with empty texts; an entry already present
    // under the key is left as it is.
    void AddUnauthenticated(const std::string& key);
    // The entry under the key, or nullptr.
    const CredentialEntry* Find(const std::string& key) const;
    // Records credentials the recorder accepted. Does nothing for an unknown key.
    void MarkAuthenticated(const std::string& key, const std::string& userName,
                           const std::string& password);

    std::size_t Size() const { return entries_.size(); }
    bool Empty() const { return entries_.empty(); }
    const std::map<std::string, CredentialEntry>& Entries() const { return entries_; }

private:
    std::map<std::string, CredentialEntry> entries_;
};
