#pragma once

#include <QPointer>

#include <functional>

namespace tarnwick {

// Runs `work` on the main thread's event loop, from any thread. The work passes through a
// mailbox guarded by a standard mutex (visible to ThreadSanitizer, unlike Qt's futex-based
// event queue) and an eventfd wakes the loop. Call ensureMainThreadMailbox() once on the main
// thread, with the application object alive, before any background thread posts.
void postToMainThread(std::function<void()> work);
void ensureMainThreadMailbox();

// Hands `work` to the main thread; it runs only if `target` still exists then.
template <typename T, typename Work>
void postToMainThread(const QPointer<T>& target, Work work) {
    postToMainThread([target, work = std::move(work)]() mutable {
        if (target) work(target.data());
    });
}

}  // namespace tarnwick
