// JoinPage: the title menu's page for joining a game hosted on another
// machine: a text field for HOST or HOST:PORT, the last one used filled in.
#pragma once

#include <cstdint>
#include <string>

class AppLoop;
class MenuInput;
class Surface;

class JoinPage {
public:
    enum Result : uint8_t { Stay, Back, Join };

    // Opens the page with the last host joined.
    void Open(AppLoop& app);
    // Takes the frame's typing and actions. Join: Address() is the host to
    // join (remembered in the settings).
    Result Act(uint32_t actions, MenuInput& input, AppLoop& app);
    void Draw(Surface& back, int32_t top) const;

    const std::string& Address() const { return text; }
    const char* Note() const { return note; }

private:
    std::string text;
    const char* note = "";
};
