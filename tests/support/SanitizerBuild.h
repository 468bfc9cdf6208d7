#pragma once

// Which sanitizer this program is built with: GCC defines __SANITIZE_*__,
// clang answers __has_feature.
#ifdef __has_feature
#define VX_HAS_FEATURE(name) __has_feature(name)
#else
#define VX_HAS_FEATURE(name) 0
#endif

#if defined(__SANITIZE_ADDRESS__) || VX_HAS_FEATURE(address_sanitizer)
#define VX_ADDRESS_SANITIZER 1
#else
#define VX_ADDRESS_SANITIZER 0
#endif

#if defined(__SANITIZE_THREAD__) || VX_HAS_FEATURE(thread_sanitizer)
#define VX_THREAD_SANITIZER 1
#else
#define VX_THREAD_SANITIZER 0
#endif

// Whether this program (and so the voxeltool the tests run, built alike) has
// a sanitizer that keeps freed memory in quarantine and shadows every byte:
// peak memory there says nothing about what the program itself holds.
inline constexpr bool kSanitizerBuild = VX_ADDRESS_SANITIZER || VX_THREAD_SANITIZER;
