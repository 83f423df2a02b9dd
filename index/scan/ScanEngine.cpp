#include "ScanEngine.h"

#include "ScanQuery.h"

#include <QThread>

#include <algorithm>

namespace tarnwick {

// One thread per core for a scan, one more so that a walk can start beside the end of a
// cancelled scan.
ScanEngine::ScanEngine(ScanFileFilter filter)
    : m_scanWorkers(std::clamp(QThread::idealThreadCount(), 1, 8)),
      m_workers(m_scanWorkers + 1),
      m_catalogs(std::move(filter), m_workers) {}

ScanEngine::~ScanEngine() = default;

void ScanEngine::setScanningQuery(ScanQuery* query) {
    if (m_scanning && m_scanning != query) m_scanning->supersede();
    m_scanning = query;
}

}  // namespace tarnwick
