// MessageMode: a screen that tells the player something went wrong, where
// they look rather than only on standard error: a heading, a few lines, and
// what Enter and Escape do (go on to another mode, or quit).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/menu_input.h"
#include "app/mode.h"

class MessageMode : public Mode {
public:
    // After Enter (or a pad's A) the loop goes on with onChoose, after
    // Escape (B) with onBack; a null mode quits with quitStatus. The two
    // hints name what each key does ("play without it", "quit").
    MessageMode(std::string heading, std::vector<std::string> lines, std::unique_ptr<Mode> onChoose,
                const char* chooseHint, std::unique_ptr<Mode> onBack, const char* backHint,
                int quitStatus = 0);

    void Enter(AppLoop& app) override;
    void Frame(AppLoop& app, const FrameInput& input) override;
    void Leave(AppLoop&) override {}
    void Message(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
    uint32_t Comforts() const override;
    bool ReadsPlayers() const override { return true; }

private:
    void Draw() const;
    void Follow(AppLoop& app, std::unique_ptr<Mode>& next);

    std::string heading;
    std::vector<std::string> lines;
    std::unique_ptr<Mode> onChoose;
    std::unique_ptr<Mode> onBack;
    std::string hint;
    int quitStatus;
    MenuInput menuInput;
};
