// The players' names on the screens of a match at one machine.
#include "app/mode_directory.h"

#include <cstdio>

void NameLocalPlayers(const MatchChoice& choice, MatchSummary& summary) {
    if (choice.kind == ChoiceComputer) {
        std::snprintf(summary.names[0], sizeof summary.names[0], "You");
        std::snprintf(summary.names[1], sizeof summary.names[1], "Computer (%s)",
                      ComputerLevelName(choice.computerLevel));
    } else {
        std::snprintf(summary.names[0], sizeof summary.names[0], "Left player");
        std::snprintf(summary.names[1], sizeof summary.names[1], "Right player");
    }
}
