// The text form of a device id: written once, read exactly (a selector) or
// leniently (a key this program wrote).
#include "protocol/device_key.h"

#include <optional>

#include <gtest/gtest.h>

namespace {

constexpr DeviceId kId = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x6F, 0x70};

TEST(DeviceKey, WritesUpperCaseHexGroupsThatBothReadingsReadBack) {
    EXPECT_EQ(DeviceKey(kId), "0x00,0x1A,0x2B,0x3C,0x4D,0x5E,0x6F,0x70");
    EXPECT_EQ(DeviceKey(kId).size(), 39u);
    EXPECT_EQ(DeviceKey(DeviceId{1, 2, 3, 4, 5, 6, 7, 8}),
              "0x01,0x02,0x03,0x04,0x05,0x06,0x07,0x08");
    for (const DeviceId& id : {kId, DeviceId{1, 2, 3, 4, 5, 6, 7, 8},
                               DeviceId{0xFF, 0xFE, 0x80, 0x7F, 0xAB, 0xCD, 0xEF, 0x10}}) {
        for (const auto strictness : {DeviceKeyStrictness::Exact, DeviceKeyStrictness::Lenient}) {
            DeviceId back{};
            EXPECT_EQ(ReadDeviceKey(DeviceKey(id), strictness, back), 8) << DeviceKey(id);
            EXPECT_EQ(back, id);
        }
    }
}

TEST(DeviceKey, ExactReadingTakesOnlyAWholeKey) {
    const auto exact = [](std::string_view text) {
        DeviceId id{};
        id.fill(0x55);
        const int count = ReadDeviceKey(text, DeviceKeyStrictness::Exact, id);
        EXPECT_TRUE(count == 8 || id == DeviceId{}) << text << ": a refused key leaves zeros";
        return count == 8 ? std::optional<DeviceId>(id) : std::nullopt;
    };
    EXPECT_EQ(exact("00:1a:2b:3c:4d:5e:6f:70"), kId);
    EXPECT_EQ(exact("0x0,0x1a,0x2b,0x3c,0x4d,0x5e,0x6f,0x70"), kId);
    EXPECT_EQ(exact("0X00:0x1A,2b:3C,4d:5E,6f:70"), kId);       // either separator, either prefix
    EXPECT_FALSE(exact("0x00,0x1A,0x2B,0x3C,0x4D,0x5E,0x6F"));  // seven bytes
    EXPECT_FALSE(exact("0x00,0x1A,0x2B,0x3C,0x4D,0x5E,0x6F,0x70,"));      // trailing separator
    EXPECT_FALSE(exact("0x00,0x1A,0x2B,0x3C,0x4D,0x5E,0x6F,0x70,0x01"));  // nine
    EXPECT_FALSE(exact("0x100,0x1A,0x2B,0x3C,0x4D,0x5E,0x6F,0x70"));      // not a byte
    EXPECT_FALSE(exact("0x,0x1A,0x2B,0x3C,0x4D,0x5E,0x6F,0x70"));         // a prefix alone
    EXPECT_FALSE(exact("0x00;0x1A,0x2B,0x3C,0x4D,0x5E,0x6F,0x70"));       // another separator
    EXPECT_FALSE(exact(" 0x00,0x1A,0x2B,0x3C,0x4D,0x5E,0x6F,0x70"));
    EXPECT_FALSE(exact("10.0.0.1"));
    EXPECT_FALSE(exact("NVR-1"));
    EXPECT_FALSE(exact(""));
}

TEST(DeviceKey, LenientReadingStopsAtTheFirstNumberThatCannotBeRead) {
    DeviceId back{};
    back.fill(0x55);
    EXPECT_EQ(ReadDeviceKey("0x0a;1b,zz,0x44", DeviceKeyStrictness::Lenient, back), 2);
    EXPECT_EQ(back, (DeviceId{0x0A, 0x1B, 0, 0, 0, 0, 0, 0}));

    EXPECT_EQ(ReadDeviceKey("", DeviceKeyStrictness::Lenient, back), 0);
    EXPECT_EQ(back, DeviceId{});

    // More than eight numbers: only eight bytes are ever written.
    EXPECT_EQ(ReadDeviceKey("1,2,3,4,5,6,7,8,9,10", DeviceKeyStrictness::Lenient, back), 8);
    EXPECT_EQ(back[7], 8);

    // A long run of digits keeps its low byte; "0x" before no digit is the number 0.
    EXPECT_EQ(ReadDeviceKey("123456789abc,0xz", DeviceKeyStrictness::Lenient, back), 2);
    EXPECT_EQ(back[0], 0xBC);
    EXPECT_EQ(back[1], 0x00);
}

}  // namespace
