#include "app/login_policy.h"

#include <gtest/gtest.h>

#include "protocol/device_key.h"
#include "protocol/device_table.h"
#include "protocol/discovery.h"
#include "protocol/globals.h"
#include "protocol/network.h"
#include "tests/app/virtual_lab.h"

namespace {

// Answers the login dialog with fixed texts and counts what was shown.
class ScriptedLoginUi : public LoginUi {
public:
    bool ok = true;
    std::string user = "admin";
    std::string password = "pw";
    int dialogs = 0;
    int errors = 0;

    bool RunLoginDialog() override {
        ++dialogs;
        if (ok) {
            LoginUser = user;
            LoginPassword = password;
        }
        return ok;
    }
    void ShowWrongAdminPassword() override { ++errors; }
};

class LoginPolicyTest : public ::testing::Test {
protected:
    void SetUp() override {
        peer = &lab.Add(MakeRecorder(1, "Front door", "pw"));
        InitNetwork();
        DiscoverDevices();
        ASSERT_EQ(DeviceTable.size(), 1u);
        key = DeviceKey(DeviceTable.front().deviceId);
        cache.AddUnauthenticated(key);
        peer->ClearHeard();
        LoginNameFixed = 0;
    }
    void TearDown() override {
        ClearDeviceTable();
        ShutdownNetwork();
    }

    VirtualLab lab;
    sim::VirtualRecorderPeer* peer = nullptr;
    CredentialCache cache;
    std::string key;
    ScriptedLoginUi ui;
};

}  // namespace

TEST_F(LoginPolicyTest, FirstPickAsksOnceAndLaterPicksUseTheCache) {
    CurrentTargetId = {};
    ASSERT_TRUE(CachedLogin(cache, key, ui));
    EXPECT_EQ(ui.dialogs, 1);
    EXPECT_EQ(VirtualLab::CountHeard(*peer, 102), 1);
    EXPECT_EQ(CurrentTargetId, DeviceTable.front().deviceId);
    EXPECT_TRUE(cache.Find(key)->authenticated);
    EXPECT_EQ(cache.Find(key)->password, "pw");

    LoginUser = "other";
    LoginPassword = "other";
    ASSERT_TRUE(CachedLogin(cache, key, ui));
    EXPECT_EQ(ui.dialogs, 1);
    EXPECT_EQ(VirtualLab::CountHeard(*peer, 102), 1);
    EXPECT_EQ(LoginUser, "admin");
    EXPECT_EQ(LoginPassword, "pw");
}

TEST_F(LoginPolicyTest, WrongPasswordTriesTwiceThenShowsTheError) {
    ui.password = "nope";
    EXPECT_FALSE(CachedLogin(cache, key, ui));
    EXPECT_EQ(VirtualLab::CountHeard(*peer, 102), 2);
    EXPECT_EQ(ui.errors, 1);
    EXPECT_FALSE(cache.Find(key)->authenticated);

    // The entry stays unauthenticated: the next pick asks again.
    ui.password = "pw";
    EXPECT_TRUE(CachedLogin(cache, key, ui));
    EXPECT_EQ(ui.dialogs, 2);
}

TEST_F(LoginPolicyTest, CancelAndUnknownKeysFailSilently) {
    ui.ok = false;
    EXPECT_FALSE(CachedLogin(cache, key, ui));
    EXPECT_EQ(ui.errors, 0);
    EXPECT_EQ(VirtualLab::CountHeard(*peer, 102), 0);

    ui.ok = true;
    EXPECT_FALSE(CachedLogin(cache, "0x01,0x02", ui));
    EXPECT_EQ(ui.dialogs, 1);  // only the cancelled one
}

TEST_F(LoginPolicyTest, DefaultCredentialsFirstSkipsTheDialogForAnEmptyPassword) {
    CurrentTargetId = DeviceTable.front().deviceId;
    peer->recorder().mutableState().adminPassword = "";
    EXPECT_TRUE(DefaultCredentialsFirst(ui));
    EXPECT_EQ(ui.dialogs, 0);
    EXPECT_EQ(VirtualLab::CountHeard(*peer, 102), 1);
    EXPECT_TRUE(cache.Find(key) != nullptr && !cache.Find(key)->authenticated);

    peer->recorder().mutableState().adminPassword = "pw";
    EXPECT_TRUE(DefaultCredentialsFirst(ui));
    EXPECT_EQ(ui.dialogs, 1);

    ui.ok = false;  // after Cancel the second try still uses "admin" and ""
    EXPECT_FALSE(DefaultCredentialsFirst(ui));
    EXPECT_EQ(ui.errors, 1);
    EXPECT_EQ(LoginUser, "admin");
    EXPECT_EQ(LoginPassword, "");
}
