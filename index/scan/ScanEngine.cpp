#include "ScanEngine.h"

#include "ScanQuery.h"

#include <QThread>

#include <algorithm>

namespace tarnwick {

ScanEngine::ScanEngine(ScanFileFilter filter) : m_catalogs(std::move(filter), m_pool, m_mailbox) {
    // One thread per core for a scan, one more so that a walk can start beside the end of a
    // cancelled scan.
    m_pool.setMaxThreadCount(std::max(2, QThread::idealThreadCount() + 1));
}

ScanEngine::~ScanEngine() = default;

void ScanEngine::setScanningQuery(ScanQuery* query) {
    if (m_scanning && m_scanning != query) m_scanning->supersede();
    m_scanning = query;
}

}  // namespace tarnwick
