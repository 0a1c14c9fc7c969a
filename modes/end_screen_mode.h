// EndScreenMode: a decided match's end over its frozen, dimmed picture: the
// winner, and for both players their kills, deaths, blasts released, hits
// landed, accuracy and damage dealt; then Rematch or Menu.
#pragma once

#include "app/menu_input.h"
#include "app/mode.h"
#include "app/mode_directory.h"

class EndScreenMode : public Mode {
public:
    EndScreenMode(ModeDirectory& directory, const MatchChoice& choice, const MatchSummary& summary);

    void Enter(AppLoop& app) override;
    void Frame(AppLoop& app, const FrameInput& input) override;
    void Leave(AppLoop& app) override;
    void Message(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
    uint32_t Comforts() const override;
    bool ReadsPlayers() const override { return true; }

    // 0: Rematch, 1: Menu.
    int32_t Selected() const { return selected; }

private:
    void Draw() const;

    ModeDirectory& directory;
    MatchChoice choice;
    MatchSummary summary;
    MenuInput menuInput;
    int32_t selected = 0;
};

// The end screen's title: "Left player wins", "Melsar wins", "A draw", or
// "You win" for the player named "You" or the side this machine played.
void DescribeWinner(const MatchSummary& summary, char* text, int32_t size);
