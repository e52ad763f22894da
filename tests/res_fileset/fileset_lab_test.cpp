#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

#include "addons/embedded_file.h"
#include "platform/services/file_service.h"
#include "platform/services/smb_network_drives.h"
#include "platform/services/win_codes.h"
#include "res/fileset/file_set_items.h"
#include "tests/lab/lab_support.h"

// The file set written onto a lab recorder's share through smbd, and read
// back with Samba's own client.
using namespace ostrel::platform;

namespace {

std::string ReadLocal(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

}  // namespace

TEST(FileSetLab, WesternEuropeanItemsLandOnTheShareByteForByte) {
    if (lab::CurrentLab() == nullptr)
        GTEST_SKIP() << "network lab unavailable: " << lab::LabUnavailableReason();
    const lab::Recorder* recorder = nullptr;
    for (const auto& candidate : lab::CurrentLab()->recorders) {
        if (candidate.smb && !candidate.volumes.empty() && candidate.role == "plain") {
            recorder = &candidate;
            break;
        }
    }
    if (recorder == nullptr)
        GTEST_SKIP() << "the lab has no recorder with SMB shares";

    const std::filesystem::path home =
        std::filesystem::temp_directory_path() / ("fileset-lab-" + std::to_string(getpid()));
    std::filesystem::create_directories(home);
    SmbNetworkDrives::Options driveOptions;
    driveOptions.tableFile = (home / "network-drives").string();
    driveOptions.desktop.bookmarksFile = (home / "bookmarks").string();
    driveOptions.desktop.useGvfs = false;
    SmbNetworkDrives drives(driveOptions);
    PlatformFiles::Options fileOptions;
    fileOptions.cDriveFolder = (home / "c-drive").string();
    fileOptions.sessions = drives.sessions();
    fileOptions.drives = &drives;
    PlatformFiles files(fileOptions);
    PlatformServices services;
    services.drives = &drives;
    services.files = &files;

    // The administrator's login to the share comes first, as the device
    // pick makes it; the installer then connects with the default credentials.
    const std::string share = "\\\\" + recorder->ip + "\\" + recorder->volumes.front();
    NetResource any{RESOURCETYPE_ANY, "", share};
    ASSERT_EQ(
        drives.WNetAddConnection2A(any, recorder->password.c_str(), recorder->user.c_str(), 0),
        NO_ERROR);
    const std::string folderName = "fileset-" + std::to_string(getpid());
    const std::string folder = share + "\\" + folderName;
    ASSERT_EQ(files.CreateDirectoryA(folder), NO_ERROR);

    std::ofstream(home / "auth") << "username = " << recorder->user
                                 << "\npassword = " << recorder->password << "\n";
    const auto list = ostrel::fileset::InstallList(2, ostrel::fileset::VolumeLayout::kHdd1);
    ASSERT_EQ(list.size(), 4u);
    for (unsigned id : list) {
        const auto* item = ostrel::fileset::FindFileSetItem(id);
        ASSERT_NE(item, nullptr);
        SCOPED_TRACE(item->fileName);
        EXPECT_TRUE(ostrel::addons::InstallEmbeddedFile(services, "Codepage", static_cast<int>(id),
                                                        folder + "\\" + item->fileName, ""));
        EXPECT_EQ(ostrel::addons::LastWriteFailed, 0);

        const std::string got = (home / item->fileName).string();
        const auto result =
            lab::RunProcess({"smbclient", "//" + recorder->ip + "/" + recorder->volumes.front(),
                             "-A", (home / "auth").string(), "-c",
                             "get " + folderName + "/" + item->fileName + " " + got});
        ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
        const std::string exported =
            ReadLocal(std::string(OSTREL_FILESET_DIR) + "/" + ostrel::fileset::ExportName(*item));
        EXPECT_EQ(exported.size(), item->size);
        EXPECT_TRUE(ReadLocal(got) == exported) << "differs from the exported item";
        EXPECT_EQ(files.DeleteFileA(folder + "\\" + item->fileName), NO_ERROR);
    }
    EXPECT_EQ(files.RemoveDirectoryA(folder), NO_ERROR);

    // A share the recorder does not have: the write fails and says so.
    EXPECT_FALSE(ostrel::addons::InstallEmbeddedFile(
        services, "Codepage", 143, "\\\\" + recorder->ip + "\\NoSuchShare\\codepage.850", ""));
    EXPECT_EQ(ostrel::addons::LastWriteFailed, 1);
    std::filesystem::remove_all(home);
}
