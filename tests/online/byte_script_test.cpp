// The headless player's script: one decimal byte a line, and every other line
// refused by its number.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "online/byte_script.h"

namespace {

TEST(ByteScript, ReadsOneByteALineWithBlanksAndWindowsLineEnds) {
    std::vector<uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(ParseByteScript("0\n16\r\n 255 \n\t7", bytes, &error)) << error;
    EXPECT_EQ(bytes, (std::vector<uint8_t>{0, 16, 255, 7}));
    ASSERT_TRUE(ParseByteScript("", bytes, &error));
    EXPECT_TRUE(bytes.empty());
}

TEST(ByteScript, RefusesTheFirstBadLineByItsNumberAndKeepsNothing) {
    struct Case {
        const char* text;
        const char* line;
    };
    const Case cases[] = {
        {"1\n2\n256\n", "line 3:"}, {"1\n\n2\n", "line 2:"}, {"-1\n", "line 1:"},
        {"0x10\n", "line 1:"},      {"1 2\n", "line 1:"},    {"12a\n", "line 1:"},
        {"1\n0255\n", "line 2:"},   {"+3\n", "line 1:"},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes;
        std::string error;
        EXPECT_FALSE(ParseByteScript(c.text, bytes, &error)) << c.text;
        EXPECT_EQ(error.rfind(c.line, 0), 0u) << c.text << " -> " << error;
        EXPECT_TRUE(bytes.empty()) << c.text;
    }
}

TEST(ByteScript, ReadsAFileOrSaysItCannot) {
    const std::string path = ::testing::TempDir() + "byte_script_test.txt";
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("3\n4\n", file);
    std::fclose(file);
    std::vector<uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(ReadByteScript(path, bytes, &error)) << error;
    EXPECT_EQ(bytes, (std::vector<uint8_t>{3, 4}));
    std::remove(path.c_str());
    EXPECT_FALSE(ReadByteScript(path, bytes, &error));
    EXPECT_EQ(error, "cannot read " + path);
}

}  // namespace
