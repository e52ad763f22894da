#include "app/device_fields.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

std::vector<char> Field(const std::string& text, std::size_t size = 256) {
    std::vector<char> field(size, '\0');
    std::copy_n(text.begin(), std::min(text.size(), size), field.begin());
    return field;
}

}  // namespace

TEST(DeviceFields, AddressesParseAsTheClassicParserDoes) {
    EXPECT_EQ(AddressFieldOctets("192.168.1.20"), (AddressOctets{192, 168, 1, 20}));
    EXPECT_EQ(AddressFieldOctets("255.255.255.0"), (AddressOctets{255, 255, 255, 0}));
    // Unparsable and empty netmasks show as 255.255.255.255.
    EXPECT_EQ(AddressFieldOctets(""), (AddressOctets{255, 255, 255, 255}));
    EXPECT_EQ(AddressFieldOctets("mask"), (AddressOctets{255, 255, 255, 255}));
    EXPECT_EQ(AddressFieldOctets("1.2.3.256"), (AddressOctets{255, 255, 255, 255}));
}

TEST(DeviceFields, GatewayIsBlankForEmptyOrZeroAddress) {
    EXPECT_FALSE(GatewayFieldOctets("").has_value());
    EXPECT_FALSE(GatewayFieldOctets("0.0.0.0").has_value());
    EXPECT_EQ(GatewayFieldOctets("10.0.0.1"), (AddressOctets{10, 0, 0, 1}));
    EXPECT_EQ(GatewayFieldOctets("junk"), (AddressOctets{255, 255, 255, 255}));
}

TEST(DeviceFields, FixedFieldTextStopsAtTheFieldEnd) {
    const char full[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(FixedFieldText(full), "abcd");
    const char shorter[4] = {'a', 0, 'c', 'd'};
    EXPECT_EQ(FixedFieldText(shorter), "a");
}

TEST(DeviceFields, VolumeNamesAreConvertedAndBounded) {
    {
        auto field = Field(
            "Aufnahmen_Gr\xC3\xBC\xC3\x9F"
            "e");
        EXPECT_EQ(DisplayVolumeName(field),
                  "Aufnahmen_Gr\xC3\xBC\xC3\x9F"
                  "e");
    }
    {
        // A name that fills its whole field, without terminator, is cut to 255
        // bytes and never read past the field.
        std::vector<char> field(256, 'v');
        EXPECT_EQ(DisplayVolumeName(field), std::string(255, 'v'));
    }
    {
        // 127 two-byte characters and a third byte: the cut falls inside the
        // 128th character, which is dropped whole.
        std::string name;
        for (int i = 0; i < 128; ++i) {
            name += "\xC3\xA9";
        }
        auto field = Field(name);
        const std::string shown = DisplayVolumeName(field);
        EXPECT_EQ(shown.size(), 254u);
        EXPECT_EQ(shown, name.substr(0, 254));
    }
    {
        // Malformed bytes become the replacement character.
        auto field = Field(
            "a\xFF"
            "b");
        EXPECT_EQ(DisplayVolumeName(field),
                  "a\xEF\xBF\xBD"
                  "b");
    }
}
