#pragma once

// Handing memory the program has freed back to the system. The allocator keeps freed pages for
// reuse; after a large map closes, most of them would stay with the process for good.

#include <functional>

namespace platform {

// Returns the allocator's free pages to the system on a thread of its own, at a moment no one
// waits for the allocator: the return holds each heap arena's lock for its whole pass, up to
// a second in a large, fragmented heap, and the main thread's next allocation would wait that
// long on its arena (where a map opened from a file lies). So it comes once the objects handed
// to GradualRelease have all gone, and only once `isInUse` says nothing is left open to work in,
// or the user has left: no window of the application active, and none given any input (a
// pointer moving over it included) for a while. Until then the pages stay for reuse.
// Calls made while one waits are served by it. Nothing where the allocator offers no such call.
void returnFreedMemoryWhenIdle(std::function<bool()> isInUse);

} // namespace platform
