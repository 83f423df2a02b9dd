#include "ClickOutsideWatcher.h"

#include "DisplayServer.h"
#include "FocusLossWatcher.h"
#include "x11/XInputClickWatcher.h"

namespace tarnwick {

std::unique_ptr<ClickOutsideWatcher> ClickOutsideWatcher::create(QObject* parent) {
    if (currentDisplayServer() == DisplayServer::x11)
        return std::make_unique<XInputClickWatcher>(parent);
    return std::make_unique<FocusLossWatcher>(parent);
}

}  // namespace tarnwick
