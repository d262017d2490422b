#pragma once

// The allocator's settings string (GLIBC_TUNABLES, "glibc.malloc.mxfast=32:glibc.malloc.…"), read
// as the allocator reads it. The allocator has no way to read a setting back: whoever changes one
// for a while puts back what the process started with.

#include <QByteArray>
#include <optional>

namespace platform {

// The value the string's last setting of the name gives, read as strtoull reads it (the base
// from its prefix, a trailing rest ignored); nullopt when the string does not set it.
std::optional<unsigned long long> allocatorTunable(const char* tunables, const QByteArray& name);

} // namespace platform
