// A pad drives every screen a player meets without the keyboard: the title
// menu's pages (d-pad and stick, with repeat; A chooses, B goes back), the
// end screen's choices, and the leave box of a match started from the menu
// (Back asks, B plays on, A leaves).
#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <vector>

#include "app/app_loop.h"
#include "app/local_input.h"
#include "app/overlay_view.h"
#include "app/saved_settings.h"
#include "modes/end_screen_mode.h"
#include "modes/local_match_mode.h"
#include "modes/menu_mode.h"
#include "platform/platform_objects.h"
#include "rules/script_controls.h"
#include "tests/input/virtual_pad.h"

namespace {

// Records what the screens asked for, and hands out modes that do nothing.
class RecordingDirectory : public ModeDirectory {
public:
    struct Idle : Mode {
        void Enter(AppLoop&) override {}
        void Frame(AppLoop&, const FrameInput&) override {}
        void Leave(AppLoop&) override {}
    };

    std::unique_ptr<Mode> Menu() override {
        ++menus;
        return std::make_unique<Idle>();
    }
    std::unique_ptr<Mode> Play(const MatchChoice& choice) override {
        played.push_back(choice);
        return std::make_unique<Idle>();
    }
    std::unique_ptr<Mode> EndScreen(const MatchChoice&, const MatchSummary&) override {
        return std::make_unique<Idle>();
    }
    std::unique_ptr<Mode> Replay(const std::string&) override { return std::make_unique<Idle>(); }
    std::unique_ptr<ControlSource> ComputerPlayer(int32_t, ComputerLevel, uint32_t) override {
        return std::make_unique<ScriptControls>(std::vector<uint8_t>());
    }

    int menus = 0;
    std::vector<MatchChoice> played;
};

class MenuPads : public PadTest {
protected:
    void SetUp() override {
        PadTest::SetUp();
        ASSERT_EQ(chdir(KIVORO_ASSET_DIR), 0);
        ASSERT_EQ(screen.SetMemoryMode(800, 600), 0);
        PrepareOverlays(DefaultKeyBindings());
        players.Open(DefaultKeyBindings());
        Frame();  // the pad is seen
    }

    // One display frame of mode with the pad as it stands.
    void Frame() {
        players.Read();
        if (mode != nullptr) {
            FrameInput input;
            input.active = true;
            input.players = &players.Last();
            mode->Frame(app, input);
        }
    }
    // A button pressed for a frame, then let go for one.
    void Tap(SDL_GameControllerButton button) {
        pad.Press(button);
        Frame();
        pad.Release(button);
        Frame();
    }
    void Start(std::unique_ptr<Mode> next) {
        mode = std::move(next);
        mode->Enter(app);
        Frame();
    }

    LocalInput players;
    SavedSettings settings;
    AppLoop app{players, settings, PlayState(), false};
    RecordingDirectory directory;
    VirtualPad pad;
    std::unique_ptr<Mode> mode;
};

TEST_F(MenuPads, MoveThroughTheMenuChooseAndGoBack) {
    Start(std::make_unique<MenuMode>(directory));
    auto& menu = static_cast<MenuMode&>(*mode);
    Tap(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    EXPECT_EQ(menu.List().Selected(), 1);
    Tap(SDL_CONTROLLER_BUTTON_A);
    ASSERT_EQ(menu.CurrentPage(), MenuMode::PageComputer);
    Tap(SDL_CONTROLLER_BUTTON_B);
    ASSERT_EQ(menu.CurrentPage(), MenuMode::PageMain);
    EXPECT_EQ(menu.List().Selected(), 1);

    // The stick pushed down moves once, then again after a while held.
    pad.Tilt(SDL_CONTROLLER_AXIS_LEFTY, 30000);
    Frame();
    EXPECT_EQ(menu.List().Selected(), 2);
    for (int k = 0; k < MenuInput::repeatDelay; ++k) {
        Frame();
    }
    EXPECT_EQ(menu.List().Selected(), 3);
    pad.Tilt(SDL_CONTROLLER_AXIS_LEFTY, 0);
    Frame();

    // Up to the computer's page, and a hard match chosen with A.
    Tap(SDL_CONTROLLER_BUTTON_DPAD_UP);
    Tap(SDL_CONTROLLER_BUTTON_DPAD_UP);
    Tap(SDL_CONTROLLER_BUTTON_A);
    ASSERT_EQ(menu.CurrentPage(), MenuMode::PageComputer);
    Tap(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    Tap(SDL_CONTROLLER_BUTTON_A);
    ASSERT_EQ(directory.played.size(), 1u);
    EXPECT_EQ(directory.played[0].kind, ChoiceComputer);
    EXPECT_EQ(directory.played[0].computerLevel, ComputerLevel::Hard);
}

TEST_F(MenuPads, TheEndScreensChoices) {
    MatchSummary summary;
    Start(std::make_unique<EndScreenMode>(directory, MatchChoice(), summary));
    auto& end = static_cast<EndScreenMode&>(*mode);
    EXPECT_EQ(end.Selected(), 0);
    Tap(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    EXPECT_EQ(end.Selected(), 1);
    Tap(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    EXPECT_EQ(end.Selected(), 0);
    Tap(SDL_CONTROLLER_BUTTON_A);
    ASSERT_EQ(directory.played.size(), 1u);  // Rematch
    Start(std::make_unique<EndScreenMode>(directory, MatchChoice(), summary));
    Tap(SDL_CONTROLLER_BUTTON_B);
    EXPECT_EQ(directory.menus, 1);
}

TEST_F(MenuPads, BackAsksBeforeLeavingAMatchFromTheMenu) {
    auto first = std::make_unique<ScriptControls>(std::vector<uint8_t>());
    auto second = std::make_unique<ScriptControls>(std::vector<uint8_t>());
    MatchSetup setup;
    setup.record = false;
    Start(std::make_unique<LocalMatchMode>(std::move(first), std::move(second), setup, directory,
                                           MatchChoice()));
    auto& match = static_cast<LocalMatchMode&>(*mode);
    Tap(SDL_CONTROLLER_BUTTON_BACK);
    ASSERT_TRUE(match.AskingToLeave());
    const int32_t frames = match.CurrentMatch().Frame();
    Frame();
    EXPECT_EQ(match.CurrentMatch().Frame(), frames) << "the world runs under the leave box";
    Tap(SDL_CONTROLLER_BUTTON_B);
    EXPECT_FALSE(match.AskingToLeave());
    Frame();
    EXPECT_GT(match.CurrentMatch().Frame(), frames);
    Tap(SDL_CONTROLLER_BUTTON_BACK);
    Tap(SDL_CONTROLLER_BUTTON_A);
    EXPECT_EQ(directory.menus, 1);
}

}  // namespace
