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
// A quarantine of 64 MiB instead of 256 still holds several whole sessions'
// frees, so a use after free in one is caught; the larger one only made every
// allocation land on memory gone cold. Freed pages stay mapped instead of
// being handed back and faulted in again.
extern "C" const char* __asan_default_options() {
    return "malloc_context_size=2:quarantine_size_mb=64:allocator_release_to_os_interval_ms=-1";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qvd::fuzz::PlaySession(data, size);
    return 0;
}
