#pragma once

#include "FileItem.h"

#include <QList>

#include <atomic>

namespace tarnwick {

// Reads the size and date of every item that lacks them, on every core, each folder opened once
// per share rather than every path walked again. Once `cancelled` is set it stops within a few
// thousand items, leaving the rest unread. Detaches `items` first if it is shared.
void readAttributes(QList<FileItem>& items, const std::atomic<bool>* cancelled = nullptr);

}  // namespace tarnwick
