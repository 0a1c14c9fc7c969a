// kivoro_arena as people and scripts use it: a bad command line is refused
// with status 2 and one line; a match prints the final line kivoro_replay
// verify prints and the kills; its replay verifies; a seed gives the same
// match twice; script and pipe players play what they are given, and an
// outside player that fails ends the arena with status 2 and one line.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "art/rules_world.h"
#include "replay/final_line.h"
#include "rules/world_state.h"
#include "rules/world_step.h"

namespace {

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

class ArenaToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("kivoro_arena_test_" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string File(const std::string& name) const { return (folder / name).string(); }

    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // Runs a program from beside the game's art with the arguments as shell
    // words; `environment` goes before it ("NAME=value ").
    ToolRun Program(const std::string& program, const std::string& arguments,
                    const std::string& environment = "") {
        const std::string command = environment + "'" + std::string(KIVORO_ASSET_DIR) + "/" +
                                    program + "' " + arguments + " > '" + File("out.txt") +
                                    "' 2> '" + File("err.txt") + "'";
        const int raw = std::system(command.c_str());
        ToolRun run;
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.out = Read(File("out.txt"));
        run.err = Read(File("err.txt"));
        return run;
    }
    ToolRun Arena(const std::string& arguments, const std::string& environment = "") {
        return Program("kivoro_arena", arguments, environment);
    }

    static std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }

    // The final line's fields after "final:".
    static std::vector<int64_t> Fields(const std::string& line) {
        std::istringstream in(line.substr(line.find(':') + 1));
        std::vector<int64_t> fields;
        for (int64_t value; in >> value;) {
            fields.push_back(value);
        }
        return fields;
    }

    std::filesystem::path folder;
};

TEST_F(ArenaToolTest, ABadCommandLineIsRefusedWithStatusTwo) {
    const std::string missing = "'" + File("no/such/folder/m.kvr") + "'";
    const char* const lines[] = {"",
                                 "idle",
                                 "idle idle idle",
                                 "--bogus idle idle",
                                 "--frames",
                                 "--frames -5 idle idle",
                                 "--frames 12x idle idle",
                                 "--frames 10000001 idle idle",
                                 "--seed abc idle idle",
                                 "--seed 18446744073709551616 idle idle",
                                 "--record '' idle idle",
                                 "idle nobody",
                                 "computer: idle",
                                 "computer:medium idle",
                                 "idle computer:hard:x",
                                 "idle computer:hard:-1",
                                 "script: idle",
                                 "script:/no/such/script idle",
                                 "pipe: idle",
                                 "COMPUTER:hard idle"};
    for (const char* line : lines) {
        const ToolRun run = Arena(line);
        EXPECT_EQ(run.status, 2) << line;
        EXPECT_EQ(run.out, "") << line;
        EXPECT_EQ(run.err.rfind("kivoro_arena: ", 0), 0u) << line << ": " << run.err;
    }
    const ToolRun run = Arena("--record " + missing + " idle idle");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
    EXPECT_EQ(Arena("--help").status, 0);
}

TEST_F(ArenaToolTest, AMatchEndsOnTheFinalLineAndTheKills) {
    const ToolRun run =
        Arena("--frames 1800 --seed 3 --record '" + File("m.kvr") + "' computer:hard idle");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 2u) << run.out;
    EXPECT_EQ(lines[0].rfind("final: 1800 ", 0), 0u) << lines[0];
    const std::vector<int64_t> fields = Fields(lines[0]);
    ASSERT_EQ(fields.size(), 14u);
    // K1 is the first player's kills, the second fighter's deaths, and K2
    // the other way round.
    EXPECT_EQ(lines[1], "kills: " + std::to_string(fields[12]) + " " + std::to_string(fields[6]));
    EXPECT_GT(fields[12], 0) << "hard killed nobody in 30 seconds";

    // The replay verifies, ending on the same final line.
    const ToolRun verify = Program("kivoro_replay", "verify '" + File("m.kvr") + "'");
    EXPECT_EQ(verify.status, 0) << verify.err;
    EXPECT_EQ(verify.err, "");
    ASSERT_FALSE(Lines(verify.out).empty());
    EXPECT_EQ(Lines(verify.out).back(), lines[0]);
}

TEST_F(ArenaToolTest, TheSameSeedPlaysTheSameMatch) {
    const std::string players = " computer:normal computer:easy";
    const ToolRun first =
        Arena("--frames 2400 --seed 9 --record '" + File("a.kvr") + "'" + players);
    const ToolRun again =
        Arena("--frames 2400 --seed 9 --record '" + File("b.kvr") + "'" + players);
    const ToolRun other =
        Arena("--frames 2400 --seed 10 --record '" + File("c.kvr") + "'" + players);
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out, again.out);
    EXPECT_EQ(Read(File("a.kvr")), Read(File("b.kvr")));
    EXPECT_NE(Read(File("a.kvr")), Read(File("c.kvr")));
    // A computer player's own seed overrides the arena's.
    const ToolRun own = Arena("--frames 2400 --seed 10 computer:normal:19 computer:easy:20");
    EXPECT_EQ(own.out, first.out);
}

TEST_F(ArenaToolTest, ScriptPlayersPlayTheirBytesThenNothing) {
    // The first player charges 40 frames and lets go, then turns; the second
    // flies for 30 frames and stops pressing when its script ends.
    std::string first;
    std::string second;
    std::string both;
    for (int32_t frame = 0; frame < 200; ++frame) {
        const int a = frame < 40 ? 16 : frame == 60 ? 32 : 0;
        const int b = frame < 30 ? 2 : 0;
        first += std::to_string(a) + "\n";
        if (frame < 30) {
            second += std::to_string(b) + "\r\n";
        }
        both += std::to_string(a) + " " + std::to_string(b) + "\n";
    }
    std::ofstream(File("first.txt")) << first;
    std::ofstream(File("second.txt")) << second;
    std::ofstream(File("both.txt")) << both;
    const ToolRun run = Arena("--frames 200 script:'" + File("first.txt") + "' script:'" +
                              File("second.txt") + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(
        Program("kivoro_replay", "make '" + File("both.txt") + "' '" + File("m.kvr") + "'").status,
        0);
    const ToolRun verify = Program("kivoro_replay", "verify '" + File("m.kvr") + "'");
    EXPECT_EQ(Lines(verify.out).back(), Lines(run.out)[0]);

    std::ofstream(File("bad.txt")) << "16\n16\nfire\n";
    const ToolRun bad = Arena("script:'" + File("bad.txt") + "' idle");
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("line 3: \"fire\""), std::string::npos) << bad.err;
}

TEST_F(ArenaToolTest, AnOutsidePlayerPlaysThroughItsPipe) {
    // It answers the charge for 40 frames, then nothing, and keeps the lines.
    const std::string program = "pipe:'n=0; while read l; do echo \"$l\" >> " + File("log") +
                                "; if [ $n -lt 40 ]; then echo 16; else echo 0; fi; n=$((n+1)); "
                                "done'";
    const ToolRun run = Arena("--frames 50 idle " + program);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> log = Lines(Read(File("log")));
    ASSERT_EQ(log.size(), 50u);
    // The first line is the world before the first frame.
    SetUpRulesWorld();
    std::string expected = "0";
    for (const Fighter& f : fighters) {
        for (const int32_t v :
             {f.x, f.y, f.state, f.health, f.ki, f.deaths, static_cast<int32_t>(f.facing), f.aim,
              static_cast<int32_t>(f.turnCooldown)}) {
            expected += ' ';
            expected += std::to_string(v);
        }
    }
    EXPECT_EQ(log[0], expected + " 0");
    for (size_t frame = 0; frame < log.size(); ++frame) {
        EXPECT_EQ(log[frame].rfind(std::to_string(frame) + " ", 0), 0u) << log[frame];
    }
    // The same as its bytes played from a script.
    std::string bytes;
    for (int32_t frame = 0; frame < 50; ++frame) {
        bytes += frame < 40 ? "16\n" : "0\n";
    }
    std::ofstream(File("bytes.txt")) << bytes;
    const ToolRun scripted = Arena("--frames 50 idle script:'" + File("bytes.txt") + "'");
    EXPECT_EQ(scripted.out, run.out);
    // It released its charge: a blast is in flight, paid for in health.
    const std::vector<int64_t> fields = Fields(Lines(run.out)[0]);
    EXPECT_EQ(fields[13], 1);
    EXPECT_EQ(fields[10], 100 - 40 / 5);
}

TEST_F(ArenaToolTest, AnOutsidePlayerThatFailsEndsTheArena) {
    struct Case {
        const char* program;
        const char* said;
        const char* orSaid;  // a program that has quit is found out by a read or a write
    };
    const Case cases[] = {
        {"read l; echo hello", "\"hello\"", nullptr},
        {"read l; echo 256", "\"256\"", nullptr},
        {"read l; echo -1", "\"-1\"", nullptr},
        {"read l; echo 1 2", "\"1 2\"", nullptr},
        {"read l; echo 1", "end of file", "closed its input"},
        {"exit 3", "exit status 3", nullptr},
        {"sleep 30", "no answer within 300 ms", nullptr},
    };
    for (const Case& c : cases) {
        const auto start = std::chrono::steady_clock::now();
        const ToolRun run = Arena(std::string("--frames 100 --record '") + File("f.kvr") +
                                      "' idle pipe:'" + c.program + "'",
                                  "KIVORO_ARENA_TIMEOUT_MS=300 ");
        const auto seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
        EXPECT_EQ(run.status, 2) << c.program;
        EXPECT_EQ(run.out, "") << c.program;
        const std::vector<std::string> said = Lines(run.err);
        ASSERT_EQ(said.size(), 1u) << c.program << ": " << run.err;
        EXPECT_EQ(
            said[0].rfind(std::string("kivoro_arena: second player (pipe:") + c.program + ")", 0),
            0u)
            << said[0];
        EXPECT_TRUE(said[0].find(c.said) != std::string::npos ||
                    (c.orSaid != nullptr && said[0].find(c.orSaid) != std::string::npos))
            << said[0];
        // No replay is left of it, finished or not.
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            EXPECT_NE(entry.path().filename().string().rfind("f.kvr", 0), 0u)
                << c.program << " left " << entry.path();
        }
        // A guard against a hang only: the answer wait is 0.3 s.
        EXPECT_LT(seconds.count(), 10.0) << c.program << " took " << seconds.count() << " s";
    }
}

}  // namespace
