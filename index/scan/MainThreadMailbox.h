#pragma once

#include <QHash>
#include <QObject>

#include <functional>

namespace tarnwick {

// How background work wakes the main thread: it posts a recipient's number, and the recipient's
// callback runs on the main thread, unless it was removed meanwhile (a stopped query, a
// cancelled walk), in which case the mail is dropped. Only a number crosses threads, so workers
// never hold a pointer to an object that the main thread may delete. The mailbox must outlive
// every worker that posts to it.
class MainThreadMailbox : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Main thread.
    quint64 addRecipient(std::function<void()> onMail);
    void removeRecipient(quint64 recipient);

    // Any thread.
    void post(quint64 recipient);

protected:
    bool event(QEvent* event) override;

private:
    QHash<quint64, std::function<void()>> m_recipients;
    quint64 m_nextRecipient = 1;
};

}  // namespace tarnwick
