// A whole session against an adapter whose every answer, stream and timing
// comes from the input: nothing may crash, hang, let a foreign exception
// reach the event loop, or report a success the adapter's bytes do not
// justify (see SessionHarness.h).
#include "fuzz/SessionHarness.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qvd::fuzz::PlaySession(data, size);
    return 0;
}
