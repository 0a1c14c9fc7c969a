// The title menu: the attract loop behind it, the title, the pages.
#include "modes/menu_mode.h"

#include <cstdio>

#include "app/app_loop.h"
#include "app/game_view.h"
#include "app/overlay_view.h"
#include "app/painter.h"
#include "app/play_state.h"
#include "app/saved_settings.h"
#include "art/art_loading.h"
#include "engine/display/surface.h"
#include "platform/platform_objects.h"
#include "platform/screen_layout.h"
#include "replay/replay_list.h"
#include "replay/replay_path.h"
#include "rules/art_layout.h"
#include "sprites/rle_sprite.h"

namespace {

constexpr int32_t titleTop = 28;
constexpr int32_t pageTop = 200;
constexpr int32_t rowHeight = 40;
constexpr int32_t noteY = 530;
constexpr int32_t hintY = 566;
// The attract match: short, and a pause on its end before the next.
constexpr MatchRule attractRule{MatchFirstToKills, 3};
constexpr int32_t attractRestFrames = 120;
constexpr ComputerLevel attractLevel = ComputerLevel::Hard;

// The title, cut once a run from the generated art.
RleSprite titleSprite;
bool titleTried = false;

void LoadTitle() {
    if (titleTried) {
        return;
    }
    titleTried = true;
    if (CutSheet(&titleSprite, 1, titleWidth, titleHeight, 1, "TITLE.BMP", LoadColourKey(),
                 &screen) <= 0) {
        std::fprintf(stderr, "kivoro: cannot read TITLE.BMP; the menu shows its title as text\n");
    }
}

constexpr int32_t replaysShown = 8;

// One replay as the list shows it: "2026-12-08 17:03  4:05  3-5  local".
std::string ReplayLine(const ReplayListEntry& entry) {
    std::string start = ReplayStartText(entry);
    if (start.size() > 16) {
        start.resize(16);  // without the seconds
    }
    std::string line = start + "   " + ReplayLengthText(entry.summary.frames) + "   " +
                       ReplayKillsText(entry.summary.header) + "   ";
    switch (entry.summary.header.match.kind) {
        case MatchComputer:
            line += "computer";
            break;
        case MatchOnline:
            line += "online";
            break;
        case MatchLocal:
            line += "two players";
            break;
        default:
            line += "?";
            break;
    }
    if (entry.summary.state != ReplayListFinished) {
        line += std::string(" (") + ReplayStateName(entry.summary.state) + ")";
    }
    return line;
}

enum MainItem : int32_t {
    ItemTwoPlayers,
    ItemComputer,
    ItemHost,
    ItemJoin,
    ItemReplays,
    ItemSettings,
    ItemQuit,
};

}  // namespace

MenuMode::MenuMode(ModeDirectory& directory) : directory(directory) {}

MenuMode::~MenuMode() = default;

uint32_t MenuMode::Comforts() const {
    // While a new key is awaited (and its messages may still come) the
    // game's own keys only say why they cannot be bound.
    if (page == PageControls && controls.TakingAKey()) {
        return 0;
    }
    return CommandMute | CommandVolumeDown | CommandVolumeUp | CommandWindowMode;
}

void MenuMode::Enter(AppLoop& app) {
    LoadTitle();
    soundDevice.PauseOutput(false);
    menuInput.Reset(&app.Players().Pads());
    StartAttract();
    Show(PageMain, app);
}

void MenuMode::Leave(AppLoop&) {
    attract.Finish();
}

void MenuMode::Message(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    menuInput.Message(message, wParam, lParam);
}

void MenuMode::StartAttract() {
    attractPlayers[0] = directory.ComputerPlayer(0, attractLevel, attractSeed * 2 + 1);
    attractPlayers[1] = directory.ComputerPlayer(1, attractLevel, attractSeed * 2 + 2);
    ++attractSeed;
    MatchSetup setup;
    setup.record = false;
    setup.silent = true;
    setup.rule = attractRule;
    attract.Start(*attractPlayers[0], *attractPlayers[1], setup, stderr);
    attractRest = attractRestFrames;
}

void MenuMode::StepAttract() {
    if (!attract.Outcome().decided) {
        attract.Step();
    } else if (--attractRest <= 0) {
        StartAttract();
    }
}

void MenuMode::Show(Page next, AppLoop& app) {
    page = next;
    note = "";
    list.Clear();
    switch (page) {
        case PageMain:
            list.Add("Two players");
            list.Add("Against the computer");
            list.Add("Host online");
            list.Add("Join online");
            list.Add("Replays");
            list.Add("Settings");
            list.Add("Quit");
            break;
        case PageComputer:
            list.Add("Easy");
            list.Add("Normal");
            list.Add("Hard");
            list.Select(1);
            break;
        case PageJoin:
            menuInput.TakeTyped();
            join.Open(app);
            break;
        case PageReplays:
            replayPaths.clear();
            for (const ReplayListEntry& entry : ReadReplayList(ReplayFolder())) {
                if (static_cast<int32_t>(replayPaths.size()) == replaysShown) {
                    break;
                }
                list.Add(ReplayLine(entry).c_str());
                replayPaths.push_back(entry.path);
            }
            if (replayPaths.empty()) {
                note = "No replays kept yet: every match you play is kept here.";
            }
            break;
        case PageSettings:
            settings.Open(app);
            break;
        case PageControls:
            controls.Open(app);
            break;
    }
}

void MenuMode::Frame(AppLoop& app, const FrameInput& input) {
    const uint32_t actions = menuInput.Frame(input.active ? &app.Players().Pads() : nullptr);
    StepAttract();
    Act(actions, input.active ? app.Players().Keys() : nullptr, app);
    // The match behind moves every frame but is drawn every third one (20 a
    // second, enough for a dimmed background): a picture that changes all
    // over costs its conversion and scaling on every present. What the
    // player does is drawn at once, a key pressed for the controls page too.
    drawCountdown = drawCountdown > 0 ? drawCountdown - 1 : 2;
    if (actions != 0 || (input.changes & (PlayChangeCover | PlayChangeSound)) != 0 ||
        drawCountdown == 0 || (page == PageControls && controls.TakingAKey())) {
        Draw(app);
        DrawVolumeNote(app.Play());
    }
}

void MenuMode::Act(uint32_t actions, const uint8_t* keys, AppLoop& app) {
    switch (page) {
        case PageMain:
            list.Move(actions);
            if ((actions & MenuChoose) != 0) {
                ActOnMain(app);
            } else if ((actions & MenuBack) != 0) {
                list.Select(ItemQuit);
            }
            break;
        case PageComputer:
            list.Move(actions);
            if ((actions & MenuChoose) != 0) {
                MatchChoice choice;
                choice.kind = ChoiceComputer;
                choice.computerLevel = static_cast<ComputerLevel>(list.Selected());
                choice.rule = app.Settings().Values().rule;
                app.SwitchTo(directory.Play(choice));
            } else if ((actions & MenuBack) != 0) {
                Show(PageMain, app);
                list.Select(ItemComputer);
            }
            break;
        case PageJoin:
            switch (join.Act(actions, menuInput, app)) {
                case JoinPage::Back:
                    Show(PageMain, app);
                    list.Select(ItemJoin);
                    break;
                case JoinPage::Join: {
                    MatchChoice choice;
                    choice.kind = ChoiceJoin;
                    choice.host = join.Address();
                    choice.rule = app.Settings().Values().rule;
                    app.SwitchTo(directory.Play(choice));
                    break;
                }
                default:
                    break;
            }
            break;
        case PageReplays:
            list.Move(actions);
            if ((actions & MenuChoose) != 0 && !replayPaths.empty()) {
                ActOnReplays(app);
            } else if ((actions & MenuBack) != 0) {
                Show(PageMain, app);
                list.Select(ItemReplays);
            }
            break;
        case PageSettings:
            switch (settings.Act(actions, app)) {
                case SettingsPage::Back:
                    Show(PageMain, app);
                    list.Select(ItemSettings);
                    break;
                case SettingsPage::Controls:
                    Show(PageControls, app);
                    break;
                default:
                    break;
            }
            break;
        case PageControls:
            if (controls.Act(actions, keys, menuInput, app) == ControlsPage::Back) {
                Show(PageSettings, app);
                settings.SelectControls();
            }
            break;
    }
}

void MenuMode::ActOnMain(AppLoop& app) {
    MatchChoice choice;
    choice.rule = app.Settings().Values().rule;
    switch (list.Selected()) {
        case ItemTwoPlayers:
            choice.kind = ChoiceTwoPlayers;
            app.SwitchTo(directory.Play(choice));
            break;
        case ItemComputer:
            Show(PageComputer, app);
            break;
        case ItemHost:
            choice.kind = ChoiceHost;
            app.SwitchTo(directory.Play(choice));
            break;
        case ItemJoin:
            Show(PageJoin, app);
            break;
        case ItemReplays:
            Show(PageReplays, app);
            break;
        case ItemSettings:
            Show(PageSettings, app);
            break;
        default:
            app.Quit(0);
            break;
    }
}

void MenuMode::ActOnReplays(AppLoop& app) {
    const auto chosen = static_cast<size_t>(list.Selected());
    if (chosen < replayPaths.size()) {
        app.SwitchTo(directory.Replay(replayPaths[chosen]));
    }
}

void MenuMode::Draw(const AppLoop&) const {
    Surface* back = screen.backSurface;
    if (back == nullptr) {
        return;
    }
    // The computer's match behind, at a quarter of its brightness.
    DrawViews();
    if (back->Lock() == 0) {
        DimRows(*back, 0, viewRows);
        DimRows(*back, 0, viewRows);
        if (titleSprite.rleData != nullptr) {
            screen.clip = pictureClip;
            titleSprite.Draw((pictureWidth - titleWidth) / 2, titleTop);
        }
        back->Unlock();
    }
    if (titleSprite.rleData == nullptr) {
        DrawCentred(*back, "KIVORO", pictureWidth / 2, titleTop + 40, textYellow, HeadingFont());
    }
    switch (page) {
        case PageJoin:
            join.Draw(*back, pageTop);
            break;
        case PageSettings:
            settings.List().Draw(*back, pictureWidth / 2, pageTop, rowHeight);
            break;
        case PageControls:
            controls.Draw(*back, pageTop - 10);
            break;
        case PageComputer:
            DrawCentred(*back, "Against the computer: how good should it be?", pictureWidth / 2,
                        pageTop - 36, textGrey);
            list.Draw(*back, pictureWidth / 2, pageTop + 10, rowHeight);
            break;
        default:
            list.Draw(*back, pictureWidth / 2, pageTop, rowHeight);
            break;
    }
    const char* line = page == PageJoin       ? join.Note()
                       : page == PageControls ? controls.Note()
                                              : note;
    if (line[0] != '\0') {
        DrawCentred(*back, line, pictureWidth / 2, noteY, textYellow);
    }
    const char* hint = page == PageJoin
                           ? "Type HOST[:PORT] or pick a game found, Enter joins, Esc goes back"
                       : page == PageControls ? controls.Hint()
                                              : "Arrows move, Enter chooses, Esc goes back";
    DrawCentred(*back, hint, pictureWidth / 2, hintY, textGrey);
}
