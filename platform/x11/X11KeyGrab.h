#pragma once

#include "platform/GlobalShortcut.h"

#include <QList>
#include <QSocketNotifier>

#include <cstdint>
#include <memory>

struct xcb_connection_t;
struct _XCBKeySymbols;

namespace tarnwick {

// A key combination grabbed on the root window of an X connection of our own, so that the server
// sends us its presses whichever window has the focus. Every Caps Lock, Num Lock and Scroll Lock
// state is grabbed too: the server compares modifier states exactly.
class X11KeyGrab : public GlobalShortcut {
    Q_OBJECT
public:
    // registrationFailed statuses of our own; the server's refusals keep its error code (10,
    // BadAccess, when another client holds the combination).
    static constexpr int kNoDisplay = -3;
    static constexpr int kKeyNotOnKeyboard = -2;

    explicit X11KeyGrab(QObject* parent = nullptr);
    ~X11KeyGrab() override;

    void registerKey(const ShortcutKey& key) override;
    void unregisterKey() override;

    bool isGrabbed() const { return !m_keycodes.isEmpty(); }

private:
    bool connectToDisplay();
    void disconnectFromDisplay();
    // Grabs every keycode with every lock variant; the first refusal's error code, or 0.
    int grabAll(uint16_t modifiers);
    void ungrabAll();
    uint16_t modifierMaskOf(uint32_t keysym, uint16_t fallback);
    QList<uint16_t> lockVariants();
    void readEvents();
    // `event` is an xcb_generic_event_t (an anonymous struct, which cannot be declared here).
    void handleEvent(const void* event);

    xcb_connection_t* m_connection = nullptr;
    _XCBKeySymbols* m_symbols = nullptr;
    uint32_t m_root = 0;
    std::unique_ptr<QSocketNotifier> m_notifier;

    ShortcutKey m_key;
    QList<uint8_t> m_keycodes;  // grabbed, for the current key
    QList<uint16_t> m_grabbedStates;
    // X repeats a held key as release-press pairs with one timestamp: such a press is no press.
    uint32_t m_lastReleaseTime = 0;
    uint8_t m_lastReleaseKeycode = 0;
};

}  // namespace tarnwick
