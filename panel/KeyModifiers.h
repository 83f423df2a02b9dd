#pragma once

#include <QKeyEvent>

namespace tarnwick {

// The modifiers that make a key something else (Shift, Ctrl, Alt, Super, AltGr), plus the
// keypad flag, which a key on the numeric pad carries.
inline Qt::KeyboardModifiers meaningfulModifiers(const QKeyEvent& key) {
    return key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier |
                              Qt::MetaModifier | Qt::KeypadModifier | Qt::GroupSwitchModifier);
}

// Ctrl and nothing else (the keypad flag aside: Ctrl+Enter on the pad counts as Ctrl+Return).
inline bool isControlAlone(Qt::KeyboardModifiers modifiers) {
    return (modifiers & ~Qt::KeypadModifier) == Qt::ControlModifier;
}

// Return, or Enter on the numeric pad.
inline bool isReturnKey(const QKeyEvent& key) {
    return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

}  // namespace tarnwick
