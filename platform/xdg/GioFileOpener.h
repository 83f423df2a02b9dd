#pragma once

#include "platform/FileOpener.h"

namespace tarnwick {

// Launches the default application through GIO with the file's percent-encoded URI, so that a
// name that is not valid UTF-8 reaches the application unchanged. A file whose type no
// application handles (an empty one, say) opens with the one for the type its name suggests.
class GioFileOpener : public FileOpener {
public:
    std::optional<QString> open(const QByteArray& path) override;
};

}  // namespace tarnwick
