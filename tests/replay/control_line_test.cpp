// The control byte lines of scripts and of the arena's outside players: one
// decimal byte a line, blanks around it, nothing else.
#include <gtest/gtest.h>

#include "replay/byte_script.h"

namespace {

TEST(ControlLineTest, OneDecimalByteWithBlanksAround) {
    struct Case {
        const char* line;
        bool good;
        int byte;
    };
    const Case cases[] = {
        {"0", true, 0},     {"255", true, 255},        {"16", true, 16},
        {" 7\t", true, 7},  {"007", true, 7},          {"42\r", true, 42},
        {"", false, 0},     {"   ", false, 0},         {"256", false, 0},
        {"-1", false, 0},   {"+1", false, 0},          {"1 2", false, 0},
        {"0x10", false, 0}, {"1000", false, 0},        {"12a", false, 0},
        {"\r", false, 0},   {"99999999999", false, 0},
    };
    for (const Case& c : cases) {
        uint8_t byte = 0xEE;
        EXPECT_EQ(ParseControlLine(c.line, &byte), c.good) << '"' << c.line << '"';
        if (c.good) {
            EXPECT_EQ(byte, c.byte) << '"' << c.line << '"';
        } else {
            EXPECT_EQ(byte, 0xEE) << '"' << c.line << '"';
        }
    }
}

TEST(ControlLineTest, ScriptsAreReadLineByLine) {
    std::vector<uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(ParseByteScript("16\n16\r\n0\n 32 \n255", bytes, &error)) << error;
    EXPECT_EQ(bytes, (std::vector<uint8_t>{16, 16, 0, 32, 255}));
    ASSERT_TRUE(ParseByteScript("", bytes, &error));
    EXPECT_TRUE(bytes.empty());
    ASSERT_TRUE(ParseByteScript("5\n", bytes, &error));
    EXPECT_EQ(bytes, (std::vector<uint8_t>{5}));
}

TEST(ControlLineTest, ABadLineIsNamedAndNothingIsKept) {
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {{"1\n2\n300\n4\n", "line 3: \"300\""},
                          {"1\n\n2\n", "line 2: \"\""},
                          {"x", "line 1: \"x\""},
                          {"1\n2\n3\n4 4\n", "line 4: \"4 4\""}};
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes{9};
        std::string error;
        EXPECT_FALSE(ParseByteScript(c.text, bytes, &error)) << c.text;
        EXPECT_TRUE(bytes.empty()) << c.text;
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << error;
    }
}

}  // namespace
