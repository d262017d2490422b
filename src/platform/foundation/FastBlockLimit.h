#pragma once

// The largest block the allocator keeps in its fast lists instead of merging it with its free
// neighbours. The process may start with its own limit (GLIBC_TUNABLES), and the allocator has
// no way to read the limit back: whoever turns the lists off for a while puts back this one.

namespace platform::fastblocklimit {

// The limit the process started with.
int atStart();

// The limit an allocator settings string ("glibc.malloc.mxfast=32:glibc.malloc.…") starts a
// process with, read as the allocator reads it; its own default when the string sets none it
// would take.
int setBy(const char* tunables);

} // namespace platform::fastblocklimit
