#include "app/login_policy.h"

#include "protocol/device_key.h"
#include "protocol/globals.h"
#include "protocol/operations.h"

int LoginNameFixed = 0;

LoginUi::~LoginUi() = default;

bool CachedLogin(CredentialCache& cache, const std::string& key, LoginUi& ui) {
    const CredentialEntry* entry = cache.Find(key);
    if (entry != nullptr && entry->authenticated) {
        // FixedText cuts each copy to its buffer.
        LoginUser = entry->userName;
        LoginPassword = entry->password;
        return true;
    }
    if (entry == nullptr) {
        return false;
    }
    std::array<std::uint8_t, 8> id{};
    ReadDeviceKey(key, DeviceKeyStrictness::Lenient, id);
    CurrentTargetId = id;
    if (!ui.RunLoginDialog()) {
        return false;
    }
    // A single lost datagram should not cost the user a retype: try twice.
    if (Login() == 0 && Login() == 0) {
        ui.ShowWrongAdminPassword();
        return false;
    }
    cache.MarkAuthenticated(key, LoginUser.str(), LoginPassword.str());
    return true;
}

bool DefaultCredentialsFirst(LoginUi& ui) {
    LoginUser = "admin";
    LoginPassword = "";
    if (Login() != 0) {
        return true;
    }
    // Cancel leaves "admin" and the empty password for the second try.
    ui.RunLoginDialog();
    if (Login() != 0) {
        return true;
    }
    ui.ShowWrongAdminPassword();
    return false;
}
