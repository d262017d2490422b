#pragma once

// Whether this process allocates through the C library's own allocator. The address sanitizer
// puts its own in its place, with no heap break, fast lists or mapping threshold: tests of what
// the C library's allocator does skip themselves there.

#include <gtest/gtest.h>

extern "C" __attribute__((weak)) void __asan_init();

namespace testsupport {

inline bool allocatorIsTheCLibrarys()
{
    return &__asan_init == nullptr;
}

} // namespace testsupport

#define SKIP_UNLESS_THE_C_LIBRARY_ALLOCATES()                                                                 \
    if (!testsupport::allocatorIsTheCLibrarys())                                                              \
    GTEST_SKIP() << "the address sanitizer's allocator stands in for the C library's, which this test measures"
