// The final line, formatted from the fighters and the blast pool.
#include "replay/final_line.h"

#include "rules/world_state.h"

std::string FinalLine(uint32_t frame) {
    std::string line = "final: " + std::to_string(frame);
    for (const Fighter& f : fighters) {
        for (const int32_t value : {f.x, f.y, f.state, f.health, f.ki, f.deaths}) {
            line += ' ';
            line += std::to_string(value);
        }
    }
    line += ' ';
    line += std::to_string(blastCount);
    return line;
}

WorldKills CountWorldKills() {
    return WorldKills{static_cast<uint32_t>(fighters[1].deaths),
                      static_cast<uint32_t>(fighters[0].deaths)};
}
