// MenuMode: the title menu. Behind it the computer plays the computer (the
// attract loop); over it the title and one page at a time: the main list
// (two players, against the computer, host online, join online, replays,
// settings, quit), the computer's level, the host to join, the replays kept,
// the settings and the controls. Driven by the arrows, Enter and Escape, or any pad's d-pad or
// stick, A and B.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/match.h"
#include "app/menu_input.h"
#include "app/menu_list.h"
#include "app/mode.h"
#include "app/mode_directory.h"
#include "modes/controls_page.h"
#include "modes/join_page.h"
#include "modes/settings_page.h"
#include "rules/control_source.h"

class MenuMode : public Mode {
public:
    enum Page : uint8_t {
        PageMain,
        PageComputer,
        PageJoin,
        PageReplays,
        PageSettings,
        PageControls
    };

    explicit MenuMode(ModeDirectory& directory);
    ~MenuMode() override;

    void Enter(AppLoop& app) override;
    void Frame(AppLoop& app, const FrameInput& input) override;
    void Leave(AppLoop& app) override;
    void Message(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
    uint32_t Comforts() const override;
    bool ReadsPlayers() const override { return true; }

    Page CurrentPage() const { return page; }
    const MenuList& List() const { return list; }

private:
    void Show(Page next, AppLoop& app);
    void Act(uint32_t actions, const uint8_t* keys, AppLoop& app);
    void ActOnMain(AppLoop& app);
    void ActOnReplays(AppLoop& app);
    void StartAttract();
    void StepAttract();
    void Draw(const AppLoop& app) const;

    ModeDirectory& directory;
    Page page = PageMain;
    MenuList list;
    MenuInput menuInput;
    SettingsPage settings;
    ControlsPage controls;
    JoinPage join;
    std::vector<std::string> replayPaths;
    const char* note = "";  // a line under the page (why a choice could not be made)

    // The attract loop: a silent, unrecorded match of two computer players.
    std::unique_ptr<ControlSource> attractPlayers[2];
    Match attract;
    uint32_t attractSeed = 1;
    int32_t attractRest = 0;    // frames the decided attract match still shows
    int32_t drawCountdown = 0;  // frames until the picture is drawn again
};
