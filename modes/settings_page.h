// SettingsPage: the title menu's settings: the window mode, the volume and
// mute, and the rule of the matches started from the menu. Left and right
// change the chosen item; every change is shown and saved at once.
#pragma once

#include <cstdint>

#include "app/menu_list.h"

class AppLoop;

class SettingsPage {
public:
    // Fills the list from what the loop holds now.
    void Open(AppLoop& app);
    // Up and down move, left and right (or Enter) change. Answers true when
    // the player chose Back.
    bool Act(uint32_t actions, AppLoop& app);

    const MenuList& List() const { return list; }

private:
    void Refresh(AppLoop& app);

    MenuList list;
    int32_t windowItem = -1;
    int32_t volumeItem = -1;
    int32_t soundItem = -1;
    int32_t ruleItem = -1;
    int32_t valueItem = -1;
    int32_t backItem = -1;
};
