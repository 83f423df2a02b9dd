#pragma once

#include "platform/Trash.h"

#include <functional>
#include <optional>

namespace tarnwick {

// The freedesktop.org trash through GIO's g_file_trash on the path's bytes (the home trash, or
// the volume's own), checked afterwards: the item must have left its place and be found in a
// trash folder, whatever the call reported. A path GIO cannot take (past PATH_MAX) goes to the
// home trash through folder descriptors instead.
class GioTrash : public Trash {
public:
    // Moves one item away; the refusal's message, or nothing when it reports success.
    using Mover = std::function<std::optional<QString>(const QByteArray& path)>;

    GioTrash();
    explicit GioTrash(Mover mover);

    TrashOutcome moveToTrash(const QByteArray& path) override;

private:
    Mover m_mover;
};

}  // namespace tarnwick
