#pragma once

#include "ScopeCatalog.h"
#include "index/MetadataQuery.h"
#include "text/DocumentText.h"
#include "text/FoldedTextStream.h"

#include <QByteArray>

#include <atomic>
#include <functional>
#include <optional>

namespace tarnwick {

// Tells whether a candidate file's text contains a folded needle. A file's text is searched up to
// its first NUL byte or ill-formed UTF-8 sequence (as text search tools treat binary files), and
// left at the first hit. Small files are read whole and their folded text kept in the catalog's
// cache (candidates whose first bytes are not text are remembered as such); larger ones are
// streamed. Symbolic links are not followed. One per worker thread.
class FileContentScanner {
public:
    // Files up to this size are read whole and cached.
    static constexpr qint64 kCachedFileBytes = 1024 * 1024;

    FileContentScanner(const ScopeCatalog& catalog, QByteArray needle,
                       const std::atomic<bool>& cancelled);

    // The hit, when candidate `index` contains the needle.
    std::optional<MetadataItem> scan(qsizetype index);

private:
    enum class Outcome { hit, miss, cancelled };

    std::optional<Outcome> searchCache(qsizetype index, const QByteArray& path, qint64& size,
                                       qint64& modified) const;
    Outcome readAndCache(qsizetype index, NativeFile& file, DocumentFormat format);
    Outcome readStreaming(NativeFile& file, DocumentFormat format);
    // Reads the file's text folded, piece by piece, up to a NUL byte in plain text.
    ReadStatus readFolded(NativeFile& file, DocumentFormat format, FoldedTextStream& stream,
                          const std::function<bool(const QByteArray& folded)>& piece);
    bool isCancelled() const { return m_cancelled.load(std::memory_order_relaxed); }

    const ScopeCatalog& m_catalog;
    const QByteArray m_needle;
    const std::atomic<bool>& m_cancelled;
    QByteArray m_folded;
};

MetadataItem metadataItemForFile(const QByteArray& path, qint64 size, qint64 modifiedMsecs);

}  // namespace tarnwick
