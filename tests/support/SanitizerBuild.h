#pragma once

// Whether this program (and so the voxeltool the tests run, built alike) has
// a sanitizer that keeps freed memory in quarantine and shadows every byte:
// peak memory there says nothing about what the program itself holds.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr bool kSanitizerBuild = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
inline constexpr bool kSanitizerBuild = true;
#else
inline constexpr bool kSanitizerBuild = false;
#endif
#else
inline constexpr bool kSanitizerBuild = false;
#endif
