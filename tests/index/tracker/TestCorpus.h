#pragma once

#include <QByteArray>
#include <QMap>
#include <QSet>
#include <QString>

namespace tarnwick::test {

// Files written below a folder for the miner to index. Files whose text the extractor reads are
// written with their text remembered, so that a test can work out on its own which of them
// hold a query (case and accents ignored) instead of trusting the index.
class TestCorpus {
public:
    explicit TestCorpus(QByteArray root) : m_root(std::move(root)) {}

    QByteArray path(const QByteArray& relative) const;
    void mkdir(const QByteArray& relative) const;
    void write(const QByteArray& relative, const QByteArray& content = {}) const;
    void writeText(const QByteArray& relative, const QString& text);
    // A one-page PDF showing `text` (ASCII).
    void writePdf(const QByteArray& relative, const QByteArray& text);
    void remove(const QByteArray& relative);

    // Relative paths of the remembered files whose text contains `needle`, both folded.
    QSet<QByteArray> textsContaining(const QString& needle) const;
    const QMap<QByteArray, QString>& texts() const { return m_texts; }

private:
    QByteArray m_root;
    QMap<QByteArray, QString> m_texts;
};

// Case-folded, compatibility-decomposed, combining marks removed.
QString foldForMatching(const QString& text);

}  // namespace tarnwick::test
