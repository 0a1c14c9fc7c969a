// ScriptControls: one player's control bytes from a script, one a frame, and
// nothing pressed past its end.
#pragma once

#include <cstdint>
#include <vector>

#include "rules/control_source.h"

class ScriptControls : public ControlSource {
public:
    explicit ScriptControls(std::vector<uint8_t> bytes) : bytes(std::move(bytes)) {}

    uint8_t Controls(int32_t frame) override {
        return frame >= 0 && static_cast<size_t>(frame) < bytes.size()
                   ? bytes[static_cast<size_t>(frame)]
                   : uint8_t{0};
    }
    int32_t Length() const { return static_cast<int32_t>(bytes.size()); }

private:
    std::vector<uint8_t> bytes;
};
