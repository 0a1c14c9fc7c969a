// Kept replays: every match kept in the replay folder under its start time,
// the last hundred, none under ten seconds, last.kvr the newest; the files of
// crashed games listed and pruned like the others, never the one a running
// game writes; a named --record file always kept as asked.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <ctime>
#include <filesystem>

#include "replay/kept_replays.h"
#include "replay/match_recorder.h"
#include "replay/replay_list.h"
#include "replay/replay_path.h"
#include "replay/replay_reader.h"
#include "rules/world_state.h"
#include "tests/replay/replay_test_files.h"
#include "tests/sound/scoped_env.h"

using namespace replaytest;

namespace {

// 2026-12-08 17:03:22 UTC, and the clock the recorders read.
constexpr int64_t someStart = 1796749402;
int64_t fakeNow = someStart;
int64_t FakeClock() {
    return fakeNow;
}

// A data folder of its own, in UTC so that names are known in advance.
class KeptReplaysTest : public testing::Test {
protected:
    KeptReplaysTest()
        : data("XDG_DATA_HOME", scratch.path.c_str()),
          zone("TZ", "UTC"),
          folder(scratch.File("kivoro/replays")) {
        tzset();
        fakeNow = someStart;
    }
    ~KeptReplaysTest() override { tzset(); }

    // A match of frames frames, started now and finished.
    std::string Play(int32_t frames, const MatchInfo& match = LocalMatch()) {
        MatchRecorder recorder;
        recorder.SetClock(FakeClock);
        EXPECT_TRUE(recorder.Start("", 77, stderr, match));
        Record(recorder, frames);
        EXPECT_TRUE(recorder.Finish(0xCD));
        return recorder.Path();
    }

    static void Record(MatchRecorder& recorder, int32_t frames) {
        for (int32_t k = 0; k < frames; ++k) {
            recorder.RecordFrame(uint8_t(k), uint8_t(k * 3), [] { return uint64_t{0xAB}; });
        }
    }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    ScratchFolder scratch;
    ScopedEnv data;
    ScopedEnv zone;
    std::string folder;
};

TEST_F(KeptReplaysTest, AMatchIsKeptUnderItsStartTimeAndLastKvrIsIt) {
    fighters[0].deaths = 2;
    fighters[1].deaths = 5;
    const std::string kept = Play(600, OnlineMatch(SideSecond, "Mira"));
    fighters[0].deaths = fighters[1].deaths = 0;
    EXPECT_EQ(kept, folder + "/2026-12-08_17-03-22.kvr");
    EXPECT_EQ(Names(), (std::vector<std::string>{"2026-12-08_17-03-22.kvr", "last.kvr"}));
    struct stat keptStatus, lastStatus;
    ASSERT_EQ(stat(kept.c_str(), &keptStatus), 0);
    ASSERT_EQ(stat((folder + "/last.kvr").c_str(), &lastStatus), 0);
    EXPECT_EQ(keptStatus.st_ino, lastStatus.st_ino) << "last.kvr is a hard link to it";

    Replay replay;
    ASSERT_EQ(LoadReplayFile(kept, replay).status, ReplayReadWhole);
    EXPECT_EQ(replay.frames.size(), 600u);
    const ReplayHeader& header = replay.header;
    EXPECT_EQ(header.startTime, someStart);
    EXPECT_EQ(header.utcOffsetMinutes, 0);
    EXPECT_EQ(header.match.kind, MatchOnline);
    EXPECT_EQ(header.match.side, SideSecond);
    EXPECT_STREQ(header.match.otherName, "Mira");
    EXPECT_EQ(header.kills[0], 5u);  // the second fighter's deaths
    EXPECT_EQ(header.kills[1], 2u);

    // The next match replaces last.kvr, the first stays.
    fakeNow += 3600;
    const std::string second = Play(700);
    EXPECT_EQ(second, folder + "/2026-12-08_18-03-22.kvr");
    ASSERT_EQ(stat((folder + "/last.kvr").c_str(), &lastStatus), 0);
    ASSERT_EQ(stat(second.c_str(), &keptStatus), 0);
    EXPECT_EQ(keptStatus.st_ino, lastStatus.st_ino);
    EXPECT_EQ(Names().size(), 3u);
}

TEST_F(KeptReplaysTest, AHundredAndOneMatchesLeaveTheLastHundred) {
    for (int32_t match = 0; match < 101; ++match) {
        Play(600);
        fakeNow += 60;
    }
    const std::vector<ReplayListEntry> list = ReadReplayList(folder);
    ASSERT_EQ(list.size(), 100u);
    EXPECT_EQ(list.front().name, "2026-12-08_18-43-22.kvr");  // the 101st
    EXPECT_EQ(list.back().name, "2026-12-08_17-04-22.kvr");   // the 2nd: the 1st is gone
    EXPECT_FALSE(std::filesystem::exists(folder + "/2026-12-08_17-03-22.kvr"));
}

TEST_F(KeptReplaysTest, AMatchUnderTenSecondsLeavesNothing) {
    const std::string kept = Play(600);
    fakeNow += 60;
    EXPECT_EQ(Play(300), "");  // five seconds
    EXPECT_EQ(Play(599), "");
    EXPECT_EQ(Names(), (std::vector<std::string>{"2026-12-08_17-03-22.kvr", "last.kvr"}));
    struct stat keptStatus, lastStatus;
    ASSERT_EQ(stat(kept.c_str(), &keptStatus), 0);
    ASSERT_EQ(stat((folder + "/last.kvr").c_str(), &lastStatus), 0);
    EXPECT_EQ(keptStatus.st_ino, lastStatus.st_ino) << "last.kvr still the last kept";
}

TEST_F(KeptReplaysTest, TwoMatchesStartedInOneSecondKeepBoth) {
    MatchRecorder first;
    MatchRecorder second;
    first.SetClock(FakeClock);
    second.SetClock(FakeClock);
    ASSERT_TRUE(first.Start("", 1, stderr));
    ASSERT_TRUE(second.Start("", 2, stderr));
    EXPECT_NE(
        ReplayFileInUse(folder + "/2026-12-08_17-03-22.kvr." + std::to_string(getpid()) + ".part"),
        false);
    Record(first, 600);
    Record(second, 650);
    ASSERT_TRUE(second.Finish(1));
    ASSERT_TRUE(first.Finish(1));
    EXPECT_EQ(second.Path(), folder + "/2026-12-08_17-03-22.kvr");
    EXPECT_EQ(first.Path(), folder + "/2026-12-08_17-03-22-2.kvr");
    const std::vector<ReplayListEntry> list = ReadReplayList(folder);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].name, "2026-12-08_17-03-22-2.kvr");
    EXPECT_EQ(list[0].summary.frames, 600u);
    EXPECT_EQ(list[1].summary.frames, 650u);
}

// A game killed outright leaves its unfinished file: listed as such, counted
// and pruned like a kept replay once it is the oldest; the file of a game
// still recording is never deleted.
TEST_F(KeptReplaysTest, UnfinishedFilesAreListedAndPrunedButNeverOneBeingWritten) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        MatchRecorder recorder;
        recorder.SetClock(FakeClock);
        recorder.Start("", 1, nullptr);
        Record(recorder, 90);
        raise(SIGKILL);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    const std::string crashed = "2026-12-08_17-03-22.kvr." + std::to_string(child) + ".part";

    fakeNow += 60;
    MatchRecorder running;
    running.SetClock(FakeClock);
    ASSERT_TRUE(running.Start("", 1, stderr));
    Record(running, 60);
    const std::string recording = "2026-12-08_17-04-22.kvr." + std::to_string(getpid()) + ".part";

    std::vector<ReplayListEntry> list = ReadReplayList(folder);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].name, recording);
    EXPECT_EQ(list[0].summary.state, ReplayListRecording);
    EXPECT_EQ(list[0].summary.frames, 60u);
    EXPECT_EQ(list[1].name, crashed);
    EXPECT_EQ(list[1].summary.state, ReplayListUnfinished);
    EXPECT_EQ(list[1].summary.frames, 90u);
    EXPECT_TRUE(list[1].keptByGame);

    // Keeping one: the crashed file goes, the one being written stays.
    EXPECT_EQ(PruneKeptReplays(folder, 1), 1);
    EXPECT_EQ(Names(), std::vector<std::string>{recording});
    EXPECT_EQ(PruneKeptReplays(folder, 0), 0);
    EXPECT_EQ(Names(), std::vector<std::string>{recording});
    Record(running, 600);
    ASSERT_TRUE(running.Finish(3));
    EXPECT_EQ(Names(), (std::vector<std::string>{"2026-12-08_17-04-22.kvr", "last.kvr"}));
}

TEST_F(KeptReplaysTest, ReplaysThePlayerRenamedAreNeverPruned) {
    Play(600);
    std::filesystem::rename(folder + "/2026-12-08_17-03-22.kvr", folder + "/my best.kvr");
    for (int32_t match = 0; match < 3; ++match) {
        fakeNow += 60;
        Play(600);
    }
    EXPECT_EQ(PruneKeptReplays(folder, 1), 2);
    EXPECT_EQ(Names(),
              (std::vector<std::string>{"2026-12-08_17-06-22.kvr", "last.kvr", "my best.kvr"}));
}

TEST_F(KeptReplaysTest, ANamedRecordingIsKeptAsAskedEvenWhenShort) {
    MatchRecorder recorder;
    const std::string named = scratch.File("mine.kvr");
    ASSERT_TRUE(recorder.Start(named, 5, stderr, ComputerMatch(3, SideFirst)));
    Record(recorder, 30);
    ASSERT_TRUE(recorder.Finish(1));
    EXPECT_EQ(recorder.Path(), named);
    Replay replay;
    ASSERT_EQ(LoadReplayFile(named, replay).status, ReplayReadWhole);
    EXPECT_EQ(replay.header.match.kind, MatchComputer);
    EXPECT_EQ(replay.header.match.level, 3);
    EXPECT_FALSE(std::filesystem::exists(folder + "/last.kvr"));
}

TEST_F(KeptReplaysTest, TheOtherSidesNameReachesAnUnfinishedFileAtOnce) {
    MatchRecorder recorder;
    recorder.SetClock(FakeClock);
    ASSERT_TRUE(recorder.Start("", 1, stderr, OnlineMatch(SideFirst, "")));
    Record(recorder, 30);
    recorder.NameOtherSide("Ōtake", MatchRule());
    std::vector<ReplayListEntry> list = ReadReplayList(folder);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(ReplayMatchText(list[0].summary.header),
              "online against Ōtake (played here as the first player)");
    // Cut to 32 bytes, never inside a character: here before the Ō that
    // would end at byte 33.
    recorder.NameOtherSide((std::string(31, 'a') + "Ō").c_str(), MatchRule());
    list = ReadReplayList(folder);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(std::string(list[0].summary.header.match.otherName), std::string(31, 'a'));
}

// The last.kvr of a game from before replays were kept is its last match:
// it joins the kept ones under its file's time instead of being replaced.
TEST_F(KeptReplaysTest, AnOldLastKvrIsKeptNotReplaced) {
    std::filesystem::create_directories(folder);
    const std::vector<uint8_t> old = RecordHeadless(FlyingScript(61), scratch.File("old.kvr"));
    std::vector<uint8_t> version1 = ToVersion1(old);
    WriteBytes(folder + "/last.kvr", version1);
    const timespec times[2] = {{someStart - 86400, 0}, {someStart - 86400, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, (folder + "/last.kvr").c_str(), times, 0), 0);
    Play(600);
    EXPECT_EQ(Names(), (std::vector<std::string>{"2026-12-07_17-03-22.kvr",
                                                 "2026-12-08_17-03-22.kvr", "last.kvr"}));
    EXPECT_EQ(ReadBytes(folder + "/2026-12-07_17-03-22.kvr"), version1);
}

TEST(KeptReplayNames, AreTheStartTimeAndNothingElse) {
    EXPECT_EQ(KeptReplayName(someStart, 0), "2026-12-08_17-03-22.kvr");
    EXPECT_EQ(KeptReplayName(someStart, 60), "2026-12-08_18-03-22.kvr");
    EXPECT_EQ(KeptReplayName(someStart, -18 * 60), "2026-12-07_23-03-22.kvr");
    for (const char* kept :
         {"2026-12-08_17-03-22.kvr", "2026-12-08_17-03-22-2.kvr",
          "2026-12-08_17-03-22.kvr.4711.part", "2026-12-08_17-03-22-12.kvr.4711-3.part"}) {
        EXPECT_TRUE(IsKeptReplayName(kept)) << kept;
    }
    for (const char* other :
         {"last.kvr", "my best.kvr", "2026-12-08_17-03-22.kvr.bak", "2026-12-08_17-03-22-0.kvr",
          "2026-12-08_17-03-22.kvr.part", "2026-12-08 17-03-22.kvr", "2026-12-08_17-03-2.kvr",
          "2026-12-08_17-03-22.kvrx", "x2026-12-08_17-03-22.kvr"}) {
        EXPECT_FALSE(IsKeptReplayName(other)) << other;
    }
}

}  // namespace
