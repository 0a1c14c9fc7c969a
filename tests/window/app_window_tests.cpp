// The application window on SDL's dummy video driver: creation, the pump's one
// message per call, and the messages that SDL events turn into.
#include "engine/display/app_window.h"
#include "engine/display/desktop.h"
#include "engine/display/headless_video.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Plays the game's procedure: record, destroy on Escape, default for the rest.
AppWindow* gameWindow = nullptr;
std::vector<uint32_t> seenMessages;
intptr_t lastLParam = 0;

intptr_t GameLikeProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    seenMessages.push_back(message);
    lastLParam = lParam;
    gameWindow->RecordMessage(message, wParam, lParam);
    if (gameWindow->lastKeyDown == VK_ESCAPE) {
        gameWindow->Destroy();
    }
    return DefaultWindowProc(window, message, wParam, lParam);
}

class AppWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        gameWindow = &app;
        seenMessages.clear();
        const DisplaySize desktop = PrimaryDisplaySize();
        ASSERT_TRUE(app.CreateWithProc("Kivoro", nullptr, GameLikeProc, WS_POPUP, 0, 0,
                                       desktop.width, desktop.height));
        // Start from an empty queue: whatever SDL posted while the window was
        // created is not part of the test.
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        seenMessages.clear();
    }

    void TearDown() override { gameWindow = nullptr; }

    uint32_t WindowId() const { return SDL_GetWindowID(app.window); }

    void PushKey(uint32_t type, SDL_Keycode key, uint8_t repeat = 0, uint16_t mod = 0) {
        SDL_Event event{};
        event.type = type;
        event.key.windowID = WindowId();
        event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.key.repeat = repeat;
        event.key.keysym.sym = key;
        event.key.keysym.mod = mod;
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }

    void PushWindowEvent(uint8_t what, int32_t data1 = 0, int32_t data2 = 0) {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.windowID = WindowId();
        event.window.event = what;
        event.window.data1 = data1;
        event.window.data2 = data2;
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }

    void PushMotion(int32_t x, int32_t y) {
        SDL_Event event{};
        event.type = SDL_MOUSEMOTION;
        event.motion.windowID = WindowId();
        event.motion.x = x;
        event.motion.y = y;
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }

    void PushButton(uint32_t type, uint8_t button, int32_t x, int32_t y) {
        SDL_Event event{};
        event.type = type;
        event.button.windowID = WindowId();
        event.button.button = button;
        event.button.x = x;
        event.button.y = y;
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }

    AppWindow app;
};

}  // namespace

TEST_F(AppWindowTest, PopupCoversTheDisplayWithoutBorder) {
    ASSERT_NE(app.window, nullptr);
    EXPECT_TRUE(app.active);
    EXPECT_STREQ(app.className, "Kivoro");
    EXPECT_STREQ(SDL_GetWindowTitle(app.window), "Kivoro");
    EXPECT_TRUE(SDL_GetWindowFlags(app.window) & SDL_WINDOW_BORDERLESS);
    int w = 0, h = 0;
    SDL_GetWindowSize(app.window, &w, &h);
    EXPECT_GT(w, 0);
    EXPECT_EQ(w, PrimaryDisplaySize().width);
    EXPECT_EQ(h, PrimaryDisplaySize().height);
    ShowCursor(false);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    ShowCursor(true);
}

TEST_F(AppWindowTest, PumpHandlesOneMessagePerCall) {
    EXPECT_TRUE(app.PumpMessage());
    EXPECT_EQ(app.lastKeyDown, -1);

    PushKey(SDL_KEYDOWN, SDLK_a);
    PushKey(SDL_KEYDOWN, SDLK_UP);
    PushKey(SDL_KEYUP, SDLK_a);
    EXPECT_TRUE(app.PumpMessage());
    EXPECT_EQ(app.lastKeyDown, 0x41);
    EXPECT_EQ(app.keyState[0x41], 1);
    EXPECT_EQ(app.keyState[VK_UP], 0);
    EXPECT_TRUE(app.PumpMessage());
    EXPECT_EQ(app.lastKeyDown, VK_UP);
    EXPECT_EQ(app.keyState[VK_UP], 1);
    EXPECT_TRUE(app.PumpMessage());
    EXPECT_EQ(app.lastKeyDown, -1);
    EXPECT_EQ(app.lastKeyUp, 0x41);
    EXPECT_EQ(app.keyState[0x41], 0);
    EXPECT_EQ(seenMessages, (std::vector<uint32_t>{WM_KEYDOWN, WM_KEYDOWN, WM_KEYUP}));
}

TEST_F(AppWindowTest, KeysArriveAsVirtualKeyCodesWithAutoRepeat) {
    const std::pair<SDL_Keycode, int32_t> keys[] = {
        {SDLK_RETURN, VK_RETURN}, {SDLK_KP_ENTER, VK_RETURN},
        {SDLK_RSHIFT, VK_SHIFT},  {SDLK_SPACE, VK_SPACE},
        {SDLK_z, 0x5A},           {SDLK_7, 0x37},
        {SDLK_LEFT, VK_LEFT},     {SDLK_DOWN, VK_DOWN},
        {SDLK_F12, VK_F1 + 11},
    };
    for (const auto& [sdl, vk] : keys) {
        PushKey(SDL_KEYDOWN, sdl);
        app.PumpMessage();
        EXPECT_EQ(app.lastKeyDown, vk) << sdl;
    }
    // Each auto-repeat is a key-down of its own.
    PushKey(SDL_KEYDOWN, SDLK_w, 1);
    PushKey(SDL_KEYDOWN, SDLK_w, 1);
    app.PumpMessage();
    EXPECT_EQ(app.lastKeyDown, 0x57);
    app.PumpMessage();
    EXPECT_EQ(app.lastKeyDown, 0x57);
    // Alt combinations are system keys and are not recorded.
    PushKey(SDL_KEYDOWN, SDLK_x, 0, KMOD_LALT);
    app.PumpMessage();
    EXPECT_EQ(app.lastKeyDown, -1);
    EXPECT_EQ(seenMessages.back(), WM_SYSKEYDOWN);
}

TEST_F(AppWindowTest, EscapeDestroysTheWindowAndTheNextPumpAnswersFalse) {
    PushKey(SDL_KEYDOWN, SDLK_ESCAPE);
    PushKey(SDL_KEYDOWN, SDLK_a);
    EXPECT_TRUE(app.PumpMessage());
    EXPECT_EQ(app.window, nullptr);
    EXPECT_FALSE(app.active);
    EXPECT_EQ(seenMessages, (std::vector<uint32_t>{WM_KEYDOWN, WM_DESTROY}));
    EXPECT_FALSE(app.PumpMessage());
    EXPECT_FALSE(app.PumpMessage());
    EXPECT_FALSE(app.Destroy());
    // The class went with the window, so a new create works.
    EXPECT_TRUE(app.CreateWithProc("Kivoro", nullptr, GameLikeProc, WS_POPUP, 0, 0, 64, 64));
}

TEST_F(AppWindowTest, CloseRequestsEndTheWindowLikeEscape) {
    PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    EXPECT_TRUE(app.PumpMessage());
    EXPECT_EQ(app.window, nullptr);
    EXPECT_EQ(seenMessages, (std::vector<uint32_t>{WM_CLOSE, WM_DESTROY}));
    EXPECT_FALSE(app.PumpMessage());

    ASSERT_TRUE(app.CreateWithProc("Kivoro", nullptr, GameLikeProc, WS_POPUP, 0, 0, 64, 64));
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    EXPECT_TRUE(app.PumpMessage());
    EXPECT_FALSE(app.PumpMessage());
}

TEST_F(AppWindowTest, FocusAndMinimiseDriveActive) {
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    EXPECT_TRUE(app.PumpMessage());
    EXPECT_FALSE(app.active);
    EXPECT_TRUE(app.PumpMessage());  // an inactive window keeps pumping
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    app.PumpMessage();
    EXPECT_TRUE(app.active);
    PushWindowEvent(SDL_WINDOWEVENT_MINIMIZED);
    app.PumpMessage();
    EXPECT_FALSE(app.active);
    PushWindowEvent(SDL_WINDOWEVENT_RESTORED);
    app.PumpMessage();
    EXPECT_TRUE(app.active);
}

TEST_F(AppWindowTest, ClicksTakeTheLastMovePositionAndMovesCoalesce) {
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 50, 60);
    app.PumpMessage();
    EXPECT_TRUE(app.leftClicked);
    EXPECT_TRUE(app.leftButtonDown);
    EXPECT_EQ(app.leftClickX, 0);
    EXPECT_EQ(app.leftClickY, 0);
    app.PumpMessage();
    EXPECT_FALSE(app.leftClicked);  // per-pump flag
    EXPECT_TRUE(app.leftButtonDown);

    PushMotion(10, 20);
    PushMotion(11, 21);
    PushMotion(300, 200);
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 1, 1);
    app.PumpMessage();
    EXPECT_EQ(app.cursorX, 300);
    EXPECT_EQ(app.cursorY, 200);
    EXPECT_EQ(seenMessages.back(), WM_MOUSEMOVE);
    app.PumpMessage();
    EXPECT_TRUE(app.rightClicked);
    EXPECT_EQ(app.rightClickX, 300);
    EXPECT_EQ(app.rightClickY, 200);
    PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 1, 1);
    app.PumpMessage();
    EXPECT_FALSE(app.rightButtonDown);
}

TEST_F(AppWindowTest, TextInputBecomesCharacterMessages) {
    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    text.text.windowID = WindowId();
    std::strcpy(text.text.text, "q");
    SDL_PushEvent(&text);
    app.PumpMessage();
    EXPECT_TRUE(app.charReceived);
    EXPECT_EQ(app.lastChar, 'q');
    app.PumpMessage();
    EXPECT_FALSE(app.charReceived);
}

TEST_F(AppWindowTest, SecondCreateWithoutDestroyFailsAndStyleOperationsNeedAWindow) {
    AppWindow other;
    EXPECT_FALSE(other.CreateWithProc("Kivoro", nullptr, GameLikeProc, WS_POPUP, 0, 0, 8, 8));
    EXPECT_STREQ(other.className, "Kivoro");
    EXPECT_FALSE(other.SetStyle(0));
    EXPECT_FALSE(other.SetIcon(1));
    EXPECT_FALSE(other.Move(0, 0, 8, 8));

    EXPECT_FALSE(other.SetIconFromFile("kivoro_icon.bmp"));
    EXPECT_FALSE(other.SetMinimumSize(8, 8));

    EXPECT_TRUE(app.SetStyle(WS_OVERLAPPEDWINDOW));
    EXPECT_TRUE(app.Move(0, 0, 320, 200));
    int w = 0, h = 0;
    SDL_GetWindowSize(app.window, &w, &h);
    EXPECT_EQ(w, 320);
    EXPECT_EQ(h, 200);
    EXPECT_TRUE(app.SetMinimumSize(200, 150));
    SDL_GetWindowMinimumSize(app.window, &w, &h);
    EXPECT_EQ(w, 200);
    EXPECT_EQ(h, 150);
}

TEST_F(AppWindowTest, ANewSizeIsASizeMessageAndTheIconComesFromABitmap) {
    PushWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 1200, 900);
    app.PumpMessage();
    ASSERT_EQ(seenMessages, (std::vector<uint32_t>{WM_SIZE}));
    EXPECT_EQ(lastLParam, intptr_t{1200} | (intptr_t{900} << 16));

    // A bitmap SDL can read is taken; a missing or broken one is refused.
    const std::string folder = ::testing::TempDir();
    SDL_Surface* picture = SDL_CreateRGBSurfaceWithFormat(0, 16, 16, 32, SDL_PIXELFORMAT_ARGB8888);
    ASSERT_NE(picture, nullptr);
    ASSERT_EQ(SDL_SaveBMP(picture, (folder + "icon_test.bmp").c_str()), 0);
    SDL_FreeSurface(picture);
    EXPECT_TRUE(app.SetIconFromFile((folder + "icon_test.bmp").c_str()));
    EXPECT_FALSE(app.SetIconFromFile((folder + "no_such_icon.bmp").c_str()));
    FILE* broken = std::fopen((folder + "broken_icon.bmp").c_str(), "wb");
    ASSERT_NE(broken, nullptr);
    std::fputs("BM not really", broken);
    std::fclose(broken);
    EXPECT_FALSE(app.SetIconFromFile((folder + "broken_icon.bmp").c_str()));
}

TEST(AppWindowRecord, OutOfRangeKeyCodesAreIgnored) {
    AppWindow app;
    EXPECT_EQ(app.lastKeyDown, 0);
    app.RecordMessage(WM_KEYDOWN, 0x1234, 0);
    app.RecordMessage(WM_KEYUP, ~uintptr_t{0}, 0);
    EXPECT_EQ(app.lastKeyDown, 0);
    EXPECT_EQ(app.lastKeyUp, 0);
    app.RecordMessage(WM_ACTIVATE, WA_ACTIVE | ActivateMinimised, 0);
    EXPECT_TRUE(app.active);
    app.RecordMessage(WM_MOUSEMOVE, 0, static_cast<intptr_t>(0xFFFF0001u));
    EXPECT_EQ(app.cursorX, 1);
    EXPECT_EQ(app.cursorY, 0xFFFF);
}

namespace {

std::vector<uint32_t> hookedMessages;

void RecordingHook(uint32_t message, uintptr_t, intptr_t) {
    hookedMessages.push_back(message);
}

}  // namespace

TEST(AppWindowEngineProc, RecordsIntoTheWindowAndCallsTheHook) {
    hookedMessages.clear();
    AppWindow app;
    ASSERT_TRUE(app.Create("KivoroEngine", nullptr, RecordingHook, 0, 0, 0, 100, 100));
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.windowID = SDL_GetWindowID(app.window);
    key.key.keysym.sym = SDLK_d;
    SDL_PushEvent(&key);
    app.PumpMessage();
    EXPECT_EQ(app.lastKeyDown, 0x44);
    EXPECT_EQ(hookedMessages, std::vector<uint32_t>{WM_KEYDOWN});
    EXPECT_TRUE(app.Destroy());
    EXPECT_EQ(hookedMessages.back(), WM_DESTROY);
    EXPECT_FALSE(app.active);
}

TEST(AppWindowCreate, FailsWhenNoWindowCanBeOpened) {
    const char* saved = SDL_getenv("SDL_VIDEODRIVER");
    const std::string driver = saved ? saved : "";
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    AppWindow app;
    EXPECT_FALSE(
        app.CreateWithProc("KivoroNoDisplay", nullptr, GameLikeProc, WS_POPUP, 0, 0, 8, 8));
    EXPECT_EQ(app.window, nullptr);
    EXPECT_FALSE(app.PumpMessage());
    EXPECT_EQ(PrimaryDisplaySize().width, 0);
    EXPECT_EQ(PrimaryDisplaySize().height, 0);
    setenv("SDL_VIDEODRIVER", driver.c_str(), 1);
}

// SDL's fallback drivers count as no display unless SDL_VIDEODRIVER asked
// for them; real drivers always count.
TEST(HeadlessVideo, FallbackDriversAreNoDisplayUnlessAskedFor) {
    EXPECT_TRUE(IsUnrequestedHeadlessDriver("offscreen", nullptr));
    EXPECT_TRUE(IsUnrequestedHeadlessDriver("offscreen", ""));
    EXPECT_TRUE(IsUnrequestedHeadlessDriver("dummy", "x11"));
    EXPECT_TRUE(IsUnrequestedHeadlessDriver("offscreen", "x11,wayland"));
    EXPECT_TRUE(IsUnrequestedHeadlessDriver("offscreen", "offscreenx"));
    EXPECT_FALSE(IsUnrequestedHeadlessDriver("offscreen", "offscreen"));
    EXPECT_FALSE(IsUnrequestedHeadlessDriver("dummy", "x11,DUMMY"));
    EXPECT_FALSE(IsUnrequestedHeadlessDriver("x11", nullptr));
    EXPECT_FALSE(IsUnrequestedHeadlessDriver("wayland", "dummy"));
    EXPECT_FALSE(IsUnrequestedHeadlessDriver(nullptr, nullptr));
}
