// Matches one after another in one running program, through the application
// loop and its modes as the game runs them: each starts from exactly the world
// a fresh program starts from. The same play twice makes byte-identical
// replays, and every replay verifies in a fresh kivoro_replay process (which
// plays it from its own fresh start and compares every digest).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/app_loop.h"
#include "app/game_window.h"
#include "app/local_input.h"
#include "app/play_state.h"
#include "app/saved_settings.h"
#include "engine/display/frame_limiter.h"
#include "modes/local_match_mode.h"
#include "platform/platform_objects.h"
#include "replay/replay_format.h"
#include "rules/script_controls.h"
#include "tests/rules/harness_script.h"

namespace {

constexpr int32_t matchFrames = 400;

std::vector<uint8_t> Script(int32_t player, int32_t shift) {
    std::vector<uint8_t> bytes;
    for (int32_t frame = 0; frame < matchFrames; ++frame) {
        bytes.push_back(FightingControls(player, frame + shift));
    }
    return bytes;
}

MatchSetup Recorded(const std::string& file) {
    MatchSetup setup;
    setup.recordPath = file;
    return setup;
}

// A scripted local match of matchFrames frames, then the next mode, or the end.
class ScriptedMatchMode : public Mode {
public:
    ScriptedMatchMode(int32_t shift, const std::string& record, std::unique_ptr<Mode> next)
        : first(Script(0, shift)),
          second(Script(1, shift)),
          inner(first, second, Recorded(record)),
          next(std::move(next)) {}

    void Enter(AppLoop& app) override { inner.Enter(app); }
    void Frame(AppLoop& app, const FrameInput& input) override {
        inner.Frame(app, input);
        if (inner.CurrentMatch().Frame() < matchFrames) {
            return;
        }
        if (next != nullptr) {
            app.SwitchTo(std::move(next));
        } else {
            app.Quit(0);
        }
    }
    void Leave(AppLoop& app) override { inner.Leave(app); }

private:
    ScriptControls first;
    ScriptControls second;
    LocalMatchMode inner;
    std::unique_ptr<Mode> next;
};

std::vector<char> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int Verify(const std::string& file) {
    const std::string command =
        std::string(KIVORO_BINARY_DIR) + "/bin/kivoro_replay verify " + file + " >/dev/null";
    const int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

TEST(MatchesInOneRun, EachStartsAsAFreshProgramWouldAndItsReplayVerifies) {
    ASSERT_EQ(chdir(KIVORO_ASSET_DIR), 0);
    const std::string folder = testing::TempDir() + "kivoro_matches_" + std::to_string(getpid());
    ASSERT_EQ(std::system(("mkdir -p " + folder).c_str()), 0);
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    const std::string files[3] = {folder + "/one.kvr", folder + "/two.kvr", folder + "/three.kvr"};

    ASSERT_TRUE(OpenGameWindow(false, Settings(), stderr));
    // As fast as the frames go: the limiter measures but never sleeps.
    delete screen.frameLimiter;
    screen.frameLimiter =
        new FrameLimiter(FrameLimiter::MonotonicNanoseconds, 1000000000, [](uint64_t) {});
    LocalInput players;
    SavedSettings settings;
    PlayState play;
    OpenGameDevices(false, settings.Values(), play, players, stderr);
    AppLoop app(players, settings, play, false);
    // The first and the third match play the same bytes; the second others.
    auto third = std::make_unique<ScriptedMatchMode>(0, files[2], nullptr);
    auto second = std::make_unique<ScriptedMatchMode>(77, files[1], std::move(third));
    EXPECT_EQ(app.Run(std::make_unique<ScriptedMatchMode>(0, files[0], std::move(second))), 0);

    // The frames and digests after the header (which holds the start time).
    auto body = [](const std::string& file) {
        std::vector<char> bytes = FileBytes(file);
        bytes.erase(bytes.begin(),
                    bytes.begin() + std::min<size_t>(bytes.size(), replayHeaderSize));
        return bytes;
    };
    const std::vector<char> one = body(files[0]);
    ASSERT_GT(one.size(), 2u * matchFrames);
    EXPECT_EQ(body(files[2]), one);
    EXPECT_NE(body(files[1]), one);
    for (const std::string& file : files) {
        EXPECT_EQ(Verify(file), 0) << file;
    }
    std::system(("rm -rf " + folder).c_str());
}

}  // namespace
