#pragma once

#include <QRunnable>
#include <QThreadPool>

#include <functional>

#if defined(__SANITIZE_THREAD__)
#define TARNWICK_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define TARNWICK_THREAD_SANITIZER 1
#endif
#endif

#ifdef TARNWICK_THREAD_SANITIZER
#include <sanitizer/tsan_interface.h>
#endif

namespace tarnwick {

// Qt's thread pool and event queue synchronise inside Qt, which ThreadSanitizer does not see.
// These mark where an object passes from one thread to another through them, so that the checker
// still sees the order of our own accesses (and nothing at all is done in other builds).
inline void handOver([[maybe_unused]] const void* object) {
#ifdef TARNWICK_THREAD_SANITIZER
    __tsan_release(const_cast<void*>(object));
#endif
}

inline void takeOver([[maybe_unused]] const void* object) {
#ifdef TARNWICK_THREAD_SANITIZER
    __tsan_acquire(const_cast<void*>(object));
#endif
}

// Runs `work` on `pool`, handed over as above.
void startOnPool(QThreadPool& pool, std::function<void()> work);

}  // namespace tarnwick
