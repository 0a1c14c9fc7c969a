// RemoteControls: the other side of an online match as a control source. For
// a frame whose byte has arrived it is that byte; past what has arrived it is
// a prediction, the byte the other player held last (0 before any), which the
// session corrects by a rollback once the real byte comes.
#pragma once

#include <cstdint>

#include "rules/control_source.h"

class RollbackSession;

class RemoteControls : public ControlSource {
public:
    explicit RemoteControls(const RollbackSession& session) : session(session) {}

    uint8_t Controls(int32_t frame) override;
    // Whether Controls(frame) is a prediction.
    bool Predicted(int32_t frame) const;

private:
    const RollbackSession& session;
};
