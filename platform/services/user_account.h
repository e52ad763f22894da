#pragma once

#include <string>

// The name of the user running the program.
namespace ostrel::platform {

class UserAccount {
public:
    virtual ~UserAccount() = default;
    // The login name of the current user; false when it cannot be told.
    virtual bool GetUserNameA(std::string& name) = 0;
};

// Reads the login name from the user database (getpwuid), then getlogin().
class LoginUserAccount final : public UserAccount {
public:
    bool GetUserNameA(std::string& name) override;
};

class FakeUserAccount final : public UserAccount {
public:
    explicit FakeUserAccount(std::string name) : name_(std::move(name)) {}
    bool GetUserNameA(std::string& name) override;

private:
    std::string name_;
};

}  // namespace ostrel::platform
