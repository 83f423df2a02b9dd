#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <memory>

typedef struct _GPatternSpec GPatternSpec;

namespace tarnwick {

// A set of GLib glob patterns (* and ?, case-sensitive) on entry names, compiled once: the miner
// matches its ignore lists and the extractor its text allowlist this way. Immutable, so it may
// be used from any thread.
class NamePatterns {
public:
    NamePatterns() = default;
    explicit NamePatterns(const QList<QByteArray>& patterns);

    bool matches(QByteArrayView name) const;

private:
    QList<std::shared_ptr<GPatternSpec>> m_specs;
};

}  // namespace tarnwick
