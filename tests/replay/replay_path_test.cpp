// The default replay path from the XDG variables, and making its folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "replay/replay_path.h"
#include "tests/replay/replay_test_files.h"

namespace {

TEST(ReplayPath, FollowsTheXdgDataFolderRules) {
    EXPECT_EQ(DefaultReplayPath("/data", "/home/p"), "/data/kivoro/replays/last.kvr");
    EXPECT_EQ(DefaultReplayPath("/data/", "/home/p"), "/data/kivoro/replays/last.kvr");
    // Unset, empty or relative: the default under the home folder.
    EXPECT_EQ(DefaultReplayPath(nullptr, "/home/p"),
              "/home/p/.local/share/kivoro/replays/last.kvr");
    EXPECT_EQ(DefaultReplayPath("", "/home/p"), "/home/p/.local/share/kivoro/replays/last.kvr");
    EXPECT_EQ(DefaultReplayPath("data", "/home/p"), "/home/p/.local/share/kivoro/replays/last.kvr");
    // No usable folder at all: no default.
    EXPECT_EQ(DefaultReplayPath(nullptr, nullptr), "");
    EXPECT_EQ(DefaultReplayPath("", ""), "");
    EXPECT_EQ(DefaultReplayPath("data", "home"), "");
}

TEST(ReplayPath, MakesTheMissingFoldersOrSaysWhyNot) {
    replaytest::ScratchFolder folder;
    std::string problem;
    const std::string path = folder.File("a/b/kivoro/replays/last.kvr");
    EXPECT_TRUE(MakeReplayFolder(path, &problem));
    EXPECT_TRUE(std::filesystem::is_directory(folder.File("a/b/kivoro/replays")));
    EXPECT_TRUE(MakeReplayFolder(path, &problem)) << "already there";
    EXPECT_TRUE(MakeReplayFolder("last.kvr", &problem)) << "the working directory";

    std::ofstream(folder.File("file")) << "in the way";
    EXPECT_FALSE(MakeReplayFolder(folder.File("file/replays/last.kvr"), &problem));
    EXPECT_EQ(problem.rfind("cannot make the folder " + folder.File("file/replays") + ": ", 0), 0u)
        << problem;
}

}  // namespace
