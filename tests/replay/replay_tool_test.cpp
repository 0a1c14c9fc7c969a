// kivoro_replay as scripts use it: make then print gives the script back, make
// then verify succeeds and ends on the world's final line, and every damaged
// or foreign file ends with its exit status and one line on standard error.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "art/rules_world.h"
#include "replay/final_line.h"
#include "replay/replay_format.h"
#include "replay/replay_reader.h"
#include "replay/replay_writer.h"
#include "rules/world_state.h"
#include "rules/world_step.h"
#include "tests/replay/replay_test_files.h"

using namespace replaytest;

namespace {

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

class ReplayToolTest : public testing::Test {
protected:
    // Runs the tool beside the game's art, or the copy at program.
    ToolRun Tool(const std::string& arguments,
                 const std::string& program = std::string(KIVORO_ASSET_DIR) + "/kivoro_replay") {
        const std::string command = "'" + program + "' " + arguments + " > '" +
                                    folder.File("out.txt") + "' 2> '" + folder.File("err.txt") +
                                    "'";
        const int raw = std::system(command.c_str());
        ToolRun run;
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.out = ReadText(folder.File("out.txt"));
        run.err = ReadText(folder.File("err.txt"));
        return run;
    }

    // Makes a replay of the script's text; answers the file's path.
    std::string Make(const std::string& script) {
        std::ofstream(folder.File("script.txt")) << script;
        const ToolRun run =
            Tool("make '" + folder.File("script.txt") + "' '" + folder.File("m.kvr") + "'");
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        return folder.File("m.kvr");
    }

    static std::string LastLine(std::string text) {
        if (!text.empty() && text.back() == '\n') {
            text.pop_back();
        }
        return text.substr(text.rfind('\n') + 1);  // npos + 1 is 0
    }

    static size_t Lines(const std::string& text) {
        return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
    }

    ScratchFolder folder;
};

// Charges and releases, flights and turns: blasts fly and dig.
const char* const fightScript =
    "# both charge at once\n"
    "repeat 40 0x10 0x10\n"
    "0 0\n"
    "repeat 20 0x04 0x08   # aims move\n"
    "repeat 100 0x02 0x01\n"
    "0x20 0x20\n"
    "repeat 30 0x10 0\n"
    "repeat 50 0 0\n";

TEST_F(ReplayToolTest, MakeThenPrintGivesTheScriptBackExpanded) {
    const std::string file = Make(fightScript);
    const ToolRun run = Tool("print '" + file + "'");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    std::string expected;
    const auto add = [&expected](int count, const char* line) {
        for (int k = 0; k < count; ++k) {
            expected += line;
        }
    };
    add(40, "16 16\n");
    add(1, "0 0\n");
    add(20, "4 8\n");
    add(100, "2 1\n");
    add(1, "32 32\n");
    add(30, "16 0\n");
    add(50, "0 0\n");
    EXPECT_EQ(run.out, expected);
}

TEST_F(ReplayToolTest, MakeThenVerifySucceedsAndEndsOnTheFinalLine) {
    const std::string file = Make(fightScript);
    const ToolRun run = Tool("verify '" + file + "'");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    // The same frames played here, in the same world, end on the same line.
    SetUpRulesWorld();
    Replay replay;
    ASSERT_EQ(LoadReplayFile(file, replay).status, ReplayReadWhole);
    for (const FrameControls& frame : replay.frames) {
        StepWorld(frame.first, frame.second);
    }
    EXPECT_EQ(LastLine(run.out), FinalLine(242));
    EXPECT_NE(run.out.find("242 frames, 5 digests checked, all match"), std::string::npos)
        << run.out;
    // Both released blasts (paid for in health), one is still in flight.
    EXPECT_LT(fighters[0].health, 100);
    EXPECT_LT(fighters[1].health, 100);
    EXPECT_EQ(blastCount, 1);
}

TEST_F(ReplayToolTest, AFileCutShortVerifiesUpToTheCutAndSaysSo) {
    const std::vector<uint8_t> bytes = ReadBytes(Make(fightScript));
    // Two blocks of 60 frames with their digests and 10 frames more.
    WriteBytes(folder.File("cut.kvr"),
               std::vector<uint8_t>(bytes.begin(), bytes.begin() + replayHeaderSize + 256 + 20));
    const ToolRun run = Tool("verify '" + folder.File("cut.kvr") + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
              "kivoro_replay: " + folder.File("cut.kvr") +
                  ": cut short: the header counts 242 frames, the file holds 130; verified "
                  "the frames it holds\n");
    EXPECT_EQ(LastLine(run.out).rfind("final: 130 ", 0), 0u) << run.out;

    const ToolRun print = Tool("print '" + folder.File("cut.kvr") + "'");
    EXPECT_EQ(print.status, 1);
    EXPECT_EQ(Lines(print.out), 130u);
}

TEST_F(ReplayToolTest, ADivergedReplayNamesTheFrameAndExitsOne) {
    std::vector<uint8_t> bytes = ReadBytes(Make(fightScript));
    bytes[replayHeaderSize + 128 + 120 + 3] ^= 0x01;  // the digest after frame 120
    WriteBytes(folder.File("bad.kvr"), bytes);
    const ToolRun run = Tool("verify '" + folder.File("bad.kvr") + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Lines(run.err), 1u);
    EXPECT_NE(run.err.find("out of sync after frame 120 (it arose in frames 61 to 120)"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(LastLine(run.out).rfind("final: 242 ", 0), 0u);
}

TEST_F(ReplayToolTest, FilesThatAreNoReplayOfThisGameExitTwoWithOneLine) {
    const std::vector<uint8_t> good = ReadBytes(Make("repeat 70 1 2\n"));
    std::vector<uint8_t> otherVersion = good;
    PutLittle16(&otherVersion[8], 3);
    std::vector<uint8_t> otherLayout = good;
    PutLittle16(&otherLayout[10],
                BuildPixelLayout() == pixelLayout555 ? pixelLayout565 : pixelLayout555);
    std::vector<uint8_t> otherArt = good;
    otherArt[12] ^= 0x40;
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* says;
    } cases[] = {
        {"empty.kvr", {}, "the file is empty"},
        {"random.kvr",
         {0x9E, 0x31, 0x00, 0xFF, 0x7A, 0x12, 0x55, 0xC3, 0x08, 0x66},
         "not a replay"},
        {"version.kvr", otherVersion, "replay format version 3"},
        {"layout.kvr", otherLayout,
         BuildPixelLayout() == pixelLayout555 ? "made by the 5-6-5" : "made by the 5-5-5"},
        {"art.kvr", otherArt, "made with other art"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(folder.File(c.name), c.bytes);
        const ToolRun run = Tool(std::string("verify '") + folder.File(c.name) + "'");
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(Lines(run.err), 1u) << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    }
    const ToolRun missing = Tool("verify '" + folder.File("none.kvr") + "'");
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "kivoro_replay: " + folder.File("none.kvr") +
                               ": cannot open it: No such file or directory\n");
}

TEST_F(ReplayToolTest, ABadScriptLineIsNamedAndNothingIsWritten) {
    std::ofstream(folder.File("bad.txt")) << "1 2\n# fine so far\nrepeat 5 1\n";
    const ToolRun run =
        Tool("make '" + folder.File("bad.txt") + "' '" + folder.File("x.kvr") + "'");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "kivoro_replay: " + folder.File("bad.txt") +
                           ": line 3: expected \"repeat N C1 C2\"; nothing written\n");
    EXPECT_FALSE(std::filesystem::exists(folder.File("x.kvr")));
    const ToolRun nowhere =
        Tool("make '" + folder.File("bad.txt") + "' '" + folder.File("no/x.kvr") + "'");
    EXPECT_EQ(nowhere.status, 2);
}

// The art is found as the game finds it: in the working directory (the test's
// holds none), then beside the program, where a copy of the tool finds none.
TEST_F(ReplayToolTest, WithoutTheArtAReplayOfTheArtIsRefusedAndSaysWhy) {
    const std::string made = Make("repeat 100 0x10 0x04\n");
    ScratchFolder bare;
    const std::string copy = bare.File("kivoro_replay");
    std::filesystem::copy_file(std::string(KIVORO_ASSET_DIR) + "/kivoro_replay", copy);
    ToolRun run = Tool("verify '" + made + "'", copy);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(Lines(run.err), 1u) << run.err;
    EXPECT_NE(run.err.find("made with other art"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("BLAST.BMP was not found (looked in the working directory, " +
                           bare.path.string()),
              std::string::npos)
        << run.err;

    // A replay made there, without the shapes, verifies there.
    std::ofstream(bare.File("s.txt")) << "repeat 100 0x10 0x04\n";
    run = Tool("make '" + bare.File("s.txt") + "' '" + bare.File("bare.kvr") + "'", copy);
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.err.find("making the replay without them"), std::string::npos) << run.err;
    EXPECT_EQ(Tool("verify '" + bare.File("bare.kvr") + "'", copy).status, 0);
    EXPECT_EQ(Tool("verify '" + bare.File("bare.kvr") + "'").status, 2);
}

// A version 1 file, from before the header told the match's facts, still
// verifies, and ends on the same line.
TEST_F(ReplayToolTest, AVersionOneFileStillVerifies) {
    const std::vector<uint8_t> made = ReadBytes(Make(fightScript));
    WriteBytes(folder.File("old.kvr"), ToVersion1(made));
    const ToolRun now = Tool("verify '" + folder.File("m.kvr") + "'");
    const ToolRun old = Tool("verify '" + folder.File("old.kvr") + "'");
    EXPECT_EQ(old.status, 0) << old.err;
    EXPECT_EQ(LastLine(old.out), LastLine(now.out));
    const ToolRun info = Tool("info '" + folder.File("old.kvr") + "'");
    EXPECT_EQ(info.out.rfind("format version: 1\n", 0), 0u) << info.out;
    EXPECT_NE(info.out.find("\nmatch: ?\n"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("(the file's time: the header has none)"), std::string::npos);
    EXPECT_NE(info.out.find("kills: ?\nrule: ?\n"), std::string::npos) << info.out;
}

// The kills the header gives are checked against the match played again.
TEST_F(ReplayToolTest, KillsTheMatchDoesNotEndOnExitOne) {
    std::vector<uint8_t> bytes = ReadBytes(Make(fightScript));
    PutLittle32(&bytes[replayKillsOffset], 3);
    PutLittle32(&bytes[replayKillsOffset + 4], 0);
    WriteBytes(folder.File("kills.kvr"), bytes);
    const ToolRun run = Tool("verify '" + folder.File("kills.kvr") + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "kivoro_replay: " + folder.File("kills.kvr") +
                           ": the header gives the kills as 3-0, the match ends 0-0\n");
}

TEST_F(ReplayToolTest, InfoAndListTellTheHeaderWithoutTheFrames) {
    ReplayHeader header;
    header.artDigest = 0xABCDEF;
    header.startTime = 1796749402;  // 2026-12-08 17:03:22 UTC
    header.utcOffsetMinutes = -150;
    header.match = OnlineMatch(SideSecond, "Mira");
    header.match.rule = MatchRule{MatchTimeLimit, 3};
    ReplayWriter writer;
    ASSERT_TRUE(writer.Open(folder.File("online.kvr"), header));
    for (int k = 0; k < 3725; ++k) {
        writer.RecordFrame(0, 0, [] { return uint64_t{0}; });
    }
    writer.SetFinalKills(2, 7);
    ASSERT_TRUE(writer.Finish(0));
    const ToolRun info = Tool("info '" + folder.File("online.kvr") + "'");
    EXPECT_EQ(info.status, 0) << info.err;
    EXPECT_EQ(info.out,
              "format version: 2\n"
              "pixel layout: " +
                  std::string(PixelLayoutName(BuildPixelLayout())) +
                  "\n"
                  "art digest: 0x0000000000ABCDEF\n"
                  "match: online against Mira (played here as the second player)\n"
                  "started: 2026-12-08 14:33:22 UTC-02:30\n"
                  "frames: 3725 (1:02)\n"
                  "kills: 2-7\n"
                  "rule: 3 minutes\n"
                  "state: finished\n");
    WriteBytes(folder.File("bad.kvr"), {'K', 'V'});
    const ToolRun bad = Tool("info '" + folder.File("bad.kvr") + "'");
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(Lines(bad.err), 1u);

    // Newest first: the damaged file has only its own time, which is now.
    const ToolRun list = Tool("list '" + folder.path.string() + "'");
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out,
              "?                         ?  ?        unreadable  bad.kvr: cut short inside its "
              "header (2 bytes)\n"
              "2026-12-08 14:33:22    1:02  2-7      finished    online.kvr: online against Mira "
              "(played here as the second player)\n");
}

TEST_F(ReplayToolTest, AWrongCommandLineShowsTheUsage) {
    for (const char* arguments :
         {"", "verify", "print a b", "make a", "check a", "info", "list a b"}) {
        SCOPED_TRACE(arguments);
        const ToolRun run = Tool(arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err.rfind("usage: kivoro_replay verify FILE", 0), 0u);
    }
    EXPECT_EQ(Tool("--help").status, 0);
}

}  // namespace
