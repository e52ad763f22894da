#include "app/volume_location.h"

#include <QString>

#include "app/device_fields.h"

namespace {

bool SameIgnoringCase(const std::string& a, std::string_view b) {
    return QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size()))
               .compare(QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size())),
                        Qt::CaseInsensitive) == 0;
}

}  // namespace

std::string VolumeLocation(const DriveLetterTable& table, std::string_view deviceName,
                           std::string_view deviceAddress, std::string_view volumeName,
                           HostMatch hostMatch) {
    const auto sameHost = [hostMatch](const std::string& host, std::string_view device) {
        return hostMatch == HostMatch::Exact ? host == device : SameIgnoringCase(host, device);
    };
    std::string location;
    for (const DriveLetterEntry& entry : table.entries) {
        const std::string host = FixedFieldText(entry.host);
        const std::string share = FixedFieldText(entry.share);
        if (host.empty()) {
            continue;
        }
        const bool hostMatches = sameHost(host, deviceName) || sameHost(host, deviceAddress);
        if (hostMatches && SameIgnoringCase(share, volumeName)) {
            location = FixedFieldText(entry.localName);
        }
    }
    return location;
}
