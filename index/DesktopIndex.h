#pragma once

#include "MetadataQuery.h"

#include <QByteArray>

#include <functional>
#include <memory>

class QObject;

namespace tarnwick {

// The desktop's own index of files and their text (Tracker's miner), with what choosing between
// it and the scanner needs to know of it.
class DesktopIndex : public MetadataIndex {
public:
    // Whether the index may hold the whole text of the file `path` of `size` bytes. Callable from
    // any thread, also once the index is gone.
    using TextCoverage = std::function<bool(const QByteArray& path, qint64 size)>;

    // True when every entry below `scope` that the index takes at all is in it.
    virtual bool coversRecursively(const QByteArray& scope) const = 0;
    virtual TextCoverage textCoverage() const = 0;
};

using DesktopIndexReady = std::function<void(std::unique_ptr<DesktopIndex>)>;

// Connects to the desktop's index without blocking (a second at most) and calls `ready` on the
// main thread with it, or with null where it does not answer, while `context` lives. The index
// lives in a module of its own (its client library and the dozen it rests on), loaded by the
// first call: a start that never asks for it, as `--print --index none`, maps none of them.
void connectDesktopIndex(QObject* context, DesktopIndexReady ready);

}  // namespace tarnwick
