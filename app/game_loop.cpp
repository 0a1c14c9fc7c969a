// Start-up, the window procedure and the frame loop. One frame per pass: one
// window message, the keys and pads, the comforts, the rules, the picture,
// the present.
#include "app/game_loop.h"

#include <cstdio>

#include "app/overlay_view.h"
#include "app/play_frame.h"
#include "app/play_state.h"
#include "app/player_input.h"
#include "app/replay_loop.h"
#include "app/replay_playback.h"
#include "app/window_mode.h"
#include "art/art_digest.h"
#include "engine/display/app_window.h"
#include "engine/display/desktop.h"
#include "engine/display/screen.h"
#include "engine/display/window_messages.h"
#include "engine/input/gamepad_set.h"
#include "engine/input/input_device.h"
#include "engine/sound/sound_device.h"
#include "platform/platform_objects.h"
#include "platform/screen_layout.h"
#include "platform/set_up_world.h"
#include "replay/match_recorder.h"
#include "rules/world_digest.h"
#include "settings/game_options.h"
#include "settings/settings_file.h"

namespace {

// Passes of the loop (a display refresh each) the focus may be away before
// the game pauses: a quarter of a second at 60 Hz.
constexpr int32_t focusGracePasses = 15;

GamePadSet gamePads;
PlayerInput playerInput;
PlayState playState;
MatchRecorder matchRecorder;
ReplayPlayback replayPlayback;
// Commands collected by the window procedure for the next frame.
uint32_t pendingCommands = 0;
int32_t inactivePasses = 0;
bool windowed = false;

// What the settings file holds, kept up to date with what the player changes
// in play; the command line's choices for this run are not among them.
Settings savedSettings;
char settingsPath[settingsPathSize] = {};
bool settingsWriteReported = false;
// The player resized the window of its own since the settings were last
// written; written once the window is gone, not on every step of a drag.
bool windowSizeChanged = false;

void SaveSettings() {
    if (settingsPath[0] == '\0' || WriteSettingsFile(settingsPath, savedSettings)) {
        return;
    }
    if (!settingsWriteReported) {
        settingsWriteReported = true;
        std::fprintf(stderr, "kivoro: cannot save the settings to %s\n", settingsPath);
    }
}

// The size the player gives the window of its own is remembered in the settings.
void NoteWindowSize(intptr_t lParam) {
    if (NoteOwnWindowSize(windowed, lParam, &savedSettings.windowWidth,
                          &savedSettings.windowHeight)) {
        windowSizeChanged = true;
    }
}

void SaveWindowSize() {
    if (windowSizeChanged) {
        windowSizeChanged = false;
        SaveSettings();
    }
}

// The window mode and the sound settings the player changed last until the
// next run too.
void ActOnChanges(uint32_t changes) {
    if ((changes & PlayChangeWindowMode) != 0) {
        windowed = !windowed;
        ShowWindowed(windowed);
        savedSettings.windowed = windowed;
    }
    if ((changes & PlayChangeSound) != 0) {
        savedSettings.volume = playState.volume;
        savedSettings.muted = playState.muted;
    }
    if ((changes & (PlayChangeWindowMode | PlayChangeSound)) != 0) {
        SaveSettings();
    }
}

// Online play's comforts: the frame's mute, volume and window-mode keys; the
// pause and the help are dropped, as is a lost focus (the match goes on).
uint32_t ApplyOnlineComforts() {
    const uint32_t commands =
        pendingCommands & (CommandMute | CommandVolumeDown | CommandVolumeUp | CommandWindowMode);
    pendingCommands = 0;
    const uint32_t changes = playState.Apply(commands);
    if ((changes & PlayChangeSound) != 0) {
        soundDevice.SetMasterVolume(playState.volume, playState.muted);
    }
    ActOnChanges(changes);
    return changes;
}

}  // namespace

intptr_t GameWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    appWindow.RecordMessage(message, wParam, lParam);
    if (appWindow.lastKeyDown == VK_ESCAPE) {
        appWindow.Destroy();
    }
    pendingCommands |= CommandsFromMessage(message, wParam, lParam);
    if (message == WM_SIZE) {
        NoteWindowSize(lParam);
    }
    return DefaultWindowProc(window, message, wParam, lParam);
}

bool RunGame(const std::string& recordPath) {
    SetUpWorld();
    matchRecorder.Start(recordPath, ArtDigest(), stderr);
    for (;;) {
        if (!appWindow.PumpMessage()) {
            // Every way the window goes (Escape, a close request, SIGINT and
            // SIGTERM, which SDL turns into a quit request) ends here, so the
            // replay is completed on all of them.
            matchRecorder.Finish(DigestRules());
            SaveWindowSize();
            return false;
        }
        uint32_t commands = pendingCommands;
        pendingCommands = 0;
        // Nothing is read or stepped while the window is inactive, and the
        // loop sleeps until the display's next refresh rather than spin a
        // processor core. A focus that stays away pauses the game, shown
        // paused; one that comes back at once (a window manager handing the
        // window over as it changes modes) changes nothing.
        if (!appWindow.active) {
            if (++inactivePasses == focusGracePasses) {
                commands |= CommandFocusLost;
            }
            if (commands != 0) {
                ActOnChanges(PlayFrame(playState, commands, 0, 0, &matchRecorder));
                screen.Present(0);
            }
            screen.WaitVerticalBlank();
            continue;
        }
        inactivePasses = 0;
        input.Update();
        gamePads.Update();
        const PlayerInput::Frame frame = playerInput.Read(input.keys, gamePads);
        const uint32_t changes =
            PlayFrame(playState, commands | (frame.startPressed ? CommandPause : 0u),
                      frame.controls[0], frame.controls[1], &matchRecorder);
        playerInput.RumbleOnHits(gamePads, fighters);
        ActOnChanges(changes);
        screen.Present(0);
    }
}

int StartGame(int argc, const char* const* argv, const OnlineEntry* online) {
    GameOptions options;
    const int parsed = ParseGameOptions(argc, argv, options, stdout, stderr);
    if (parsed != optionsPlay) {
        return parsed;
    }
    const bool onlineMatch = options.online.role != OnlineNone;
    if (onlineMatch && online == nullptr) {
        std::fprintf(stderr, "kivoro: this program was built without online play\n");
        return optionsExitBadOptions;
    }
    if (onlineMatch && options.online.headless) {
        return online->headless(options);
    }
    // A replay that cannot be played is said before any window opens.
    const bool replaying = !options.replay.empty();
    if (replaying && !replayPlayback.Load(options.replay, stderr)) {
        return 1;
    }
    Settings settings;
    if (SettingsFilePath(settingsPath, sizeof settingsPath)) {
        ReadSettingsFile(settingsPath, settings, stderr);
    }
    savedSettings = settings;
    windowed = options.window == WindowChoiceWindowed ||
               (options.window == WindowChoiceSettings && settings.windowed);
    SetOwnWindowSize(settings.windowWidth, settings.windowHeight);
    playState.volume = settings.volume;
    playState.muted = settings.muted || options.mute;

    // Windowed, the window is made where it will stay, so that leaving the
    // mode set's full screen puts it there at once.
    const DisplaySize desktop = PrimaryDisplaySize();
    DisplayArea area{0, 0, desktop.width, desktop.height};
    if (windowed) {
        area = OwnWindowArea(UsableDisplayArea(), pictureWidth, pictureHeight, settings.windowWidth,
                             settings.windowHeight);
    }
    if (!appWindow.CreateWithProc("Kivoro", nullptr, replaying ? ReplayWindowProc : GameWindowProc,
                                  windowed ? WS_OVERLAPPEDWINDOW : WS_POPUP, area.x, area.y,
                                  area.width, area.height)) {
        std::fprintf(stderr,
                     "kivoro: cannot open a window: no display is available "
                     "(is DISPLAY set, or a desktop session running?)\n");
        return 1;
    }
    ShowGameIcon();
    ShowCursor(false);
    screen.Open();
    const int mode =
        screen.SetFullScreenMode(0, appWindow.window, pictureWidth, pictureHeight, pictureBits);
    if (mode != 0) {
        std::fprintf(stderr, "kivoro: cannot show the %d x %d display (code %d)\n", pictureWidth,
                     pictureHeight, mode);
        appWindow.Destroy();
        return 1;
    }
    if (soundDevice.Create(appWindow.window) != 0) {
        std::fprintf(stderr, "kivoro: no sound device; playing without sound\n");
    }
    soundDevice.SetMasterVolume(playState.volume, playState.muted);
    input.InitForWindow(&appWindow);
    gamePads.Open();
    playerInput.SetBindings(settings.keys);
    if (windowed) {
        ShowWindowed(true);
    }
    PrepareOverlays(settings.keys);
    if (onlineMatch) {
        LocalDevices devices{gamePads, playerInput, playState, ApplyOnlineComforts};
        return online->windowed(options, devices);
    }
    if (replaying) {
        RunReplay(replayPlayback, playState, ActOnChanges);
    } else {
        RunGame(options.record);
    }
    return 0;
}
