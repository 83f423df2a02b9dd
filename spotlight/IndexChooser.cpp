#include "IndexChooser.h"

#include "CombinedIndex.h"
#include "index/null/NullIndex.h"
#include "index/scan/ScanIndex.h"

#include <QPointer>

namespace tarnwick {

std::optional<IndexBackend> indexBackendFromName(QStringView name) {
    if (name == u"auto") return IndexBackend::automatic;
    if (name == u"tracker") return IndexBackend::tracker;
    if (name == u"scan") return IndexBackend::scan;
    if (name == u"none") return IndexBackend::none;
    return std::nullopt;
}

IndexChoice chooseIndex(IndexBackend backend, bool trackerRuns, bool trackerCoversFolder) {
    switch (backend) {
        case IndexBackend::automatic:
            return trackerRuns && trackerCoversFolder ? IndexChoice::trackerWithScanner
                                                      : IndexChoice::scannerAlone;
        case IndexBackend::tracker:
            return trackerRuns ? IndexChoice::trackerAlone : IndexChoice::nothing;
        case IndexBackend::scan:
            return IndexChoice::scannerAlone;
        case IndexBackend::none:
            break;
    }
    return IndexChoice::nothing;
}

namespace {

bool mayUseTracker(IndexBackend backend) {
    return backend == IndexBackend::automatic || backend == IndexBackend::tracker;
}

}  // namespace

IndexChooser::IndexChooser(IndexBackend backend, std::shared_ptr<DesktopIndex> tracker)
    : m_backend(backend), m_tracker(std::move(tracker)) {}

IndexChooser::~IndexChooser() = default;

void IndexChooser::connectAsync(IndexBackend backend, QObject* context,
                                std::function<void(std::shared_ptr<IndexChooser>)> done) {
    if (!mayUseTracker(backend)) {
        QMetaObject::invokeMethod(
            context, [backend, done] { done(std::make_shared<IndexChooser>(backend, nullptr)); },
            Qt::QueuedConnection);
        return;
    }
    QPointer<QObject> guard(context);
    connectDesktopIndex(
        context, [guard, backend, done = std::move(done)](std::unique_ptr<DesktopIndex> tracker) {
            if (!guard) return;
            done(std::make_shared<IndexChooser>(backend, std::move(tracker)));
        });
}

IndexChoice IndexChooser::choiceFor(const QByteArray& folder) const {
    const bool covers = m_tracker && m_tracker->coversRecursively(folder);
    return chooseIndex(m_backend, m_tracker != nullptr, covers);
}

std::shared_ptr<MetadataIndex> IndexChooser::indexFor(const QByteArray& folder) {
    switch (choiceFor(folder)) {
        case IndexChoice::trackerWithScanner:
            return trackerWithScanner();
        case IndexChoice::trackerAlone:
            return m_tracker;
        case IndexChoice::scannerAlone:
            return scanner();
        case IndexChoice::nothing:
            break;
    }
    if (!m_nothing) m_nothing = std::make_shared<NullIndex>();
    return m_nothing;
}

std::shared_ptr<MetadataIndex> IndexChooser::scanner() {
    if (!m_scanner) m_scanner = std::make_shared<ScanIndex>();
    return m_scanner;
}

std::shared_ptr<MetadataIndex> IndexChooser::trackerWithScanner() {
    if (m_trackerWithScanner) return m_trackerWithScanner;
    // The scanner reads only what Tracker cannot have read (formats it has no extractor for,
    // text beyond its size limit). The filter runs on the scanner's threads and may outlive the
    // connection, hence the coverage rather than the index.
    auto complement = std::make_shared<ScanIndex>(
        [indexed = m_tracker->textCoverage()](const QByteArray& path, qint64 size) {
            return !indexed(path, size);
        });
    m_trackerWithScanner = std::make_shared<CombinedIndex>(m_tracker, std::move(complement));
    return m_trackerWithScanner;
}

}  // namespace tarnwick
