#pragma once

// Whether the suite runs under ThreadSanitizer, whose own signal handling
// stands between a fault and the handler.
#if defined(__SANITIZE_THREAD__)
#define QS_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define QS_THREAD_SANITIZER 1
#endif
#endif
#ifdef QS_THREAD_SANITIZER
constexpr bool kThreadSanitizer = true;
#else
constexpr bool kThreadSanitizer = false;
#endif
