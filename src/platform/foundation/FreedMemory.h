#pragma once

// Handing memory the program has freed back to the system. The allocator keeps freed pages for
// reuse; after a large map closes, most of them would stay with the process for good.

namespace platform {

// Returns the allocator's free pages to the system on a thread of its own: in a large,
// fragmented heap that takes seconds the main thread must not wait for. Calls made while one
// waits to start are served by it. Nothing where the allocator offers no such call.
void returnFreedMemoryInBackground();

} // namespace platform
