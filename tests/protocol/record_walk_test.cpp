// Reading the records of received datagrams: the walk, values, bounded fields.
#include <vector>

#include "protocol/device_table.h"
#include "protocol/fixed_text.h"
#include "protocol/globals.h"
#include "protocol/identity.h"
#include "protocol/tlv.h"
#include "protocol/volume_list.h"
#include "test_support.h"

namespace {

std::vector<std::int16_t> WalkTypes(const Bytes& datagram) {
    std::vector<std::int16_t> types;
    ForEachTlv(datagram, [&](const TlvView& tlv) { types.push_back(tlv.type); });
    return types;
}

TEST(RecordWalkTest, UnknownRecordsAreSkippedByTheirLength) {
    const Bytes reply = ReplyBuilder(OP_DISCOVER)
                            .Text(TLV_NAME, "Front door")
                            .Raw(999, 12, Bytes(8, 0x41))
                            .Text(TLV_IP, "10.1.2.3")
                            .Build();
    EXPECT_EQ(WalkTypes(reply), (std::vector<std::int16_t>{TLV_NAME, 999, TLV_IP}));
    DeviceRecord record;
    FillDeviceRecord(record, reply, 3);
    EXPECT_EQ(record.name, "Front door");
    EXPECT_EQ(record.lan[0].ip, "10.1.2.3");
    EXPECT_EQ(record.interfaceIndex, 3);
}

TEST(RecordWalkTest, BrokenLengthsEndTheWalkInsideTheDatagram) {
    for (std::int16_t length : {0, 3, -4, -32768}) {
        const Bytes reply = ReplyBuilder(OP_DISCOVER)
                                .Text(TLV_NAME, "a")
                                .Raw(TLV_IP, length, Bytes(4, 0x31))
                                .Text(TLV_NETMASK, "255.0.0.0")
                                .Build();
        EXPECT_EQ(WalkTypes(reply), (std::vector<std::int16_t>{TLV_NAME})) << length;
    }
    {
        // A record whose end lies one byte beyond the datagram is not read.
        const Bytes reply =
            ReplyBuilder(OP_DISCOVER).Text(TLV_NAME, "a").Raw(TLV_IP, 9, Bytes(4, 0x31)).Build();
        EXPECT_EQ(WalkTypes(reply), (std::vector<std::int16_t>{TLV_NAME}));
    }
    {
        // Fewer than 4 bytes left: no record header to read.
        Bytes reply = ReplyBuilder(OP_DISCOVER).Text(TLV_NAME, "a").Append({0xF8, 0x01}).Build();
        EXPECT_EQ(WalkTypes(reply), (std::vector<std::int16_t>{TLV_NAME}));
    }
    {
        // A record that ends exactly at the end of the datagram is read.
        const Bytes reply = ReplyBuilder(OP_DISCOVER).Raw(TLV_NAME, 4, {}).Build();
        EXPECT_EQ(WalkTypes(reply), (std::vector<std::int16_t>{TLV_NAME}));
    }
}

TEST(RecordWalkTest, ValuesLongerThanTheirFieldAreCutAndTerminated) {
    const std::string longName(300, 'N');
    const Bytes reply = ReplyBuilder(OP_DISCOVER)
                            .Text(TLV_NAME, longName)
                            .Text(TLV_SHORT_TEXT, "12345678")
                            .Text(TLV_IP, "1234567890123456789")
                            .Text(TLV_DHCP, "1 and more")
                            .Build();
    DeviceRecord record;
    FillDeviceRecord(record, reply, 0);
    EXPECT_EQ(record.name.view(), longName.substr(0, 255));
    EXPECT_EQ(record.shortText, "1234567");
    EXPECT_EQ(record.lan[0].ip, "123456789012345");
    EXPECT_EQ(record.lan[0].dhcp, "1 and m");
    EXPECT_EQ(record.name.buffer().back(), '\0');
    EXPECT_EQ(record.lan[0].ip.buffer().back(), '\0');
}

TEST(RecordWalkTest, NumbersReadLikeAtoi) {
    auto number = [](std::string_view text) {
        Bytes value(text.begin(), text.end());
        return TlvNumber(value);
    };
    EXPECT_EQ(number("1"), 1);
    EXPECT_EQ(number("  \t-12x"), -12);
    EXPECT_EQ(number("+7"), 7);
    EXPECT_EQ(number("abc"), 0);
    EXPECT_EQ(number(""), 0);
    EXPECT_EQ(number("99999999999"), 2147483647);
    EXPECT_EQ(number("-99999999999"), -2147483647 - 1);
    {
        Bytes value = {'4', 0, '2'};  // the text ends at its first zero
        EXPECT_EQ(TlvNumber(value), 4);
    }
    {
        Bytes value = {'4', '2'};  // no terminator inside the value: read to its end only
        EXPECT_EQ(TlvNumber(value), 42);
    }
}

TEST(RecordWalkTest, FixedTextNeverOverflows) {
    FixedText<4> text;
    text = "abcdef";
    EXPECT_EQ(text, "abc");
    EXPECT_EQ(text.buffer()[3], '\0');
    text = "x";
    EXPECT_EQ(text.size(), 1u);
    EXPECT_EQ(text.buffer()[2], '\0');  // the rest of an earlier text is cleared
    text.Clear();
    EXPECT_TRUE(text.empty());
}

TEST(RecordWalkTest, FixedTextTakesANullEmptyViewWithoutUndefinedBehaviour) {
    // A default string_view or span points nowhere; copying from it must not
    // pass a null pointer to memcpy.
    FixedText<8> text("old");
    text = std::string_view();
    EXPECT_TRUE(text.empty());
    text = "old";
    text.AssignBytes(std::span<const std::uint8_t>());
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(text.buffer(), (std::array<char, 8>{}));
}

TEST(RecordWalkTest, IdentityReadCutsEachTextToItsBuffer) {
    ResetProtocolGlobals();
    IdentityLong = "kept when absent";
    const Bytes reply = ReplyBuilder(OP_GET_IDENTITY)
                            .Text(TLV_NAME, std::string(40, 'n'))
                            .Text(777, "ignored")
                            .Text(TLV_IDENT_SHORT, "short")
                            .Build();
    FillIdentityFromReply(reply);
    EXPECT_EQ(IdentityName.view(), std::string(31, 'n'));
    EXPECT_EQ(IdentityShort, "short");
    EXPECT_EQ(IdentityLong, "kept when absent");

    const Bytes longReply =
        ReplyBuilder(OP_GET_IDENTITY).Text(TLV_IDENT_LONG, std::string(600, 'L')).Build();
    FillIdentityFromReply(longReply);
    EXPECT_EQ(IdentityLong.view(), std::string(511, 'L'));
    ResetProtocolGlobals();
}

TEST(RecordWalkTest, VolumeNamesSplitAndCut) {
    ClearVolumeList();
    AppendVolumeNames(std::string(300, 'v') + ":b");
    ASSERT_EQ(VolumeList.size(), 2u);
    EXPECT_EQ(VolumeList[0].view(), std::string(255, 'v'));
    EXPECT_EQ(VolumeList[1], "b");
    ClearVolumeList();
    AppendVolumeNames("vol:Vol:vol");  // comparison is case-sensitive
    ASSERT_EQ(VolumeList.size(), 2u);
    EXPECT_EQ(VolumeList[1], "Vol");
    ClearVolumeList();
}

}  // namespace
