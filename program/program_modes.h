// ProgramModes: every mode the program can run, made on request, for the
// title menu and the screens that follow it (mode_directory.h).
#pragma once

#include "app/local_input.h"
#include "app/mode_directory.h"
#include "settings/game_options.h"

class ProgramModes : public ModeDirectory {
public:
    // The players at this machine; options as the command line gave them
    // (the online options that go with --host and --join).
    ProgramModes(LocalInput& players, const GameOptions& options);

    std::unique_ptr<Mode> Menu() override;
    std::unique_ptr<Mode> Play(const MatchChoice& choice) override;
    std::unique_ptr<Mode> EndScreen(const MatchChoice& choice,
                                    const MatchSummary& summary) override;
    std::unique_ptr<Mode> Replay(const std::string& path) override;
    std::unique_ptr<ControlSource> ComputerPlayer(int32_t fighter, ComputerLevel level,
                                                  uint32_t seed) override;

private:
    LocalInput& players;
    GameOptions options;
    uint32_t matches = 0;  // matches started: each computer player gets a seed of its own
};
