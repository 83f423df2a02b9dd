#pragma once

#include <QByteArray>
#include <QString>

namespace tarnwick {

// Moves files and folders to the user's trash.
struct TrashOutcome {
    bool trashed = false;
    QString message;  // why not, in the words of whatever refused
};

class Trash {
public:
    virtual ~Trash() = default;
    // Moves `path` (native bytes) to the trash; succeeds only once the item has left its place
    // and sits in a trash folder, so that a failure never loses it.
    virtual TrashOutcome moveToTrash(const QByteArray& path) = 0;
};

}  // namespace tarnwick
