// Byte layouts of the requests the utility sends and the reply check.
#include "protocol/packet_format.h"

#include <array>
#include <string>

#include "protocol/base64.h"
#include "protocol/credential_block.h"
#include "protocol/globals.h"
#include "protocol/reply_check.h"
#include "protocol/session_id.h"
#include "protocol/tlv.h"
#include "test_support.h"

namespace {

class PacketFormatTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProtocolGlobals();
        SessionId = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88};
        CurrentTargetId = {0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8};
    }
    void TearDown() override { ResetProtocolGlobals(); }

    std::array<std::uint8_t, kPacketBufferSize> buffer{};
};

std::string Base64(std::string_view text) {
    std::array<char, 256> out{};
    Base64Encode(text, out);
    return out.data();
}

TEST_F(PacketFormatTest, DiscoverRequestIsTheBareHeader) {
    ASSERT_EQ(BuildHeader(buffer, OP_DISCOVER), 44u);
    Bytes expected = {0xAA, 0x55, 0x65, 0x00, 0x00, 0x00, 0x00, 0x00,
                      0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88};
    expected.resize(44, 0);  // device id, reserved bytes and payload length all zero
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 44), expected);
}

TEST_F(PacketFormatTest, LoginRequestCarriesTargetAndCredentialBlock) {
    LoginUser = "admin";
    LoginPassword = "secret";
    std::size_t position = BuildHeader(buffer, OP_LOGIN);
    WriteCredentialBlock(buffer, position, LoginUser.view(), LoginPassword.view());
    AddPayloadLength(buffer, CredentialBlock::kSize);
    position += CredentialBlock::kSize;

    EXPECT_EQ(position, 172u);
    EXPECT_EQ(buffer[2], 0x66);
    EXPECT_EQ(buffer[3], 0x00);
    EXPECT_EQ(Bytes(buffer.begin() + 16, buffer.begin() + 24),
              Bytes(CurrentTargetId.begin(), CurrentTargetId.end()));
    EXPECT_EQ(buffer[42], 0x80);
    EXPECT_EQ(buffer[43], 0x00);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&buffer[44])), "YWRtaW4=");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&buffer[108])), "c2VjcmV0");
    // Status, reserved bytes 6-7 and 24-41 untouched.
    for (std::size_t i : {4u, 5u, 6u, 7u}) {
        EXPECT_EQ(buffer[i], 0) << i;
    }
    for (std::size_t i = 24; i < 42; ++i) {
        EXPECT_EQ(buffer[i], 0) << i;
    }
}

TEST_F(PacketFormatTest, DhcpRequestForPortZero) {
    std::size_t position = BuildHeader(buffer, OP_SET_LAN_DHCP);
    WriteCredentialBlock(buffer, position, "admin", "pw");
    AddPayloadLength(buffer, CredentialBlock::kSize);
    position += CredentialBlock::kSize;
    AppendTlvToRequest(buffer, position, TLV_DHCP, "1");
    AppendTlvToRequest(buffer, position, TLV_LAN_INDEX, "0");

    EXPECT_EQ(position, 188u);
    EXPECT_EQ(buffer[2], 0x68);
    EXPECT_EQ(buffer[42], 0x90);
    EXPECT_EQ(buffer[43], 0x00);
    EXPECT_EQ(Bytes(buffer.begin() + 172, buffer.begin() + 188),
              (Bytes{0xF9, 0x01, 0x08, 0x00, 0x31, 0x00, 0x00, 0x00, 0x11, 0x02, 0x08, 0x00, 0x30,
                     0x00, 0x00, 0x00}));
}

TEST_F(PacketFormatTest, CredentialBlockCutsAt48AndLeavesEmptyHalvesZero) {
    const std::string user(60, 'u');
    WriteCredentialBlock(buffer, 44, user, "");
    const std::string expected = Base64(std::string(48, 'u'));
    ASSERT_EQ(expected.size(), 64u);
    // 64 characters fill the first half; no zero byte follows inside it.
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&buffer[44]), 64), expected);
    for (std::size_t i = 44 + 64; i < 44 + 128; ++i) {
        EXPECT_EQ(buffer[i], 0) << "password half byte " << i;
    }
    {
        std::array<std::uint8_t, kPacketBufferSize> other{};
        WriteCredentialBlock(other, 44, std::string(47, 'u'), "");
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(&other[44])),
                  Base64(std::string(47, 'u')));
    }
    {
        // A block that would not fit the buffer is not written at all.
        std::array<std::uint8_t, 100> small{};
        WriteCredentialBlock(small, 44, "admin", "pw");
        EXPECT_EQ(small, (std::array<std::uint8_t, 100>{}));
    }
}

TEST_F(PacketFormatTest, Base64Rfc4648Vectors) {
    EXPECT_EQ(Base64(""), "");
    EXPECT_EQ(Base64("f"), "Zg==");
    EXPECT_EQ(Base64("fo"), "Zm8=");
    EXPECT_EQ(Base64("foo"), "Zm9v");
    EXPECT_EQ(Base64("foob"), "Zm9vYg==");
    EXPECT_EQ(Base64("fooba"), "Zm9vYmE=");
    EXPECT_EQ(Base64("foobar"), "Zm9vYmFy");
    EXPECT_EQ(Base64("abc"), "YWJj");
    EXPECT_EQ(Base64("\xFF"), "/w==");
    EXPECT_EQ(Base64("\xFB\xEF\xBE"), "++++");
    {
        // Too small an output: nothing written.
        std::array<char, 4> out{'x', 'x', 'x', 'x'};
        EXPECT_EQ(Base64Encode("abc", out), 0u);
        EXPECT_EQ(out[0], 'x');
    }
}

TEST_F(PacketFormatTest, RecordPadding) {
    struct Case {
        std::string text;
        std::size_t size;
    };
    for (const Case& c :
         {Case{"", 4}, Case{"1", 8}, Case{"abc", 8}, Case{"abcd", 12}, Case{"192.168.0.10", 20},
          Case{std::string(15, 'x'), 20}, Case{std::string(16, 'x'), 24}}) {
        std::array<std::uint8_t, 64> record;
        record.fill(0xEE);
        ASSERT_EQ(AppendTlv(record, 0, TLV_IP, c.text), c.size) << c.text;
        EXPECT_EQ(ReadU16(record, 2), c.size);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(&record[4]), c.text.size()), c.text);
        for (std::size_t i = 4 + c.text.size(); i < c.size; ++i) {
            EXPECT_EQ(record[i], 0) << c.text << " byte " << i;
        }
        EXPECT_EQ(record[c.size], 0xEE) << "written beyond the record";
    }
    {
        std::array<std::uint8_t, 10> small{};
        EXPECT_EQ(AppendTlv(small, 4, TLV_IP, "1234"), 0u);
        EXPECT_EQ(small, (std::array<std::uint8_t, 10>{}));
    }
}

TEST_F(PacketFormatTest, ReplyCheckFailsAtEachStep) {
    auto valid = [] { return ReplyBuilder(OP_LOGIN, 0).Text(TLV_NAME, "x"); };
    EXPECT_EQ(CheckReplyVerdict(valid().Build(), OP_LOGIN), ReplyVerdict::Valid);

    Bytes tooShort = valid().Build();
    tooShort.resize(43);
    EXPECT_EQ(CheckReplyVerdict(tooShort, OP_LOGIN), ReplyVerdict::TooShort);
    EXPECT_EQ(CheckReplyVerdict(valid().Magic(REQUEST_MAGIC).Build(), OP_LOGIN),
              ReplyVerdict::WrongMagic);
    EXPECT_EQ(CheckReplyVerdict(valid().Build(), OP_GET_VOLUMES), ReplyVerdict::WrongOpcode);
    SessionIdBytes other = SessionId;
    other[7] ^= 1;
    EXPECT_EQ(CheckReplyVerdict(valid().Session(other).Build(), OP_LOGIN),
              ReplyVerdict::WrongSession);
    // One byte more or one byte less than the length field says.
    Bytes longer = valid().Build();
    longer.push_back(0);
    Bytes shorter = valid().Build();
    shorter.pop_back();
    for (const Bytes& wrongLength : {longer, shorter}) {
        SCOPED_TRACE(wrongLength.size());
        EXPECT_EQ(CheckReplyVerdict(wrongLength, OP_LOGIN), ReplyVerdict::LengthMismatch);
        EXPECT_FALSE(CheckReply(wrongLength, OP_LOGIN));
    }

    // Whatever the status, bytes 6-7 and 16-41 hold, the reply stays valid.
    Bytes noisy = ReplyBuilder(OP_LOGIN, 0xBEEF).Build();
    for (std::size_t i = 6; i < 8; ++i)
        noisy[i] = 0xFF;
    for (std::size_t i = 16; i < 42; ++i)
        noisy[i] = static_cast<std::uint8_t>(i);
    EXPECT_TRUE(CheckReply(noisy, OP_LOGIN));
    // A header alone with payload length 0 is exactly 44 bytes.
    EXPECT_TRUE(CheckReply(ReplyBuilder(OP_DISCOVER).Build(), OP_DISCOVER));
}

TEST(SessionIdTest, DrawnFromSeedAndDiffersBetweenDraws) {
    EXPECT_EQ(SessionIdFromSeed(42), SessionIdFromSeed(42));
    EXPECT_NE(SessionIdFromSeed(42), SessionIdFromSeed(43));
    // Two draws in the same second (as two instances started together) differ,
    // because per-process entropy is mixed into the clock seed.
    DrawSessionId();
    const SessionIdBytes first = SessionId;
    DrawSessionId();
    EXPECT_NE(first, SessionId);
}

}  // namespace
