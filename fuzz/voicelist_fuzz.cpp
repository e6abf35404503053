// The voice-call list read ("#4F" and the CRC) from arbitrary answers, then
// written back through answers of the same kind. Odd-sized inputs come from a
// unit with the fast line acknowledgement.
#include "fuzzunit.h"
#include "link/devicevalues.h"
#include "link/voicelisttransfer.h"
#include "model/voiceauthlist.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzUnit unit(data, size);
    VoiceAuthList list;
    ReadAutVozList(*unit.comms, list);
    WriteAutVoz(*unit.comms, list, (size & 1) ? quint32(Feature::FastLineAck) : 0u);
    return 0;
}
