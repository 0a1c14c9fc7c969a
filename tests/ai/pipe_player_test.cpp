// The pipe player in this process: what it writes an outside program, what it
// takes back, and that a program that fails it, or is simply done, is killed
// and reaped - no zombie left behind, no SIGPIPE taking this process down.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/ai/ai_world.h"
#include "tools/arena/pipe_player.h"

namespace {

class PipePlayerTest : public AiWorldTest {
protected:
    void SetUp() override {
        AiWorldTest::SetUp();
        folder = std::filesystem::temp_directory_path() /
                 ("kivoro_pipe_test_" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string File(const char* name) const { return (folder / name).string(); }

    static std::string Read(const std::string& path) {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // True when this process has no child left, zombie or running.
    static bool NoChildLeft() { return waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD; }

    std::filesystem::path folder;
};

TEST_F(PipePlayerTest, WritesTheWorldAndTakesTheAnswers) {
    PipePlayer player(1, 5000);
    std::string error;
    ASSERT_TRUE(player.Start("echo $KIVORO_SIDE > '" + File("side") +
                                 "'; while read l; do echo \"$l\" >> '" + File("log") +
                                 "'; echo 17; done",
                             &error))
        << error;
    KiBlast& blast = blasts[blastCount++];
    blast = KiBlast();
    blast.x = 700;
    blast.y = 800;
    blast.vx = 15;
    blast.vy = -2;
    blast.size = 3;
    blast.shooter = 1;
    fighters[0].aim = 357;
    fighters[1].facing = 0;
    fighters[1].aim = 180;
    fighters[1].turnCooldown = 3;
    for (int32_t frame = 0; frame < 3; ++frame) {
        EXPECT_EQ(player.Controls(frame), 17);
    }
    EXPECT_FALSE(player.Failed());
    player.Stop();
    EXPECT_TRUE(NoChildLeft());
    EXPECT_EQ(Read(File("side")), "2\n");
    const std::string state = "1400 1600 0 100 0 0 1 357 0 1800 1600 0 100 0 0 0 180 3 1";
    EXPECT_EQ(Read(File("log")), "0 " + state + " 700 800 15 -2 2 3\n" + "1 " + state +
                                     " 700 800 15 -2 2 3\n" + "2 " + state +
                                     " 700 800 15 -2 2 3\n");
}

TEST_F(PipePlayerTest, AFailedProgramIsKilledAndReaped) {
    struct Case {
        const char* command;
        const char* problem;
    };
    const Case cases[] = {
        {"exec sleep 30", "gave no answer within 200 ms"},
        {"read l; echo 256", "answered \"256\" at frame 0, which is not a control byte"},
        {"read l; echo go", "answered \"go\""},
        {"read l; exit 4", "ended its output (end of file), exit status 4"},
        {"read l; printf 12", "ended its output in the middle of a line"},
        {"exec sh -c 'read l; printf %0100d 0; sleep 30'", "which is not a control byte"},
        {"sleep 30 & read l; sleep 30", "gave no answer within 200 ms"},
    };
    for (const Case& c : cases) {
        PipePlayer player(0, 200);
        std::string error;
        ASSERT_TRUE(player.Start(c.command, &error)) << error;
        EXPECT_EQ(player.Controls(0), 0) << c.command;
        EXPECT_TRUE(player.Failed()) << c.command;
        EXPECT_NE(player.Problem().find(c.problem), std::string::npos)
            << c.command << ": " << player.Problem();
        EXPECT_TRUE(NoChildLeft()) << c.command;
        // Once failed it asks nothing more.
        EXPECT_EQ(player.Controls(1), 0);
    }
}

TEST_F(PipePlayerTest, AProgramThatQuitsBeforeReadingIsReportedNotASignal) {
    PipePlayer player(0, 2000);
    std::string error;
    ASSERT_TRUE(player.Start("exit 3", &error)) << error;
    // Give it time to be gone, so the line meets a closed pipe.
    usleep(100 * 1000);
    player.Controls(0);
    EXPECT_TRUE(player.Failed());
    const std::string& problem = player.Problem();
    EXPECT_TRUE(problem.find("closed its input") != std::string::npos ||
                problem.find("end of file") != std::string::npos)
        << problem;
    EXPECT_NE(problem.find("exit status 3"), std::string::npos) << problem;
    EXPECT_TRUE(NoChildLeft());
}

TEST_F(PipePlayerTest, StoppingAProgramThatWillNotEndKillsIt) {
    PipePlayer player(0, 2000);
    std::string error;
    ASSERT_TRUE(player.Start("trap '' TERM; while read l; do echo 0; done; sleep 30", &error));
    EXPECT_EQ(player.Controls(0), 0);
    EXPECT_FALSE(player.Failed());
    player.Stop();
    EXPECT_TRUE(NoChildLeft());
    player.Stop();
}

}  // namespace
