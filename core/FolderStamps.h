#pragma once

#include "KeptListing.h"

#include <QByteArray>

struct stat;

namespace tarnwick {

FolderStamp stampOf(const struct stat& st);

// Whether a read that began at `start` surely saw every edit that gave the folder `stamp`.
bool isSettled(const FolderStamp& stamp, timespec start, qint64 settleNs);

// Network and user-space file systems (NFS, SMB/CIFS, FUSE) whose folder times may stay put
// when a folder's entries change.
bool isRemoteFileSystem(int fd);
bool isRemoteFileSystem(const QByteArray& path);

// Whether the ".hidden" file `folder` recorded is still the same (always, when there was none:
// making one edits the folder).
bool hiddenListUnchanged(const KeptFolder& folder, const QByteArray& path);

}  // namespace tarnwick
