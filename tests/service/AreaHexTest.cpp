#include "service/virtual/AreaHex.h"

#include <gtest/gtest.h>

namespace tavrik::service {
namespace {

TEST(AreaHex, FormatsSixteenBytesALineWithTheirOffset) {
    std::vector<std::uint8_t> bytes(17);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(0xF0 + i);
    }
    EXPECT_EQ(formatArea("led", std::vector<std::uint8_t>{0x05, 0x0A}), "led 2\n0000: 05 0a\n");
    EXPECT_EQ(formatArea("x", bytes),
              "x 17\n0000: f0 f1 f2 f3 f4 f5 f6 f7 f8 f9 fa fb fc fd fe ff\n0010: 00\n");
}

TEST(AreaHex, ParsesWhatItFormats) {
    for (const std::size_t size : {0u, 1u, 16u, 17u, 512u}) {
        std::vector<std::uint8_t> bytes(size);
        for (std::size_t i = 0; i < size; ++i) {
            bytes[i] = static_cast<std::uint8_t>(i * 7);
        }
        std::string name;
        std::vector<std::uint8_t> parsed;
        ASSERT_TRUE(parseArea(formatArea("page1", bytes), name, parsed)) << size;
        EXPECT_EQ(name, "page1");
        EXPECT_EQ(parsed, bytes);
    }
}

TEST(AreaHex, RefusesTextOfAnotherForm) {
    const char* texts[] = {
        "",
        "info\n0000: 01\n",
        "info 2\n0000: 01\n",
        "info 1\n0000: 01 02\n",
        "info 1\n0001: 01\n",
        "info 1\n0000: 0g\n",
        "info 1\n0000:01\n",
        "info 1\n0000: 01\n0010: 02\n",
        "info 17\n0000: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00\n",
        "info x\n",
    };
    for (const char* text : texts) {
        std::string name;
        std::vector<std::uint8_t> bytes;
        EXPECT_FALSE(parseArea(text, name, bytes)) << text;
    }
}

} // namespace
} // namespace tavrik::service
