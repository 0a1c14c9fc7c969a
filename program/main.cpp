// Kivoro's entry point. Everything the game owns is a global object; the
// start sequence and the frame loop are in game_loop.cpp, online play in
// online/, handed to it here.
#include "app/game_loop.h"
#include "online/headless_match.h"
#include "online/online_game.h"

namespace {

int Headless(const GameOptions& options) {
    return RunHeadlessMatch(options, stdout, stderr);
}

}  // namespace

int main(int argc, char** argv) {
    const OnlineEntry online{Headless, RunOnlineGame};
    return StartGame(argc, argv, &online);
}
