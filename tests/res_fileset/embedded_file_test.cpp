#include "addons/embedded_file.h"

#include <string>

#include <gtest/gtest.h>

#include "platform/services/fake_network_drives.h"
#include "platform/services/file_service.h"
#include "platform/services/win_codes.h"

// InstallEmbeddedFile on in-memory shares and C:.
using namespace ostrel::platform;
using ostrel::addons::FindEmbeddedResource;
using ostrel::addons::InstallEmbeddedFile;
using ostrel::addons::LastWriteFailed;

namespace {

struct Services {
    FakeNetworkDrives drives;
    FakeFiles files;
    PlatformServices all;
    Services() {
        all.drives = &drives;
        all.files = &files;
    }
};

const std::string kTarget = "\\\\10.0.0.2\\HDD_a\\.codepages\\";

}  // namespace

TEST(InstallEmbeddedFile, WritesTheItemAfterUpToSixDefaultConnections) {
    {
        Services s;
        LastWriteFailed = 1;
        // No share answers: six attempts, then the write goes ahead anyway.
        EXPECT_TRUE(InstallEmbeddedFile(s.all, "Codepage", 143, kTarget + "codepage.850", ""));
        EXPECT_EQ(LastWriteFailed, 0);
        ASSERT_EQ(s.drives.addCalls.size(), 6u);
        for (const auto& call : s.drives.addCalls) {
            EXPECT_EQ(call.remoteName, kTarget + "codepage.850");
            EXPECT_EQ(call.localName, "");
            EXPECT_EQ(call.userName.value_or("?"), "");
            EXPECT_EQ(call.password.value_or("?"), "");
            EXPECT_EQ(call.flags, 0u);
        }
        std::string written;
        ASSERT_EQ(s.files.ReadFile(kTarget + "codepage.850", written), NO_ERROR);
        EXPECT_EQ(written, FindEmbeddedResource("CODEPAGE", 143));
        EXPECT_EQ(written.size(), 132u);
    }
    {
        Services s;
        // Stops at the first connection that succeeds.
        s.drives.scriptedAddResults = {ERROR_BAD_NETPATH, ERROR_LOGON_FAILURE, NO_ERROR};
        EXPECT_TRUE(InstallEmbeddedFile(s.all, "Codepage", 156, kTarget + "unicode_map.950", ""));
        EXPECT_EQ(s.drives.addCalls.size(), 3u);
        EXPECT_EQ(s.files.files.at(FakeFiles::Normalise(kTarget + "unicode_map.950")).size(),
                  262174u);
    }
    {
        Services s;
        // The connection gets the path cut to its 255-character buffer.
        const std::string longPath = kTarget + std::string(300, 'x');
        InstallEmbeddedFile(s.all, "Codepage", 143, longPath, "");
        ASSERT_FALSE(s.drives.addCalls.empty());
        EXPECT_EQ(s.drives.addCalls.front().remoteName, longPath.substr(0, 255));
    }
}

TEST(InstallEmbeddedFile, AMissingItemStillWritesAnEmptyFile) {
    Services s;
    s.files.files[FakeFiles::Normalise(kTarget + "bt")] = "old content";
    EXPECT_TRUE(InstallEmbeddedFile(s.all, "Codepage", 144, kTarget + "nothing", ""));
    EXPECT_EQ(s.files.files.at(FakeFiles::Normalise(kTarget + "nothing")), "");
    // The add-on's type "BT" is not in the set: an existing file is truncated.
    EXPECT_TRUE(InstallEmbeddedFile(s.all, "BT", 215, kTarget + "bt", ""));
    EXPECT_EQ(s.files.files.at(FakeFiles::Normalise(kTarget + "bt")), "");
    EXPECT_EQ(LastWriteFailed, 0);
}

TEST(InstallEmbeddedFile, AStagedLocalItemEndsAtItsFinalPath) {
    Services s;
    ASSERT_EQ(s.files.CreateDirectoryA("C:\\bt"), NO_ERROR);
    const std::string final = "\\\\10.0.0.2\\HDD_1\\Nas_Prog/BT\\codepage.850";
    s.files.files[FakeFiles::Normalise(final)] = "from an earlier run";
    EXPECT_TRUE(InstallEmbeddedFile(s.all, "codepage", 143, "C:\\bt\\codepage.850", final));
    EXPECT_EQ(LastWriteFailed, 0);
    EXPECT_FALSE(s.files.PathFileExistsA("C:\\bt\\codepage.850")) << "the local copy is removed";
    std::string moved;
    ASSERT_EQ(s.files.ReadFile(final, moved), NO_ERROR);
    EXPECT_EQ(moved, FindEmbeddedResource("CODEPAGE", 143)) << "the old final file was replaced";

    // A staging folder that does not exist: nothing reaches the final path.
    Services t;
    EXPECT_FALSE(InstallEmbeddedFile(t.all, "codepage", 143, "C:\\missing\\x", final));
    EXPECT_EQ(LastWriteFailed, 1);
    EXPECT_FALSE(t.files.PathFileExistsA(final));
}

TEST(InstallEmbeddedFile, AWriteThatFailsOrStopsPartWayIsNotInstalled) {
    const std::string path = kTarget + "codepage.850";
    const std::string key = FakeFiles::Normalise(path);
    {
        Services s;
        s.files.failingPrefixes.insert(FakeFiles::Normalise("\\\\10.0.0.2\\HDD_a"));
        // An unwritable share.
        EXPECT_FALSE(InstallEmbeddedFile(s.all, "Codepage", 143, path, ""));
        EXPECT_EQ(LastWriteFailed, 1);
        EXPECT_FALSE(s.files.PathFileExistsA(path));
        // A file left by an earlier run does not make this failed write a success.
        s.files.files[key] = "stale";
        LastWriteFailed = 0;
        EXPECT_FALSE(InstallEmbeddedFile(s.all, "Codepage", 143, path, ""));
        EXPECT_EQ(LastWriteFailed, 1);
        EXPECT_EQ(s.files.files.at(key), "stale");
    }
    {
        // The disk fills part-way through the item, over a complete older copy.
        Services s;
        s.files.files[key] = std::string(FindEmbeddedResource("CODEPAGE", 143));
        s.files.spaceLeft = 100;
        EXPECT_FALSE(InstallEmbeddedFile(s.all, "Codepage", 143, path, ""));
        EXPECT_EQ(LastWriteFailed, 1);
        EXPECT_EQ(s.files.files.at(key).size(), 100u) << "the cut file is there, yet not installed";
    }
}

TEST(InstallEmbeddedFile, AStagedItemThatCannotReplaceTheOldFileIsNotInstalled) {
    const std::string final = "\\\\10.0.0.2\\HDD_1\\Nas_Prog/BT\\bt";
    const std::string finalKey = FakeFiles::Normalise(final);
    {
        // The old file cannot be deleted, so the copy that does not overwrite
        // cannot land either.
        Services s;
        ASSERT_EQ(s.files.CreateDirectoryA("C:\\bt"), NO_ERROR);
        s.files.files[finalKey] = "from an earlier run";
        s.files.undeletable.insert(finalKey);
        EXPECT_FALSE(InstallEmbeddedFile(s.all, "codepage", 143, "C:\\bt\\bt", final));
        EXPECT_EQ(LastWriteFailed, 1);
        EXPECT_EQ(s.files.files.at(finalKey), "from an earlier run");
        EXPECT_FALSE(s.files.PathFileExistsA("C:\\bt\\bt")) << "the local copy is removed";
    }
    {
        // The local write fails part-way: the recorder's file is not touched.
        Services s;
        ASSERT_EQ(s.files.CreateDirectoryA("C:\\bt"), NO_ERROR);
        s.files.files[finalKey] = "from an earlier run";
        s.files.spaceLeft = 10;
        EXPECT_FALSE(InstallEmbeddedFile(s.all, "codepage", 143, "C:\\bt\\bt", final));
        EXPECT_EQ(LastWriteFailed, 1);
        EXPECT_EQ(s.files.files.at(finalKey), "from an earlier run");
    }
    {
        // The copy to the recorder fails (its share is full).
        Services s;
        ASSERT_EQ(s.files.CreateDirectoryA("C:\\bt"), NO_ERROR);
        s.files.spaceLeft = 132 + 50;
        EXPECT_FALSE(InstallEmbeddedFile(s.all, "codepage", 143, "C:\\bt\\bt", final));
        EXPECT_EQ(LastWriteFailed, 1);
        EXPECT_EQ(s.files.files.at(finalKey).size(), 50u);
    }
}
