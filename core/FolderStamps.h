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

// Stamps `folder` from its stat as read (`st`) and its ".hidden" file's (`hiddenList`, null
// when it had none), for a read that began at `start`: trusted only when both settled before it.
// The walk and revalidation stamp alike, so that a folder read by either is judged the same.
void stampFolder(KeptFolder& folder, const struct stat& st, const struct stat* hiddenList,
                 bool remote, timespec start, qint64 settleNs);

// Whether the ".hidden" file `folder` recorded is still the same (always, when there was none:
// making one edits the folder).
bool hiddenListUnchanged(const KeptFolder& folder, const QByteArray& path);

}  // namespace tarnwick
