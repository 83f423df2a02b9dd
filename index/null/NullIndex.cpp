#include "NullIndex.h"

#include <QMetaObject>

namespace tarnwick {

namespace {

class NullQuery : public MetadataQuery {
public:
    void start() override {
        if (m_started) return;
        m_started = true;
        // Queued, so that the caller's connections made after start() still hear the end; a
        // query destroyed meanwhile takes the pending call with it.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (!m_stopped) Q_EMIT finishedGathering();
            },
            Qt::QueuedConnection);
    }
    void stop() override { m_stopped = true; }
    qsizetype resultCount() const override { return 0; }
    QList<MetadataItem> results() const override { return {}; }
    void disableUpdates() override {}
    void enableUpdates() override {}

private:
    bool m_started = false;
    bool m_stopped = false;
};

}  // namespace

std::unique_ptr<MetadataQuery> NullIndex::createQuery(const QByteArray&, MetadataPredicate,
                                                      const QString&) {
    return std::make_unique<NullQuery>();
}

}  // namespace tarnwick
