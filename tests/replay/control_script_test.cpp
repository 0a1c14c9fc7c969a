// The control script parser: the forms make accepts, and the line number and
// reason for each form it refuses.
#include <gtest/gtest.h>

#include <sstream>

#include "tools/replay/control_script.h"

namespace {

struct Parsed {
    bool good = false;
    std::vector<FrameControls> frames;
    std::string error;
};

Parsed Parse(const std::string& text) {
    Parsed parsed;
    std::istringstream in(text);
    parsed.good = ParseControlScript(in, parsed.frames, &parsed.error);
    return parsed;
}

TEST(ControlScript, ReadsFramesRepeatsCommentsAndBlankLines) {
    const Parsed parsed = Parse(
        "# warm up\n"
        "\n"
        "4 8\n"
        "  0x10\t0X2a   # charge, and the other turns\n"
        "repeat 3 0x01 2\r\n"
        "repeat 0 9 9\n"
        "255 0xff");
    ASSERT_TRUE(parsed.good) << parsed.error;
    const std::vector<FrameControls> expected = {{4, 8}, {0x10, 0x2A}, {1, 2},
                                                 {1, 2}, {1, 2},       {255, 255}};
    EXPECT_EQ(parsed.frames, expected);
    EXPECT_TRUE(Parse("").good);
    EXPECT_TRUE(Parse("# nothing\n\n").frames.empty());
}

TEST(ControlScript, NamesTheFirstBadLineAndKeepsNothing) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"1 2\n3\n", "line 2: expected \"C1 C2\" or \"repeat N C1 C2\""},
        {"1 2 3\n", "line 1: expected \"C1 C2\" or \"repeat N C1 C2\""},
        {"1 256\n", "line 1: \"256\" is not a control byte (0 to 255, or 0x00 to 0xFF)"},
        {"-1 0\n", "line 1: \"-1\" is not a control byte (0 to 255, or 0x00 to 0xFF)"},
        {"0x 0\n", "line 1: \"0x\" is not a control byte (0 to 255, or 0x00 to 0xFF)"},
        {"0x1G 0\n", "line 1: \"0x1G\" is not a control byte (0 to 255, or 0x00 to 0xFF)"},
        {"up down\n", "line 1: \"up\" is not a control byte (0 to 255, or 0x00 to 0xFF)"},
        {"\n\nrepeat 2 1\n", "line 3: expected \"repeat N C1 C2\""},
        {"repeat x 1 2\n", "line 1: \"x\" is not a frame count (0 to 10000000)"},
        {"repeat 10000001 1 2\n", "line 1: \"10000001\" is not a frame count (0 to 10000000)"},
        {"repeat 99999999999999999999999 1 2\n",
         "line 1: \"99999999999999999999999\" is not a frame count (0 to 10000000)"},
        {"repeat 6000000 1 2\nrepeat 4000000 0 0\n1 1\n",
         "line 3: more than 10000000 frames in all"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const Parsed parsed = Parse(c.text);
        EXPECT_FALSE(parsed.good);
        EXPECT_EQ(parsed.error, c.error);
        EXPECT_TRUE(parsed.frames.empty());
    }
}

}  // namespace
