#include <cstdio>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "platform/services/smb_network_drives.h"
#include "tests/lab/lab_support.h"

// The lab tests of the platform services. Run as
//   ostrel_platform_lab_tests --print-connection TABLE LETTER
// it instead prints what LETTER is connected to in the connection table TABLE
// and exits, so a test can look at the table from a new process.
int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--print-connection") == 0) {
        ostrel::platform::SmbNetworkDrives::Options options;
        options.tableFile = argv[2];
        options.desktop.bookmarksFile.clear();
        options.desktop.useGvfs = false;
        ostrel::platform::SmbNetworkDrives drives(options);
        std::string remote;
        const std::uint32_t result = drives.WNetGetConnectionA(argv[3], remote);
        std::printf("%u %s\n", result, remote.c_str());
        return 0;
    }
    ::testing::InitGoogleTest(&argc, argv);
    // Before any thread exists, so every later thread and child process
    // starts in the lab's client namespace too.
    lab::EnterClientNamespace();
    return RUN_ALL_TESTS();
}
