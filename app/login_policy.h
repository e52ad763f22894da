#pragma once

#include <string>

#include "app/credential_cache.h"

// 1 makes the login dialog show the fixed user name "admin" in a locked field.
// Set by every press of the LAN editor's apply button, cleared by the map
// command (which also empties LoginUser and LoginPassword). 0 at start.
extern int LoginNameFixed;

inline constexpr const char* kWrongAdminPasswordText = "Wrong administrator password input!";

// What the credential policies need from the window that runs them: the
// modal login dialog and the error box. The main window answers with the real
// dialog and message box; tests may answer with their own.
class LoginUi {
public:
    virtual ~LoginUi();
    // Runs the login dialog modally. True for OK, after the dialog has
    // written LoginUser and LoginPassword; false for Cancel.
    virtual bool RunLoginDialog() = 0;
    // Shows "Wrong administrator password input!" as an error.
    virtual void ShowWrongAdminPassword() = 0;
};

// The device pick's policy. An authenticated entry for key fills LoginUser /
// LoginPassword from the cache without a request. Otherwise (if the key is
// listed at all) CurrentTargetId becomes the key's bytes, the login dialog
// asks for credentials, and Login is tried twice before the error is shown.
// True when LoginUser / LoginPassword hold credentials the recorder accepted.
bool CachedLogin(CredentialCache& cache, const std::string& key, LoginUi& ui);

// The add-on installer's policy, for the recorder named by CurrentTargetId:
// "admin" with an empty password first, then whatever the login dialog gives.
// Neither reads nor updates the cache.
bool DefaultCredentialsFirst(LoginUi& ui);
