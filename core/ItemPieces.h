#pragma once

#include "FileItem.h"

#include <QList>

#include <atomic>
#include <functional>
#include <utility>
#include <vector>

namespace tarnwick {

// Has the kernel put in place the pages of [begin, begin + bytes) that are whole, as writes
// would, without changing what they hold: safe while another thread writes there. A core that
// would otherwise wait takes the faults that the writer would have taken one page at a time
// (a million items are 8,000 pages). Stops early once `stop` is set; does nothing on kernels
// before 5.14.
void populatePages(void* begin, size_t bytes, const std::atomic<bool>* stop = nullptr);

// Room for a listing's items, allocated and populated ahead of their fill (as far as it got
// before `stop` was set).
class ItemRoom {
public:
    ItemRoom() = default;
    ItemRoom(qsizetype capacity, const std::atomic<bool>* stop);
    ItemRoom(const ItemRoom&) = delete;
    ItemRoom& operator=(const ItemRoom&) = delete;
    ItemRoom& operator=(ItemRoom&& other) noexcept;
    ~ItemRoom();

    qsizetype capacity() const { return m_capacity; }
    // The allocation, left to the caller; empty afterwards.
    std::pair<QTypedArrayData<FileItem>*, FileItem*> take();

private:
    QTypedArrayData<FileItem>* m_header = nullptr;
    FileItem* m_data = nullptr;
    qsizetype m_capacity = 0;
};

// The items of a listing put together, in order, from runs of another listing's items and from
// items made anew; built at the end on all cores, each item written once. A re-opened
// million-item listing is mostly such runs, and copying them one by one on one thread was most
// of its revalidation after the stat of every folder.
class ItemPieces {
public:
    explicit ItemPieces(const QList<FileItem>& kept) : m_kept(kept) {}

    quint32 size() const { return m_size; }
    // `count` items of the kept listing from `first` on, without sizes and dates (a file's can
    // change without its folder's times moving).
    void addKept(quint32 first, quint32 count);
    // `origin`: the kept item it stands for (same name and kind), or -1.
    void addMade(FileItem item, qint32 origin);

    // Per item: the kept item it stands for, or -1.
    std::vector<qint32> origins() const;
    // The items that stand for no kept item, in order.
    QList<FileItem> unkept() const;
    // Whether the item at `at` is a folder.
    bool isDirectory(quint32 at) const;
    // Whether each item is a folder, asked once an item, in order (as nameOrderOf asks).
    auto directoriesInOrder() const {
        return [this, piece = m_pieces.begin()](size_t at) mutable {
            while (at >= piece->at + piece->count) ++piece;
            const quint32 from = piece->from + (quint32(at) - piece->at);
            return (piece->kept ? m_kept[from] : m_made[from]).isDirectory();
        };
    }
    // The items, built on all cores. `alongside(0)` ... `alongside(jobs - 1)` run meanwhile, each
    // as a share of its own: work that needs only the origins and the unkept items.
    // Written into `room` when it holds them all.
    QList<FileItem> items(int jobs = 0, const std::function<void(int job)>& alongside = {},
                          ItemRoom* room = nullptr) const;

private:
    struct Piece {
        quint32 at;    // in the listing being put together
        quint32 from;  // in the kept listing, or in m_made
        quint32 count;
        bool kept;
    };
    using Pieces = std::vector<Piece>;
    Pieces::const_iterator pieceHolding(quint32 at) const;
    // Calls `each(at, piece, from, count)` for the runs of a piece among the items [begin, end)
    // of the listing: `count` items from `at`, taken from `from` on.
    template <typename Each>
    void forEachRun(quint32 begin, quint32 end, Each each) const;

    const QList<FileItem>& m_kept;
    Pieces m_pieces;
    QList<FileItem> m_made;
    std::vector<qint32> m_madeOrigins;
    quint32 m_size = 0;
};

}  // namespace tarnwick
