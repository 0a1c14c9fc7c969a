// The headless player's script: one decimal byte a line, and every other line
// refused by its number.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "replay/byte_script.h"

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
    EXPECT_EQ(error, "cannot read: No such file or directory");
}

// Only a regular file of at most 1 MB is read: a folder, a device that never
// ends and a pipe nobody writes to are refused at once.
TEST(ByteScript, RefusesAnythingButARegularFileOfAtMostOneMegabyte) {
    const std::string folder = ::testing::TempDir() + "byte_script_folder";
    const std::string pipe = ::testing::TempDir() + "byte_script_pipe";
    rmdir(folder.c_str());
    unlink(pipe.c_str());
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::string big = ::testing::TempDir() + "byte_script_big.txt";
    const std::string full = ::testing::TempDir() + "byte_script_full.txt";
    {
        // 512 Ki lines of "0": 1 MB exactly is read, one byte more is not.
        std::string text;
        for (size_t k = 0; k < byteScriptMostBytes / 2; ++k) {
            text += "0\n";
        }
        FILE* file = std::fopen(full.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
        text += "0";
        file = std::fopen(big.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
    struct Case {
        std::string path;
        const char* error;
    };
    const Case cases[] = {
        {folder, "not a regular file"},
        {"/dev/zero", "not a regular file"},
        {pipe, "not a regular file"},
        {big, "larger than 1 MB"},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes{1};
        std::string error;
        EXPECT_FALSE(ReadByteScript(c.path, bytes, &error)) << c.path;
        EXPECT_EQ(error, c.error) << c.path;
        EXPECT_TRUE(bytes.empty()) << c.path;
    }
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(ReadByteScript(full, bytes, &error)) << error;
    EXPECT_EQ(bytes.size(), byteScriptMostBytes / 2);
    rmdir(folder.c_str());
    for (const std::string& path : {pipe, big, full}) {
        std::remove(path.c_str());
    }
}

}  // namespace
