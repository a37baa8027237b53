// A whole session against an adapter whose every answer, stream and timing
// comes from the input: nothing may crash, hang, let a foreign exception
// reach the event loop, or report a success the adapter's bytes do not
// justify (see SessionHarness.h).
#include "fuzz/SessionHarness.h"

#include <cstddef>
#include <cstdint>

// Allocation stacks two frames deep: a session allocates thousands of times,
// and taking whole stacks was a tenth of the run. A finding is replayed with
// ASAN_OPTIONS=malloc_context_size=30 for the full story.
extern "C" const char* __asan_default_options() { return "malloc_context_size=2"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qvd::fuzz::PlaySession(data, size);
    return 0;
}
