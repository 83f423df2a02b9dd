#include "ItemPieces.h"

#include "WorkQueue.h"

#include <QArrayDataPointer>
#include <QThread>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <tuple>

#include <sys/mman.h>
#include <unistd.h>

namespace tarnwick {

namespace {

// Shares per core: pieces vary in cost (a made item is a plain copy, a kept one may lose its
// attributes), so a thread done early takes another share.
constexpr int kFillSharesPerCore = 4;

quint32 shareBoundary(quint32 size, int share, int shares) {
    return quint32(quint64(size) * quint64(share) / quint64(shares));
}

// Copies of `count` items without their sizes and dates (a file's can change without its
// folder's times moving), into uninitialised memory. The items of a folder lie together: their
// record's references are counted once for each such stretch.
void copyWithoutAttributes(const FileItem* from, quint32 count, FileItem* to) {
    const FolderRecord* record = nullptr;
    int references = 0;
    for (quint32 i = 0; i < count; ++i) {
        const FolderRecord* itsRecord = from[i].folderRecord().data();
        if (itsRecord != record) {
            FileItem::addReferences(record, references);
            record = itsRecord;
            references = 0;
        }
        new (to + i) FileItem(from[i], FileItem::CountedReference{});
        ++references;
    }
    FileItem::addReferences(record, references);
}

}  // namespace

void populatePages(void* begin, size_t bytes, const std::atomic<bool>* stop) {
    static const uintptr_t page = uintptr_t(sysconf(_SC_PAGESIZE));
    // A megabyte at a time: the call holds the process's memory map for its whole length.
    const uintptr_t chunk = std::max<uintptr_t>(page, 1 << 20);
    const uintptr_t end = (uintptr_t(begin) + bytes) & ~(page - 1);
    for (uintptr_t at = (uintptr_t(begin) + page - 1) & ~(page - 1); at < end; at += chunk) {
        if (stop && stop->load(std::memory_order_relaxed)) return;
        if (madvise(reinterpret_cast<void*>(at), std::min(chunk, end - at), MADV_POPULATE_WRITE))
            return;
    }
}

ItemRoom::ItemRoom(qsizetype capacity, const std::atomic<bool>* stop) {
    std::tie(m_header, m_data) = QTypedArrayData<FileItem>::allocate(capacity);
    if (!m_header) return;
    m_capacity = capacity;
    populatePages(m_data, size_t(capacity) * sizeof(FileItem), stop);
}

ItemRoom& ItemRoom::operator=(ItemRoom&& other) noexcept {
    std::swap(m_header, other.m_header);
    std::swap(m_data, other.m_data);
    std::swap(m_capacity, other.m_capacity);
    return *this;
}

ItemRoom::~ItemRoom() {
    if (m_header) QTypedArrayData<FileItem>::deallocate(m_header);
}

std::pair<QTypedArrayData<FileItem>*, FileItem*> ItemRoom::take() {
    m_capacity = 0;
    return {std::exchange(m_header, nullptr), std::exchange(m_data, nullptr)};
}

void ItemPieces::addKept(quint32 first, quint32 count) {
    if (count == 0) return;
    Piece* last = m_pieces.empty() ? nullptr : &m_pieces.back();
    if (last && last->kept && last->from + last->count == first)
        last->count += count;
    else
        m_pieces.push_back({m_size, first, count, true});
    m_size += count;
}

void ItemPieces::addMade(FileItem item, qint32 origin) {
    const quint32 made = quint32(m_made.size());
    m_made.append(std::move(item));
    m_madeOrigins.push_back(origin);
    Piece* last = m_pieces.empty() ? nullptr : &m_pieces.back();
    if (last && !last->kept && last->from + last->count == made)
        ++last->count;
    else
        m_pieces.push_back({m_size, made, 1, false});
    ++m_size;
}

ItemPieces::Pieces::const_iterator ItemPieces::pieceHolding(quint32 at) const {
    auto piece = std::upper_bound(m_pieces.begin(), m_pieces.end(), at,
                                  [](quint32 value, const Piece& p) { return value < p.at; });
    return --piece;  // the first piece starts at 0, so some piece holds `at`
}

bool ItemPieces::isDirectory(quint32 at) const {
    const Piece& piece = *pieceHolding(at);
    const quint32 from = piece.from + (at - piece.at);
    return (piece.kept ? m_kept[from] : m_made[from]).isDirectory();
}

template <typename Each>
void ItemPieces::forEachRun(quint32 begin, quint32 end, Each each) const {
    if (begin >= end) return;
    auto piece = pieceHolding(begin);
    for (quint32 at = begin; at < end; ++piece) {
        const quint32 stop = std::min(end, piece->at + piece->count);
        each(at, *piece, piece->from + (at - piece->at), stop - at);
        at = stop;
    }
}

std::vector<qint32> ItemPieces::origins() const {
    std::vector<qint32> origins(m_size);
    const int shares = kFillSharesPerCore * std::max(1, QThread::idealThreadCount());
    WorkQueue::runShares(shares, [&](int share) {
        forEachRun(shareBoundary(m_size, share, shares), shareBoundary(m_size, share + 1, shares),
                   [&](quint32 at, const Piece& piece, quint32 from, quint32 count) {
                       for (quint32 i = 0; i < count; ++i)
                           origins[at + i] =
                               piece.kept ? qint32(from + i) : m_madeOrigins[from + i];
                   });
    });
    return origins;
}

QList<FileItem> ItemPieces::unkept() const {
    QList<FileItem> unkept;
    for (qsizetype i = 0; i < m_made.size(); ++i)
        if (m_madeOrigins[size_t(i)] < 0) unkept.append(m_made[i]);
    return unkept;
}

QList<FileItem> ItemPieces::items(int jobs, const std::function<void(int)>& alongside,
                                  ItemRoom* room) const {
    if (m_size == 0) {
        WorkQueue::runShares(jobs, alongside);
        return {};
    }
    // Without a room that holds them, allocated without constructing anything, so that each
    // item's memory is first touched, page faults included, by the thread that writes it.
    auto [header, data] = room && room->capacity() >= qsizetype(m_size)
                              ? room->take()
                              : QTypedArrayData<FileItem>::allocate(qsizetype(m_size));
    const int shares = kFillSharesPerCore * std::max(1, QThread::idealThreadCount());
    WorkQueue::runShares(jobs + shares, [&](int share) {
        if (share < jobs) return alongside(share);
        share -= jobs;
        forEachRun(shareBoundary(m_size, share, shares), shareBoundary(m_size, share + 1, shares),
                   [&](quint32 at, const Piece& piece, quint32 from, quint32 count) {
                       if (piece.kept)
                           copyWithoutAttributes(m_kept.constData() + from, count, data + at);
                       else
                           std::uninitialized_copy_n(m_made.constData() + from, count, data + at);
                   });
    });
    return QList<FileItem>(QArrayDataPointer<FileItem>(header, data, qsizetype(m_size)));
}

}  // namespace tarnwick
