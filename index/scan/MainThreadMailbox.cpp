#include "MainThreadMailbox.h"

#include "ThreadHandOff.h"

#include <QCoreApplication>
#include <QEvent>

namespace tarnwick {

namespace {

const QEvent::Type kMailEvent = QEvent::Type(QEvent::registerEventType());

class MailEvent : public QEvent {
public:
    explicit MailEvent(quint64 recipient) : QEvent(kMailEvent), recipient(recipient) {}
    const quint64 recipient;
};

}  // namespace

quint64 MainThreadMailbox::addRecipient(std::function<void()> onMail) {
    const quint64 recipient = m_nextRecipient++;
    m_recipients.insert(recipient, std::move(onMail));
    return recipient;
}

void MainThreadMailbox::removeRecipient(quint64 recipient) {
    m_recipients.remove(recipient);
}

void MainThreadMailbox::post(quint64 recipient) {
    auto* mail = new MailEvent(recipient);
    handOver(mail);
    QCoreApplication::postEvent(this, mail);
}

bool MainThreadMailbox::event(QEvent* event) {
    if (event->type() != kMailEvent) return QObject::event(event);
    takeOver(event);
    const auto found = m_recipients.constFind(static_cast<MailEvent*>(event)->recipient);
    if (found == m_recipients.constEnd()) return true;
    const std::function<void()> onMail = *found;  // a copy: it may remove its own recipient
    onMail();
    return true;
}

}  // namespace tarnwick
