// Kivoro's entry point (start_game.h says what the program does).
#include "program/start_game.h"

int main(int argc, char** argv) {
    return StartGame(argc, argv);
}
