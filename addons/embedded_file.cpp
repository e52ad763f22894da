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

    services.files->WriteFile(path, bytes);

    std::string checked = path;
    if (path.find("C:\\") != std::string::npos) {
        services.files->DeleteFileA(finalPath);
        services.files->CopyFileA(path, finalPath, true);
        services.files->DeleteFileA(path);
        checked = finalPath;
    }

    if (services.files->PathFileExistsA(checked)) {
        LastWriteFailed = 0;
        return true;
    }
    LastWriteFailed = 1;
    return false;
}

}  // namespace ostrel::addons
