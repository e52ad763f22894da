// Figures of the embedded file set. Run by bench/fileset/run.
//
//   ostrel-fileset-bench generate [ROUNDS]  time to make all 47 items
//   ostrel-fileset-bench install [ROUNDS]   time to write the Japanese SJIS
//                                           list (HDD_1) to a lab share
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "addons/embedded_file.h"
#include "platform/services/file_service.h"
#include "platform/services/smb_network_drives.h"
#include "platform/services/win_codes.h"
#include "res/fileset/file_set_items.h"
#include "res/fileset/item_builder.h"
#include "tests/lab/lab_support.h"

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

int Generate(int rounds) {
    for (int round = 0; round < rounds; ++round) {
        const auto start = Clock::now();
        ostrel::fileset::ItemBuilder builder;
        std::size_t bytes = 0;
        for (const auto& item : ostrel::fileset::FileSetItems()) {
            std::string why;
            const auto data = builder.Build(item, why);
            if (!data) {
                std::fprintf(stderr, "item %u: %s\n", item.id, why.c_str());
                return 1;
            }
            bytes += data->size();
        }
        std::printf("generate: round %d: %zu items, %zu bytes in %.3f s\n", round + 1,
                    ostrel::fileset::FileSetItems().size(), bytes, Since(start));
    }
    return 0;
}

int Install(int rounds) {
    lab::EnterClientNamespace();
    const lab::Info* info = lab::CurrentLab();
    if (info == nullptr) {
        std::fprintf(stderr, "no lab: %s\n", lab::LabUnavailableReason().c_str());
        return 1;
    }
    const lab::Recorder* recorder = nullptr;
    for (const auto& candidate : info->recorders) {
        if (candidate.smb && !candidate.volumes.empty() && candidate.role == "plain") {
            recorder = &candidate;
            break;
        }
    }
    if (recorder == nullptr) {
        std::fprintf(stderr, "the lab has no recorder with shares\n");
        return 1;
    }
    using namespace ostrel::platform;
    const std::string home = "/tmp/fileset-bench-" + std::to_string(getpid());
    SmbNetworkDrives::Options driveOptions;
    driveOptions.tableFile = home + "/network-drives";
    driveOptions.desktop.bookmarksFile.clear();
    driveOptions.desktop.useGvfs = false;
    SmbNetworkDrives drives(driveOptions);
    PlatformFiles::Options fileOptions;
    fileOptions.cDriveFolder = home + "/c-drive";
    fileOptions.sessions = drives.sessions();
    fileOptions.drives = &drives;
    PlatformFiles files(fileOptions);
    PlatformServices services;
    services.drives = &drives;
    services.files = &files;

    const std::string share = "\\\\" + recorder->ip + "\\" + recorder->volumes.front();
    NetResource any{RESOURCETYPE_ANY, "", share};
    if (drives.WNetAddConnection2A(any, recorder->password.c_str(), recorder->user.c_str(), 0) !=
        NO_ERROR) {
        std::fprintf(stderr, "cannot log in to %s\n", share.c_str());
        return 1;
    }
    const std::string folder = share + "\\bench-" + std::to_string(getpid());
    files.CreateDirectoryA(folder);
    const auto list = ostrel::fileset::InstallList(8, ostrel::fileset::VolumeLayout::kHdd1);
    std::size_t bytes = 0;
    for (unsigned id : list)
        bytes += ostrel::fileset::FindFileSetItem(id)->size;
    int status = 0;
    for (int round = 0; round < rounds; ++round) {
        const auto start = Clock::now();
        for (unsigned id : list) {
            const auto* item = ostrel::fileset::FindFileSetItem(id);
            if (!ostrel::addons::InstallEmbeddedFile(services, "Codepage", static_cast<int>(id),
                                                     folder + "\\" + item->fileName, "")) {
                std::fprintf(stderr, "writing %s failed\n", item->fileName);
                status = 1;
            }
        }
        const double seconds = Since(start);
        std::printf(
            "install: round %d: Japanese SJIS on HDD_1, %zu items, %zu bytes in %.3f s "
            "(%.1f MB/s)\n",
            round + 1, list.size(), bytes, seconds, bytes / seconds / 1e6);
    }
    for (unsigned id : list)
        files.DeleteFileA(folder + "\\" + ostrel::fileset::FindFileSetItem(id)->fileName);
    files.RemoveDirectoryA(folder);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    if (mode == "generate")
        return Generate(rounds);
    if (mode == "install")
        return Install(rounds);
    std::fprintf(stderr, "usage: %s generate|install [ROUNDS]\n", argv[0]);
    return 2;
}
