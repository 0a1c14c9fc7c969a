// The end screen: its table, its two choices.
#include "modes/end_screen_mode.h"

#include "app/app_loop.h"
#include "app/match_summary_view.h"
#include "app/overlay_view.h"
#include "app/painter.h"
#include "app/play_state.h"
#include "engine/display/surface.h"
#include "platform/platform_objects.h"
#include "platform/screen_layout.h"

namespace {

constexpr int32_t choiceX[2] = {pictureWidth / 2 - 90, pictureWidth / 2 + 90};
constexpr const char* choiceNames[2] = {"Rematch", "Menu"};

}  // namespace

EndScreenMode::EndScreenMode(ModeDirectory& directory, const MatchChoice& choice,
                             const MatchSummary& summary)
    : directory(directory), choice(choice), summary(summary) {}

uint32_t EndScreenMode::Comforts() const {
    return CommandMute | CommandVolumeDown | CommandVolumeUp | CommandWindowMode;
}

void EndScreenMode::Enter(AppLoop& app) {
    menuInput.Reset(&app.Players().Pads());
    selected = 0;
    Draw();
}

void EndScreenMode::Message(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    menuInput.Message(message, wParam, lParam);
}

void EndScreenMode::Frame(AppLoop& app, const FrameInput& input) {
    const uint32_t actions = menuInput.Frame(input.active ? &app.Players().Pads() : nullptr);
    if ((actions & MenuBack) != 0) {
        app.SwitchTo(directory.Menu());
        return;
    }
    if ((actions & MenuChoose) != 0) {
        app.SwitchTo(selected == 0 ? directory.Play(choice) : directory.Menu());
        return;
    }
    const int32_t before = selected;
    if ((actions & (MenuLeft | MenuUp)) != 0) {
        selected = 0;
    } else if ((actions & (MenuRight | MenuDown)) != 0) {
        selected = 1;
    }
    if (selected != before || (input.changes & (PlayChangeCover | PlayChangeSound)) != 0) {
        Draw();
        DrawVolumeNote(app.Play());
    }
}

void EndScreenMode::Leave(AppLoop&) {
    soundDevice.PauseOutput(false);
}

void EndScreenMode::Draw() const {
    Surface* back = screen.backSurface;
    if (back == nullptr) {
        return;
    }
    DrawMatchSummary(*back, summary, "Arrows choose, Enter confirms, Esc goes to the menu");
    for (int32_t choice = 0; choice < 2; ++choice) {
        const int32_t width = TextWidth(LargeFont(), choiceNames[choice]);
        const int32_t left = choiceX[choice] - width / 2;
        if (choice == selected) {
            FillBox(*back, left - 14, summaryFreeRowY - 6, left + width + 14,
                    summaryFreeRowY + largeTextHeight + 8, 0x30, 0x60, 0xC0);
        }
        back->DrawText(choiceNames[choice], left, summaryFreeRowY, textWhite, LargeFont());
    }
}
