// ScriptPlayer: a side played from a file of control bytes, one decimal byte
// a line (the online headless script's form); past its end it presses nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rules/control_source.h"

class ScriptPlayer : public ControlSource {
public:
    ScriptPlayer() = default;
    ~ScriptPlayer() override = default;

    // Reads the file. False, with one line on what is wrong in *error, when it
    // cannot be read or holds a bad line.
    bool Load(const std::string& path, std::string* error);

    uint8_t Controls(int32_t frame) override;

private:
    std::vector<uint8_t> bytes;
};
