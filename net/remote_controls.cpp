// The other side's bytes, known or predicted, from the session's frames.
#include "net/remote_controls.h"

#include "net/rollback_session.h"

bool RemoteControls::Predicted(int32_t frame) const {
    return frame >= session.remoteKnownEnd;
}

uint8_t RemoteControls::Controls(int32_t frame) {
    if (!Predicted(frame)) {
        return session.slots[frame % RollbackSession::ringSize].remote;
    }
    const int32_t last = session.remoteKnownEnd - 1;
    return last >= 0 ? session.slots[last % RollbackSession::ringSize].remote : uint8_t{0};
}
