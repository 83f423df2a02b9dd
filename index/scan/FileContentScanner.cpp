#include "FileContentScanner.h"

#include "core/PathAnchor.h"
#include "text/FoldedTextStream.h"
#include "text/NeedleSearch.h"

#include <sys/stat.h>

namespace tarnwick {

MetadataItem metadataItemForFile(const QByteArray& path, qint64 size, qint64 modifiedMsecs) {
    MetadataItem item;
    item.path = path;
    item.fileSize = size;
    item.contentModifiedMsecs = modifiedMsecs;
    return item;
}

FileContentScanner::FileContentScanner(const ScopeCatalog& catalog, QByteArray needle,
                                       const std::atomic<bool>& cancelled)
    : m_catalog(catalog), m_needle(std::move(needle)), m_cancelled(cancelled) {}

std::optional<MetadataItem> FileContentScanner::scan(qsizetype index) {
    const ScanCandidate& candidate = m_catalog.candidates[size_t(index)];
    const QByteArray path = m_catalog.items[candidate.itemIndex].path();
    qint64 size = 0;
    qint64 modified = 0;
    std::optional<Outcome> outcome = searchCache(index, path, size, modified);
    if (!outcome) {
        NativeFile file = NativeFile::open(path, LinkPolicy::refuse);
        if (!file.isOpen()) return std::nullopt;
        size = file.size();
        modified = file.modifiedMsecs();
        const std::optional<DocumentFormat> format =
            candidate.format.reader ? candidate.format.reader : readerByContent(file);
        if (!format) {
            m_catalog.cache->store(index, {size, modified, {}});  // no text to search
            return std::nullopt;
        }
        const bool cacheable = size <= kCachedFileBytes && m_catalog.cache->hasRoomFor(size);
        outcome = cacheable ? readAndCache(index, file, *format) : readStreaming(file, *format);
    }
    if (*outcome != Outcome::hit) return std::nullopt;
    return metadataItemForFile(path, size, modified);
}

std::optional<FileContentScanner::Outcome> FileContentScanner::searchCache(qsizetype index,
                                                                           const QByteArray& path,
                                                                           qint64& size,
                                                                           qint64& modified) const {
    struct stat st;
    if (statAnyLength(path, &st, false) != 0) return std::nullopt;
    size = qint64(st.st_size);
    modified = qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
    const std::optional<FoldedTextCache::Entry> entry =
        m_catalog.cache->find(index, size, modified);
    if (!entry) return std::nullopt;
    return containsBytes(entry->folded, m_needle) ? Outcome::hit : Outcome::miss;
}

ReadStatus FileContentScanner::readFolded(NativeFile& file, DocumentFormat format,
                                          FoldedTextStream& stream,
                                          const std::function<bool(const QByteArray&)>& piece) {
    return readDocumentUtf8(file, format, 0, [&](QByteArrayView utf8) {
        if (isCancelled()) return false;
        const qsizetype nul = format == DocumentFormat::plainText ? utf8.indexOf('\0') : -1;
        m_folded.clear();
        stream.fold(nul < 0 ? utf8 : utf8.first(nul), m_folded);
        return piece(m_folded) && nul < 0;
    });
}

// The whole text is folded and kept, even past a hit, so that later queries need not read.
FileContentScanner::Outcome FileContentScanner::readAndCache(qsizetype index, NativeFile& file,
                                                             DocumentFormat format) {
    FoldedTextStream stream;
    QByteArray text;
    readFolded(file, format, stream, [&text](const QByteArray& folded) {
        text.append(folded);
        return true;
    });
    if (isCancelled()) return Outcome::cancelled;
    m_folded.clear();
    stream.finish(m_folded);
    text.append(m_folded);
    const bool hit = containsBytes(text, m_needle);
    m_catalog.cache->store(index, {file.size(), file.modifiedMsecs(), std::move(text)});
    return hit ? Outcome::hit : Outcome::miss;
}

FileContentScanner::Outcome FileContentScanner::readStreaming(NativeFile& file,
                                                              DocumentFormat format) {
    FoldedTextStream stream;
    StreamingNeedleSearch search(m_needle);
    readFolded(file, format, stream,
               [&search](const QByteArray& folded) { return !search.feed(folded); });
    if (search.found()) return Outcome::hit;
    if (isCancelled()) return Outcome::cancelled;
    m_folded.clear();
    stream.finish(m_folded);
    return search.feed(m_folded) ? Outcome::hit : Outcome::miss;
}

}  // namespace tarnwick
