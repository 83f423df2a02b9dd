#pragma once

namespace tarnwick {

// Whether a compositing manager owns the _NET_WM_CM_Sn selection of the default screen of
// $DISPLAY. False when there is no X server to ask.
bool x11CompositorRunning();

}  // namespace tarnwick
