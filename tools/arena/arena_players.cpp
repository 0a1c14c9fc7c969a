// Player names to players.
#include "tools/arena/arena_players.h"

#include "ai/computer_player.h"
#include "tools/arena/aggressor_player.h"
#include "tools/arena/pipe_player.h"
#include "tools/arena/script_player.h"

namespace {

class IdlePlayer : public ControlSource {
public:
    uint8_t Controls(int32_t) override { return 0; }
};

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// Two players given the same arena seed still play differently.
uint64_t SideSeed(uint64_t seed, int32_t fighterIndex) {
    return seed * 2 + static_cast<uint64_t>(fighterIndex) + 1;
}

bool MakeComputer(const std::string& rest, int32_t fighterIndex, uint64_t seed, ArenaPlayer* player,
                  std::string* error) {
    const size_t colon = rest.find(':');
    const std::string levelName = rest.substr(0, colon);
    ComputerLevel level = ComputerLevel::Normal;
    if (!ParseComputerLevel(levelName, &level)) {
        *error = "\"" + levelName + "\" is not a level (easy, normal or hard)";
        return false;
    }
    uint64_t own = SideSeed(seed, fighterIndex);
    if (colon != std::string::npos) {
        const std::string seedText = rest.substr(colon + 1);
        if (!ParseArenaNumber(seedText, UINT64_MAX, &own)) {
            *error = "\"" + seedText + "\" is not a seed (a decimal number)";
            return false;
        }
    }
    player->source = std::make_unique<ComputerPlayer>(fighterIndex, level, own);
    return true;
}

}  // namespace

bool ParseArenaNumber(const std::string& text, uint64_t limit, uint64_t* value) {
    if (text.empty() || text.size() > 20) {
        return false;
    }
    uint64_t number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        const auto digit = static_cast<uint64_t>(c - '0');
        if (number > (limit - digit) / 10) {
            return false;
        }
        number = number * 10 + digit;
    }
    *value = number;
    return true;
}

bool MakeArenaPlayer(const std::string& name, int32_t fighterIndex, uint64_t seed,
                     int32_t timeoutMs, ArenaPlayer* player, std::string* error) {
    player->name = name;
    player->pipe = nullptr;
    if (name == "idle") {
        player->source = std::make_unique<IdlePlayer>();
        return true;
    }
    if (name == "aggressor") {
        player->source =
            std::make_unique<AggressorPlayer>(fighterIndex, SideSeed(seed, fighterIndex));
        return true;
    }
    if (StartsWith(name, "computer:")) {
        return MakeComputer(name.substr(9), fighterIndex, seed, player, error);
    }
    if (StartsWith(name, "script:") && name.size() > 7) {
        auto script = std::make_unique<ScriptPlayer>();
        if (!script->Load(name.substr(7), error)) {
            return false;
        }
        player->source = std::move(script);
        return true;
    }
    if (StartsWith(name, "pipe:") && name.size() > 5) {
        auto pipe = std::make_unique<PipePlayer>(fighterIndex, timeoutMs);
        if (!pipe->Start(name.substr(5), error)) {
            return false;
        }
        player->pipe = pipe.get();
        player->source = std::move(pipe);
        return true;
    }
    *error = "\"" + name +
             "\" is not a player (computer:LEVEL[:SEED], idle, script:FILE, pipe:COMMAND or "
             "aggressor)";
    return false;
}
