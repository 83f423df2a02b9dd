#include "MemoryRelease.h"

#include <QCoreApplication>
#include <QTimer>

#include <thread>
#include <utility>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace tarnwick {

namespace {

// Two heaps: the main thread's and one that the listing, filter and scanner threads share (they
// take small blocks from per-thread caches first, so they seldom wait for it).
constexpr int kHeaps = 2;
// Listing arrays and folded texts are larger than this and go straight back when freed.
constexpr int kMappedFromBytes = 256 * 1024;
constexpr int kTrimDelayMs = 1000;

}  // namespace

void tuneAllocatorForLongRun() {
#if defined(__GLIBC__)
    mallopt(M_ARENA_MAX, kHeaps);
    mallopt(M_MMAP_THRESHOLD, kMappedFromBytes);
#endif
}

void releaseFreedMemorySoon() {
#if defined(__GLIBC__)
    static bool scheduled = false;
    if (std::exchange(scheduled, true)) return;
    QTimer::singleShot(kTrimDelayMs, QCoreApplication::instance(), [] {
        scheduled = false;
        // Trimming walks every heap: not on the thread that draws.
        std::thread([] { malloc_trim(0); }).detach();
    });
#endif
}

}  // namespace tarnwick
