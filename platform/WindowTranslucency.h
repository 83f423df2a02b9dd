#pragma once

namespace tarnwick {

// Whether windows with an alpha channel are blended with what lies below them: a compositing
// manager runs on X11, and always on Wayland. Without it the transparent corners of a rounded
// window would show black, so callers fall back to an opaque, shaped window.
bool translucentWindowsAvailable();

}  // namespace tarnwick
