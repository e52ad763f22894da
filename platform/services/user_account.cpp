#include "platform/services/user_account.h"

#include "platform/services/smb_network_drives.h"

namespace ostrel::platform {

bool LoginUserAccount::GetUserNameA(std::string& name) {
    name = CurrentLoginName();
    return !name.empty();
}

bool FakeUserAccount::GetUserNameA(std::string& name) {
    name = name_;
    return !name.empty();
}

}  // namespace ostrel::platform
