#pragma once

#include "index/MetadataQuery.h"

namespace tarnwick {

// A query with nothing to gather (a count, which the scanner reports as 0 so that a search never
// hands a whole folder to it; or a text that folds to nothing). Like every scanner query it
// signals only from the event loop, never from within start(): connecting right after start()
// misses nothing. It finishes with no results as soon as the event loop runs.
class ImmediateQuery : public MetadataQuery {
    Q_OBJECT
public:
    using MetadataQuery::MetadataQuery;

    void start() override;
    void stop() override { m_stopped = true; }
    qsizetype resultCount() const override { return 0; }
    QList<MetadataItem> results() const override { return {}; }
    void disableUpdates() override { ++m_disabled; }
    void enableUpdates() override;

private:
    void finish();

    bool m_started = false;
    bool m_stopped = false;
    bool m_finishHeld = false;
    int m_disabled = 0;
};

}  // namespace tarnwick
