#include "protocol/identity.h"

#include "protocol/globals.h"
#include "protocol/packet_format.h"
#include "protocol/tlv.h"

void FillIdentityFromReply(std::span<const std::uint8_t> reply) {
    ForEachTlv(reply, [](const TlvView& tlv) {
        switch (tlv.type) {
            case TLV_NAME:
                IdentityName.AssignBytes(tlv.value);
                break;
            case TLV_IDENT_SHORT:
                IdentityShort.AssignBytes(tlv.value);
                break;
            case TLV_IDENT_LONG:
                IdentityLong.AssignBytes(tlv.value);
                break;
            default:
                break;
        }
    });
}
