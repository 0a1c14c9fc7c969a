// The engine's free helpers: file length and existence, temporary files,
// the 16- and 32-bit fills, and the processor test.
#include "engine/display/engine_support.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <string>

#include "engine/display/cpu_features.h"

namespace {

// A temporary file the test removes again.
struct TempFile {
    std::string path;
    TempFile() {
        char* name = MakeTempFileName();
        if (name != nullptr) {
            path = name;
            delete[] name;
        }
    }
    ~TempFile() {
        if (!path.empty()) {
            std::remove(path.c_str());
        }
    }
};

TEST(EngineSupportTest, RectFromSizeAddsTheSize) {
    Rect rect;
    const Rect& result = MakeRectFromSize(rect, -5, 10, 20, 30);
    EXPECT_EQ(&result, &rect);
    EXPECT_EQ(rect.left, -5);
    EXPECT_EQ(rect.top, 10);
    EXPECT_EQ(rect.right, 15);
    EXPECT_EQ(rect.bottom, 40);
    MakeRectFromSize(rect, INT32_MAX - 5, INT32_MIN + 5, 20, -20);
    EXPECT_EQ(rect.right, INT32_MAX);
    EXPECT_EQ(rect.bottom, INT32_MIN);
}

TEST(EngineSupportTest, TempFileNamesAreNewFilesInTheTempFolder) {
    TempFile first;
    TempFile second;
    ASSERT_FALSE(first.path.empty());
    ASSERT_FALSE(second.path.empty());
    EXPECT_NE(first.path, second.path);
    const std::filesystem::path path(first.path);
    EXPECT_EQ(path.parent_path(), std::filesystem::temp_directory_path());
    EXPECT_EQ(path.filename().string().rfind("NDX", 0), 0u);
    EXPECT_TRUE(FileExists(first.path.c_str()));
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
}

TEST(EngineSupportTest, FileLengthLeavesThePositionAlone) {
    TempFile temp;
    FILE* file = std::fopen(temp.path.c_str(), "w+b");
    ASSERT_NE(file, nullptr);
    const std::array<char, 100> bytes{};
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fseek(file, 10, SEEK_SET);
    EXPECT_EQ(FileLength(file), 100);
    EXPECT_EQ(std::ftell(file), 10);
    std::fclose(file);
    EXPECT_EQ(FileLength(nullptr), 0);
}

TEST(EngineSupportTest, FileExistsOnlyForReadableFiles) {
    TempFile temp;
    EXPECT_TRUE(FileExists(temp.path.c_str()));
    EXPECT_FALSE(FileExists((temp.path + ".missing").c_str()));
    EXPECT_FALSE(FileExists(std::filesystem::temp_directory_path().c_str()));
    EXPECT_FALSE(FileExists(nullptr));
}

TEST(EngineSupportTest, Fill16WritesExactlyCountPixels) {
    std::array<uint16_t, 8> buffer;
    buffer.fill(0xAAAA);
    Fill16(buffer.data() + 1, 0x1234, 3);
    EXPECT_EQ(buffer[0], 0xAAAA);
    EXPECT_EQ(buffer[1], 0x1234);
    EXPECT_EQ(buffer[2], 0x1234);
    EXPECT_EQ(buffer[3], 0x1234);
    EXPECT_EQ(buffer[4], 0xAAAA);  // 6 bytes written, not 8

    buffer.fill(0xAAAA);
    Fill16(buffer.data(), 0x5555, 4);
    EXPECT_EQ(buffer[3], 0x5555);
    EXPECT_EQ(buffer[4], 0xAAAA);

    buffer.fill(0xAAAA);
    Fill16(buffer.data(), 0x5555, 0);
    Fill16(buffer.data(), 0x5555, -3);
    for (uint16_t value : buffer) {
        EXPECT_EQ(value, 0xAAAA);
    }
}

TEST(EngineSupportTest, Fill32WritesExactlyCountValues) {
    std::array<uint32_t, 5> buffer;
    buffer.fill(7);
    Fill32(buffer.data() + 1, 0xDEADBEEF, 3);
    EXPECT_EQ(buffer[0], 7u);
    EXPECT_EQ(buffer[1], 0xDEADBEEFu);
    EXPECT_EQ(buffer[3], 0xDEADBEEFu);
    EXPECT_EQ(buffer[4], 7u);
    Fill32(buffer.data(), 0, -1);
    EXPECT_EQ(buffer[0], 7u);
}

TEST(EngineSupportTest, FontsAreMadeMeasuredAndGivenBack) {
    int32_t width = -1;
    int32_t height = -1;
    MeasureText(nullptr, "", &width, &height);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
    DeleteGdiObject(nullptr);

    TextFont font = CreateTextFont("DejaVu Sans", 0, 20);
    if (font == nullptr) {
        GTEST_SKIP() << "no font installed";
    }
    TextFont sameHeight = CreateTextFont("DejaVu Sans", 0, -20);
    ASSERT_NE(sameHeight, nullptr);
    int32_t wide = 0;
    int32_t narrow = 0;
    MeasureTextRun(font, "WWWW", &wide, &height);
    MeasureTextRun(sameHeight, "WWWW", &width, nullptr);
    EXPECT_EQ(wide, width);
    EXPECT_GT(height, 0);
    EXPECT_LE(height, 20);
    MeasureText(nullptr, "iiii", &narrow, nullptr);
    MeasureText(nullptr, "iiiiiiii", &width, nullptr);
    EXPECT_GT(narrow, 0);
    EXPECT_GT(width, narrow);
    DeleteGdiObject(font);
    DeleteGdiObject(sameHeight);
}

TEST(EngineSupportTest, ProcessorTestRanBeforeMain) {
    EXPECT_EQ(mmxAvailable, DetectMmx());
#if defined(__x86_64__)
    EXPECT_TRUE(mmxAvailable);  // every x86-64 processor has MMX
#elif !defined(__i386__)
    EXPECT_FALSE(mmxAvailable);
#endif
}

}  // namespace
