#include "app/device_key.h"

#include <gtest/gtest.h>

#include "app/credential_cache.h"

TEST(DeviceKey, WritesUpperCaseHexGroupsAndReadsThemBack) {
    {
        const std::array<std::uint8_t, 8> id{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x6F, 0x70};
        const std::string key = DeviceKey(id);
        EXPECT_EQ(key, "0x00,0x1A,0x2B,0x3C,0x4D,0x5E,0x6F,0x70");
        EXPECT_EQ(key.size(), 39u);
        std::array<std::uint8_t, 8> back{};
        EXPECT_EQ(ReadDeviceKey(key, back), 8);
        EXPECT_EQ(back, id);
    }
    {
        const std::array<std::uint8_t, 8> id{1, 2, 3, 4, 5, 6, 7, 8};
        EXPECT_EQ(DeviceKey(id), "0x01,0x02,0x03,0x04,0x05,0x06,0x07,0x08");
        std::array<std::uint8_t, 8> back{};
        EXPECT_EQ(ReadDeviceKey(DeviceKey(id), back), 8);
        EXPECT_EQ(back, id);
    }
    {
        const std::array<std::uint8_t, 8> id{0xFF, 0xFE, 0x80, 0x7F, 0xAB, 0xCD, 0xEF, 0x10};
        std::array<std::uint8_t, 8> back{};
        ReadDeviceKey(DeviceKey(id), back);
        EXPECT_EQ(back, id);
    }
}

TEST(DeviceKey, ReadingStopsAtTheFirstNumberThatCannotBeRead) {
    std::array<std::uint8_t, 8> back{};
    back.fill(0x55);
    EXPECT_EQ(ReadDeviceKey("0x0a;1b,zz,0x44", back), 2);
    EXPECT_EQ(back, (std::array<std::uint8_t, 8>{0x0A, 0x1B, 0, 0, 0, 0, 0, 0}));

    EXPECT_EQ(ReadDeviceKey("", back), 0);
    EXPECT_EQ(back, (std::array<std::uint8_t, 8>{}));

    // More than eight numbers: only eight bytes are ever written.
    EXPECT_EQ(ReadDeviceKey("1,2,3,4,5,6,7,8,9,10", back), 8);
    EXPECT_EQ(back[7], 8);
}

TEST(CredentialCache, EntriesStartUnauthenticatedAndSurviveRepeatedAdds) {
    CredentialCache cache;
    cache.AddUnauthenticated("a");
    ASSERT_NE(cache.Find("a"), nullptr);
    EXPECT_FALSE(cache.Find("a")->authenticated);
    EXPECT_EQ(cache.Find("b"), nullptr);

    cache.MarkAuthenticated("a", "admin", "secret");
    cache.AddUnauthenticated("a");  // a recorder listed twice keeps its entry
    EXPECT_TRUE(cache.Find("a")->authenticated);
    EXPECT_EQ(cache.Find("a")->password, "secret");

    cache.MarkAuthenticated("missing", "x", "y");
    EXPECT_EQ(cache.Size(), 1u);

    cache.Clear();
    EXPECT_TRUE(cache.Empty());
}
