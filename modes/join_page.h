// JoinPage: the title menu's page for joining a game hosted on another
// machine: a text field for HOST or HOST:PORT, the last one used filled in,
// and below it the games found waiting on the local network (LanDiscovery),
// refreshed every second. Up and down pick a game found, Enter joins it;
// typing goes back to the field.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "net/lan_discovery.h"

class AppLoop;
class MenuInput;
class Surface;

class JoinPage {
public:
    enum Result : uint8_t { Stay, Back, Join };

    // Games listed at most; more are found but not shown.
    static constexpr int32_t gamesShown = 5;

    // Opens the page with the last host joined and starts looking for games
    // on the default port.
    void Open(AppLoop& app);
    // Takes the frame's typing and actions, and the answers that came. Join:
    // Address() is the host to join (remembered in the settings). Back and
    // Join stop looking.
    Result Act(uint32_t actions, MenuInput& input, AppLoop& app);
    void Draw(Surface& back, int32_t top) const;

    const std::string& Address() const { return address; }
    const char* Note() const { return note; }
    // The row of the game picked, or -1 while the text field is.
    int32_t Chosen() const { return chosen; }
    // The search behind the list (a test points it at a host of its own).
    LanDiscovery& Discovery() { return discovery; }

private:
    // Up and down, between the field (-1) and the games listed.
    void Move(uint32_t actions);
    Result JoinChosen(AppLoop& app);
    uint32_t NowMs() const;

    std::string text;
    std::string address;
    const char* note = "";
    LanDiscovery discovery;
    std::chrono::steady_clock::time_point opened;
    int32_t chosen = -1;
    uint32_t chosenInstance = 0;
};
