// The settings page's items and what changing each does.
#include "modes/settings_page.h"

#include <algorithm>
#include <cstdio>

#include "app/app_loop.h"
#include "app/menu_input.h"
#include "app/saved_settings.h"
#include "rules/match_rule.h"

namespace {

// The rule's kinds in the order left and right step through them.
constexpr uint8_t ruleKinds[] = {MatchFirstToKills, MatchTimeLimit, MatchEndless};
constexpr int32_t defaultMinutes = 3;

int32_t Step(uint32_t actions) {
    if ((actions & MenuLeft) != 0) {
        return -1;
    }
    return (actions & (MenuRight | MenuChoose)) != 0 ? 1 : 0;
}

MatchRule NextKind(const MatchRule& rule, int32_t step) {
    int32_t index = 0;
    for (int32_t i = 0; i < 3; ++i) {
        index = ruleKinds[i] == rule.kind ? i : index;
    }
    const uint8_t kind = ruleKinds[(index + 3 + step) % 3];
    if (kind == MatchFirstToKills) {
        return MatchRule{kind, defaultKillsToWin};
    }
    return kind == MatchTimeLimit ? MatchRule{kind, defaultMinutes} : MatchRule{};
}

}  // namespace

void SettingsPage::Open(AppLoop& app) {
    list.Clear();
    windowItem = list.Add("Window");
    volumeItem = list.Add("Volume");
    soundItem = list.Add("Sound");
    ruleItem = list.Add("Matches");
    valueItem = list.Add("");
    controlsItem = list.Add("Controls", "keys and pads");
    backItem = list.Add("Back");
    Refresh(app);
}

void SettingsPage::Refresh(AppLoop& app) {
    const PlayState& play = app.Play();
    const MatchRule rule = app.Settings().Values().rule.Checked();
    char text[MenuList::textSize];
    list.SetValue(windowItem, app.Windowed() ? "in a window" : "full screen");
    std::snprintf(text, sizeof text, "%d %%", play.volume);
    list.SetValue(volumeItem, text);
    list.SetValue(soundItem, play.muted ? "muted" : "on");
    switch (rule.kind) {
        case MatchFirstToKills:
            list.SetValue(ruleItem, "first to a score");
            list.SetLabel(valueItem, "Kills to win");
            std::snprintf(text, sizeof text, "%d", rule.value);
            break;
        case MatchTimeLimit:
            list.SetValue(ruleItem, "time limit");
            list.SetLabel(valueItem, "Minutes");
            std::snprintf(text, sizeof text, "%d", rule.value);
            break;
        default:
            list.SetValue(ruleItem, "endless");
            list.SetLabel(valueItem, "Ends");
            std::snprintf(text, sizeof text, "when a player leaves");
            break;
    }
    list.SetValue(valueItem, text);
}

SettingsPage::Result SettingsPage::Act(uint32_t actions, AppLoop& app) {
    list.Move(actions);
    const int32_t item = list.Selected();
    if ((actions & MenuBack) != 0 || (item == backItem && (actions & MenuChoose) != 0)) {
        return Back;
    }
    if (item == controlsItem && (actions & MenuChoose) != 0) {
        return Controls;
    }
    const int32_t step = Step(actions);
    if (step == 0 || item == controlsItem) {
        return Stay;
    }
    const PlayState& play = app.Play();
    const MatchRule rule = app.Settings().Values().rule.Checked();
    if (item == windowItem) {
        app.SetWindowed(!app.Windowed());
    } else if (item == volumeItem) {
        app.SetSound(std::clamp(play.volume + 10 * step, 0, 100), false);
    } else if (item == soundItem) {
        app.SetSound(play.volume, !play.muted);
    } else if (item == ruleItem) {
        app.Settings().NoteRule(NextKind(rule, step));
    } else if (item == valueItem && rule.kind != MatchEndless) {
        app.Settings().NoteRule(MatchRule{rule.kind, rule.value + step});
    }
    Refresh(app);
    return Stay;
}
