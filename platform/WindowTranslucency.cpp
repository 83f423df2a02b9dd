#include "WindowTranslucency.h"

#include "DisplayServer.h"
#include "x11/XCompositorProbe.h"

namespace tarnwick {

bool translucentWindowsAvailable() {
    switch (currentDisplayServer()) {
        case DisplayServer::wayland:
            return true;
        case DisplayServer::x11:
            return x11CompositorRunning();
        case DisplayServer::none:
            break;
    }
    return false;
}

}  // namespace tarnwick
