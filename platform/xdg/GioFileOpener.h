#pragma once

#include "platform/FileOpener.h"

namespace tarnwick {

// Launches the default application through GIO with the file's percent-encoded URI, so that a
// name that is not valid UTF-8 reaches the application unchanged.
class GioFileOpener : public FileOpener {
public:
    std::optional<QString> open(const QByteArray& path) override;
};

}  // namespace tarnwick
