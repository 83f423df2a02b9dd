#pragma once

#include <QString>

namespace tarnwick {

// Where the panel belongs, in pixels: `width` wide, centred on the usable area of the screen
// under the pointer, its bottom edge `riseAboveMiddle` above that area's middle while
// `openingHeight` high; taller later, it grows downward, moving up only as far as the usable
// area's bottom demands. `shadowMargin` of transparent shadow surrounds the panel in its window.
struct PanelRule {
    int width = 0;
    int openingHeight = 0;
    int riseAboveMiddle = 0;
    int shadowMargin = 0;
};

// On Wayland a client neither places its own window nor learns where it is; a window manager
// that runs scripts can place it on the client's behalf.
class PanelPlacer {
public:
    virtual ~PanelPlacer() = default;
    // From now until this object goes, keeps this process's window titled `title` where `rule`
    // puts it, from its first appearance and through each change of its size. The user may
    // still move it.
    virtual void keepPlaced(const QString& title, const PanelRule& rule) = 0;
};

}  // namespace tarnwick
