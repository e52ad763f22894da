#include "embedded_file.h"

#include <QResource>
#include <QString>
#include <cstring>

#include "platform/services/win_codes.h"

namespace ostrel::addons {

int LastWriteFailed = 0;

namespace {

constexpr int kConnectAttempts = 6;
// The connection call gets the path as the design's fixed buffer holds it.
constexpr std::size_t kRemoteNameBuffer = 256;

}  // namespace

std::string_view FindEmbeddedResource(const std::string& typeName, unsigned id) {
    const QString path = QStringLiteral(":/resources/%1/%2")
                             .arg(QString::fromStdString(typeName).toUpper())
                             .arg(id & 0xFFFFu);
    const QResource resource(path);
    if (!resource.isValid() || resource.data() == nullptr)
        return {};
    // The set is compiled in uncompressed, so the data is the item itself.
    if (resource.compressionAlgorithm() != QResource::NoCompression)
        return {};
    return {reinterpret_cast<const char*>(resource.data()),
            static_cast<std::size_t>(resource.size())};
}

bool InstallEmbeddedFile(platform::PlatformServices& services, const std::string& typeName, int id,
                         const std::string& path, const std::string& finalPath) {
    const std::string_view bytes = FindEmbeddedResource(typeName, static_cast<unsigned>(id));

    platform::NetResource resource;
    resource.type = platform::RESOURCETYPE_ANY;
    resource.remoteName = path.substr(0, kRemoteNameBuffer - 1);
    for (int attempt = 0; attempt < kConnectAttempts; ++attempt) {
        if (services.drives->WNetAddConnection2A(resource, "", "", 0) == platform::NO_ERROR)
            break;
    }

    // The item counts only when every byte of it went out: a write that
    // failed, or stopped part-way on a full disk, leaves no installed file,
    // even where a file of that name is left from an earlier run.
    bool written = services.files->WriteFile(path, bytes) == platform::NO_ERROR;

    std::string checked = path;
    if (path.find("C:\\") != std::string::npos) {
        if (written) {
            // The old file must go before the copy, which does not overwrite:
            // a delete that fails leaves it in place, and so does the copy.
            const std::uint32_t removed = services.files->DeleteFileA(finalPath);
            written = removed == platform::NO_ERROR || removed == platform::ERROR_FILE_NOT_FOUND ||
                      removed == platform::ERROR_PATH_NOT_FOUND;
            written =
                written && services.files->CopyFileA(path, finalPath, true) == platform::NO_ERROR;
        }
        services.files->DeleteFileA(path);
        checked = finalPath;
    }

    if (written && services.files->PathFileExistsA(checked)) {
        LastWriteFailed = 0;
        return true;
    }
    LastWriteFailed = 1;
    return false;
}

}  // namespace ostrel::addons
