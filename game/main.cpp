// Kivoro's entry point. Everything the game owns is a global object; the
// start sequence and the frame loop are in game_loop.cpp.
#include "game/game_loop.h"

int main(int argc, char** argv) {
    return StartGame(argc, argv);
}
