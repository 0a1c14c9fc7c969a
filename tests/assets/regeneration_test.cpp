// The generator is reproducible: a fresh run writes exactly the bytes the build
// wrote, file for file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/assets/asset_files.h"

using namespace assettest;

namespace {

TEST(Regeneration, WritesTheSameBytesOnEveryRun) {
    namespace fs = std::filesystem;
    fs::path folder =
        fs::temp_directory_path() / ("kivoro_assets_" + std::to_string(long(getpid())));
    fs::remove_all(folder);
    std::string command =
        AssetPath("kivoro_assetgen") + " --out '" + folder.string() + "' > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (const char* name : {"TORVIK.BMP", "MELSAR.BMP", "DIRT.BMP", "BLAST.BMP", "TARGET.BMP",
                             "ZEMBA2.WAV", "SOUND_2.WAV", "EDIT.WAV", "kivoro_icon_32.png",
                             "kivoro_icon_256.png", "kivoro_icon.bmp"}) {
        SCOPED_TRACE(name);
        std::vector<uint8_t> built = ReadBytes(AssetPath(name));
        std::vector<uint8_t> again = ReadBytes((folder / name).string());
        ASSERT_FALSE(built.empty());
        EXPECT_TRUE(built == again);
    }
    fs::remove_all(folder);
}

TEST(Regeneration, RefusesAnUnknownArgument) {
    std::string command = AssetPath("kivoro_assetgen") + " --bogus > /dev/null 2>&1";
    EXPECT_NE(std::system(command.c_str()), 0);
}

}  // namespace
