#pragma once

namespace tarnwick {

// Gives the panel's own widgets the roles assistive technologies expect: the panel a window, its
// labels static text (named by what they show), a horizontal line a separator. Qt's factories
// cover the stock widgets. Safe to call more than once.
void installPanelAccessibility();

}  // namespace tarnwick
