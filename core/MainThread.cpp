#include "MainThread.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <deque>
#include <mutex>

#include <sys/eventfd.h>
#include <unistd.h>

namespace tarnwick {

namespace {

class Mailbox {
public:
    Mailbox() : m_fd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, QCoreApplication::instance());
        QObject::connect(m_notifier, &QSocketNotifier::activated, m_notifier,
                         [this] { deliver(); });
    }

    void post(std::function<void()> work) {
        {
            std::lock_guard lock(m_mutex);
            m_pending.push_back(std::move(work));
        }
        const uint64_t one = 1;
        [[maybe_unused]] ssize_t written = write(m_fd, &one, sizeof one);
    }

private:
    void deliver() {
        uint64_t count;
        [[maybe_unused]] ssize_t got = read(m_fd, &count, sizeof count);
        std::deque<std::function<void()>> batch;
        {
            std::lock_guard lock(m_mutex);
            batch.swap(m_pending);
        }
        for (auto& work : batch) work();
    }

    int m_fd;
    QSocketNotifier* m_notifier;
    std::mutex m_mutex;
    std::deque<std::function<void()>> m_pending;
};

Mailbox* mailbox() {
    static Mailbox* instance = new Mailbox;  // lives as long as the application
    return instance;
}

}  // namespace

void ensureMainThreadMailbox() {
    mailbox();
}

void postToMainThread(std::function<void()> work) {
    mailbox()->post(std::move(work));
}

}  // namespace tarnwick
