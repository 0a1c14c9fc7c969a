// The match recorder: a named file, and one message (never a stopped game)
// when recording cannot be done. Kept replays: kept_replays_test.cpp.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "replay/match_recorder.h"
#include "replay/replay_reader.h"
#include "tests/replay/replay_test_files.h"
#include "tests/sound/scoped_env.h"

using namespace replaytest;

namespace {

void RecordSome(MatchRecorder& recorder, int frames) {
    for (int k = 0; k < frames; ++k) {
        recorder.RecordFrame(static_cast<uint8_t>(k), static_cast<uint8_t>(k * 3),
                             [] { return uint64_t{0xAB}; });
    }
}

TEST(MatchRecorder, RecordsToTheNamedFileWithoutMakingFolders) {
    ScratchFolder folder;
    FILE* errors = std::tmpfile();
    MatchRecorder recorder;
    ASSERT_TRUE(recorder.Start(folder.File("mine.kvr"), 5, errors));
    RecordSome(recorder, 3);
    EXPECT_TRUE(recorder.Finish(1));
    EXPECT_TRUE(std::filesystem::exists(folder.File("mine.kvr")));

    MatchRecorder elsewhere;
    EXPECT_FALSE(elsewhere.Start(folder.File("missing/mine.kvr"), 5, errors));
    RecordSome(elsewhere, 3);  // harmless
    EXPECT_FALSE(elsewhere.Finish(1));
    const std::string said = Written(errors);
    EXPECT_EQ(said.find("kivoro: the match is not recorded: cannot create "), 0u) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << said;  // one line, once
    EXPECT_FALSE(std::filesystem::exists(folder.File("missing")));
    std::fclose(errors);
}

TEST(MatchRecorder, SaysOnceWhenThereIsNoFolderForReplays) {
    ScratchFolder folder;
    FILE* errors = std::tmpfile();
    {
        const ScopedEnv data("XDG_DATA_HOME", nullptr);
        const ScopedEnv home("HOME", nullptr);
        MatchRecorder recorder;
        EXPECT_FALSE(recorder.Start("", 1, errors));
        EXPECT_FALSE(recorder.Recording());
    }
    {
        // A file where the folder should be.
        WriteBytes(folder.File("kivoro"), {1});
        const ScopedEnv data("XDG_DATA_HOME", folder.path.c_str());
        MatchRecorder recorder;
        EXPECT_FALSE(recorder.Start("", 1, errors));
    }
    const std::string said = Written(errors);
    EXPECT_NE(said.find("no folder for replays"), std::string::npos) << said;
    EXPECT_NE(said.find("cannot make the replay folder"), std::string::npos) << said;
    std::fclose(errors);
}

}  // namespace
