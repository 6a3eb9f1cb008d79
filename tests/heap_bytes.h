// Memory the program has allocated and not freed, for tests that watch it stay flat: AddressSanitizer's
// own count in sanitized builds (its allocator replaces malloc's), glibc's otherwise.
#pragma once

#include <malloc.h>

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
#define CD_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CD_TEST_ASAN 1
#endif
#endif

#ifdef CD_TEST_ASAN
// GCC ships the sanitizer runtime without this header; the function is there all the same.
#if __has_include(<sanitizer/allocator_interface.h>)
#include <sanitizer/allocator_interface.h>
#else
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif
#endif

inline size_t HeapBytesInUse() {
#ifdef CD_TEST_ASAN
    return __sanitizer_get_current_allocated_bytes();
#else
    // Large blocks (the back buffers) live in mmapped chunks until glibc raises its threshold.
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}
