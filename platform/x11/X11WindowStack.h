#pragma once

#include "platform/FileManagerWindow.h"

#include <optional>

namespace tarnwick {

// Reads the stack from `_NET_CLIENT_LIST_STACKING` of the default display's root window, through
// a connection of its own. Nothing without an X display or a window manager that keeps the list.
std::optional<WindowStack> readWindowStack();

}  // namespace tarnwick
