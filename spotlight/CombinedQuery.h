#pragma once

#include "index/MetadataQuery.h"

namespace tarnwick {

// One query asked of two indexes. Its results are the primary's, then the complement's for
// paths the primary did not report; it has gathered when both have, and updates when either
// does afterwards (earlier changes count as gathering progress).
class CombinedQuery : public MetadataQuery {
    Q_OBJECT
public:
    CombinedQuery(std::unique_ptr<MetadataQuery> primary,
                  std::unique_ptr<MetadataQuery> complement);
    ~CombinedQuery() override;

    void start() override;
    void stop() override;
    qsizetype resultCount() const override;
    QList<MetadataItem> results() const override;
    void disableUpdates() override;
    void enableUpdates() override;

private:
    void partFinished(bool& partDone);
    void partChanged();

    std::unique_ptr<MetadataQuery> m_primary;
    std::unique_ptr<MetadataQuery> m_complement;
    bool m_primaryDone = false;
    bool m_complementDone = false;
    bool m_finished = false;
    bool m_stopped = false;
};

}  // namespace tarnwick
