#include "protocol/volume_list.h"

#include <algorithm>

#include "protocol/tlv.h"

std::vector<VolumeNameText> VolumeList;

void ClearVolumeList() {
    VolumeList.clear();
}

void AppendVolumeNames(std::string_view joined) {
    std::size_t start = 0;
    while (start < joined.size()) {
        const std::size_t end = std::min(joined.find(':', start), joined.size());
        if (end > start) {
            const VolumeNameText name(joined.substr(start, end - start));
            if (std::find(VolumeList.begin(), VolumeList.end(), name) == VolumeList.end()) {
                VolumeList.push_back(name);
            }
        }
        start = end + 1;
    }
}

void FillVolumeListFromReply(std::span<const std::uint8_t> reply) {
    TlvWalker walker(reply);
    TlvView first{};
    if (!walker.Next(first) || first.value.empty()) {
        return;
    }
    AppendVolumeNames(TlvText(first.value));
}
