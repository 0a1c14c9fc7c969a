// Feeds arbitrary bytes to the discovery decoders, as the network would: a
// host reads queries, the join page reads answers. Whatever either accepts
// must encode back to exactly the bytes it was given (each message has one
// spelling), must start as discovery messages do, and an answer's name must
// be printable: so a decoder that reads a field wrongly or lets a bad one
// through shows up here as well as under the sanitizers.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "net/lan_message.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    uint8_t out[lanQuerySize > lanAnswerMaxSize ? lanQuerySize : lanAnswerMaxSize];
    LanQuery query;
    if (DecodeLanQuery(data, size, &query)) {
        if (!IsLanMessage(data, size) || EncodeLanQuery(query, out, sizeof out) != size ||
            std::memcmp(out, data, size) != 0) {
            std::abort();
        }
        // A host judges every asker; a judgement is one of the four.
        if (JudgeLanIdentity(LocalLanIdentity(), query.identity) > lastLanVerdict) {
            std::abort();
        }
    }
    LanAnswer answer;
    if (DecodeLanAnswer(data, size, &answer)) {
        if (!IsLanMessage(data, size) || EncodeLanAnswer(answer, out, sizeof out) != size ||
            std::memcmp(out, data, size) != 0 || std::strlen(answer.name) != answer.nameLength) {
            std::abort();
        }
        for (int32_t k = 0; k < answer.nameLength; ++k) {
            if (answer.name[k] < 0x20 || answer.name[k] > 0x7E) {
                std::abort();
            }
        }
    }
    return 0;
}
