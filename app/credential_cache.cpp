#include "app/credential_cache.h"

void CredentialCache::AddUnauthenticated(const std::string& key) {
    entries_.try_emplace(key);
}

const CredentialEntry* CredentialCache::Find(const std::string& key) const {
    auto it = entries_.find(key);
    return it == entries_.end() ? nullptr : &it->second;
}

void CredentialCache::MarkAuthenticated(const std::string& key, const std::string& userName,
                                        const std::string& password) {
    auto it = entries_.find(key);
    if (it == entries_.end()) {
        return;
    }
    it->second.authenticated = true;
    it->second.userName = userName;
    it->second.password = password;
}
