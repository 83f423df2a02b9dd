#pragma once

#include "FileItem.h"
#include "KeptListing.h"

#include <QByteArray>
#include <QList>

#include <atomic>
#include <vector>

namespace tarnwick {

struct ListingOptions {
    bool showHiddenFiles = false;
    // Checked between folders; once set, the walk stops and the listing is empty.
    const std::atomic<bool>* cancelled = nullptr;
    // Threads reading folders at once; 0 picks one per core.
    int threads = 0;
    // When set, receives every folder of the walk, the root first and each folder before those
    // below it, stamped as it was just before its entries were read: what a kept listing needs.
    // One edited less than `settleNs` before the walk began is left untrusted (see keepListing).
    std::vector<KeptFolder>* folders = nullptr;
    qint64 settleNs = kSettleNs;
};

// Every file and folder below `folder` (not the folder itself), depth first: each folder right
// before its contents, the entries of a folder in the order the directory yields them. The order
// is the same on every run over an unchanged tree, however the work is spread over threads.
// Never fails: what cannot be read is left out (a folder's contents) or blanked (attributes).
QList<FileItem> listDirectory(const QByteArray& folder, const ListingOptions& options);

// As above, with "showHiddenFiles" read from the preferences now.
QList<FileItem> listDirectory(const QByteArray& folder, const std::atomic<bool>* cancelled);

// Grows the process's descriptor table, once, to hold what a walk keeps open. The walk opens
// sub-folders ahead from their parents' descriptors, and a table that grows while threads share
// it waits out an RCU grace period at each doubling: 10 to 20 ms in which every walker stood
// still, a tenth of a search through /usr. Free while the program has a single thread, so main
// calls it first; a walk calls it too, for programs that did not.
void reserveWalkDescriptors();

}  // namespace tarnwick
