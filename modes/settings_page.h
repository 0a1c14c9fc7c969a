// SettingsPage: the title menu's settings: the window mode, the volume and
// mute, the rule of the matches started from the menu, and the way to the
// players' controls (ControlsPage). Left and right change the chosen item;
// every change is shown and saved at once.
#pragma once

#include <cstdint>

#include "app/menu_list.h"

class AppLoop;

class SettingsPage {
public:
    // Fills the list from what the loop holds now.
    void Open(AppLoop& app);
    enum Result : uint8_t { Stay, Back, Controls };

    // Up and down move, left and right (or Enter) change. Back: the player
    // chose Back (or Escape); Controls: the controls' page.
    Result Act(uint32_t actions, AppLoop& app);
    // The choice on the way to the controls (as the page is opened again).
    void SelectControls() { list.Select(controlsItem); }

    const MenuList& List() const { return list; }

private:
    void Refresh(AppLoop& app);

    MenuList list;
    int32_t windowItem = -1;
    int32_t volumeItem = -1;
    int32_t soundItem = -1;
    int32_t ruleItem = -1;
    int32_t valueItem = -1;
    int32_t controlsItem = -1;
    int32_t backItem = -1;
};
