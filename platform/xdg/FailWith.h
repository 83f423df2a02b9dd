#pragma once

#include <QString>

namespace tarnwick {

// Puts `message` where the caller asked for the reason (if it asked) and returns false, so that
// each failing step of a file write reads as one line.
inline bool failWith(QString* error, const QString& message) {
    if (error) *error = message;
    return false;
}

}  // namespace tarnwick
