#include "X11KeyGrab.h"

#include "XcbReply.h"

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <cstdlib>

namespace tarnwick {

namespace {

constexpr uint32_t kAltKeysym = 0xffe9;         // Alt_L
constexpr uint32_t kSuperKeysym = 0xffeb;       // Super_L
constexpr uint32_t kNumLockKeysym = 0xff7f;     // Num_Lock
constexpr uint32_t kScrollLockKeysym = 0xff14;  // Scroll_Lock

QList<uint8_t> keycodesOf(xcb_key_symbols_t* symbols, uint32_t keysym) {
    QList<uint8_t> codes;
    XcbReply<xcb_keycode_t> list(xcb_key_symbols_get_keycode(symbols, keysym));
    for (const xcb_keycode_t* code = list.get(); code && *code != XCB_NO_SYMBOL; ++code)
        if (!codes.contains(*code)) codes.append(*code);
    return codes;
}

}  // namespace

X11KeyGrab::X11KeyGrab(QObject* parent) : GlobalShortcut(parent) {}

X11KeyGrab::~X11KeyGrab() {
    unregisterKey();
    disconnectFromDisplay();
}

void X11KeyGrab::registerKey(const ShortcutKey& key) {
    unregisterKey();
    m_key = key;
    if (!m_connection && !connectToDisplay()) {
        disconnectFromDisplay();
        Q_EMIT registrationFailed(kNoDisplay);
        return;
    }
    const QList<uint8_t> keycodes = keycodesOf(m_symbols, key.keysym);
    if (keycodes.isEmpty()) {
        Q_EMIT registrationFailed(kKeyNotOnKeyboard);
        return;
    }
    uint16_t modifiers = 0;
    if (key.control) modifiers |= XCB_MOD_MASK_CONTROL;
    if (key.shift) modifiers |= XCB_MOD_MASK_SHIFT;
    if (key.alt) modifiers |= modifierMaskOf(kAltKeysym, XCB_MOD_MASK_1);
    if (key.super) modifiers |= modifierMaskOf(kSuperKeysym, XCB_MOD_MASK_4);

    m_keycodes = keycodes;
    if (const int error = grabAll(modifiers)) {
        ungrabAll();
        Q_EMIT registrationFailed(error);
        return;
    }
    Q_EMIT bound(QString());
}

void X11KeyGrab::unregisterKey() {
    ungrabAll();
}

bool X11KeyGrab::connectToDisplay() {
    int screenNumber = 0;
    m_connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(m_connection)) return false;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < screenNumber && screens.rem; ++i) xcb_screen_next(&screens);
    if (!screens.rem) return false;
    m_root = screens.data->root;
    m_symbols = xcb_key_symbols_alloc(m_connection);
    if (!m_symbols) return false;
    m_notifier = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(m_connection),
                                                   QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &X11KeyGrab::readEvents);
    return true;
}

void X11KeyGrab::disconnectFromDisplay() {
    m_notifier.reset();
    if (m_symbols) xcb_key_symbols_free(m_symbols);
    m_symbols = nullptr;
    if (m_connection) xcb_disconnect(m_connection);
    m_connection = nullptr;
}

int X11KeyGrab::grabAll(uint16_t modifiers) {
    QList<xcb_void_cookie_t> cookies;
    for (uint16_t variant : lockVariants()) {
        m_grabbedStates.append(modifiers | variant);
        for (uint8_t keycode : m_keycodes)
            cookies.append(xcb_grab_key_checked(m_connection, 0, m_root, modifiers | variant,
                                                keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    }
    int firstError = 0;
    for (xcb_void_cookie_t cookie : cookies) {
        XcbReply<xcb_generic_error_t> error(xcb_request_check(m_connection, cookie));
        if (error && !firstError) firstError = error->error_code;
    }
    return firstError;
}

void X11KeyGrab::ungrabAll() {
    if (m_connection) {
        for (uint16_t state : m_grabbedStates)
            for (uint8_t keycode : m_keycodes) xcb_ungrab_key(m_connection, keycode, m_root, state);
        xcb_flush(m_connection);
    }
    m_keycodes.clear();
    m_grabbedStates.clear();
}

uint16_t X11KeyGrab::modifierMaskOf(uint32_t keysym, uint16_t fallback) {
    const QList<uint8_t> wanted = keycodesOf(m_symbols, keysym);
    if (wanted.isEmpty()) return fallback;
    XcbReply<xcb_get_modifier_mapping_reply_t> mapping(xcb_get_modifier_mapping_reply(
        m_connection, xcb_get_modifier_mapping(m_connection), nullptr));
    if (!mapping) return fallback;
    const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(mapping.get());
    const int perModifier = mapping->keycodes_per_modifier;
    // Eight modifiers in the order Shift, Lock, Control, Mod1 ... Mod5.
    for (int modifier = 0; modifier < 8; ++modifier)
        for (int i = 0; i < perModifier; ++i)
            if (wanted.contains(codes[modifier * perModifier + i])) return uint16_t(1 << modifier);
    return fallback;
}

QList<uint16_t> X11KeyGrab::lockVariants() {
    const uint16_t locks[] = {uint16_t(XCB_MOD_MASK_LOCK), modifierMaskOf(kNumLockKeysym, 0),
                              modifierMaskOf(kScrollLockKeysym, 0)};
    QList<uint16_t> variants{0};
    for (uint16_t lock : locks) {
        if (!lock) continue;
        for (qsizetype i = 0, n = variants.size(); i < n; ++i)
            if (!variants.contains(uint16_t(variants[i] | lock)))
                variants.append(uint16_t(variants[i] | lock));
    }
    return variants;
}

void X11KeyGrab::readEvents() {
    if (!m_connection) return;
    while (XcbReply<xcb_generic_event_t> event{xcb_poll_for_event(m_connection)}) {
        handleEvent(event.get());
        if (!m_connection) return;
    }
    if (xcb_connection_has_error(m_connection)) {
        // The server went away: nothing left to ungrab or to listen to.
        m_keycodes.clear();
        m_grabbedStates.clear();
        disconnectFromDisplay();
    }
}

void X11KeyGrab::handleEvent(const void* generic) {
    const auto& event = *static_cast<const xcb_generic_event_t*>(generic);
    switch (event.response_type & 0x7f) {
        case XCB_KEY_RELEASE: {
            const auto& release = reinterpret_cast<const xcb_key_release_event_t&>(event);
            m_lastReleaseTime = release.time;
            m_lastReleaseKeycode = release.detail;
            break;
        }
        case XCB_KEY_PRESS: {
            const auto& press = reinterpret_cast<const xcb_key_press_event_t&>(event);
            if (!m_keycodes.contains(press.detail)) break;
            const bool repeat =
                press.time == m_lastReleaseTime && press.detail == m_lastReleaseKeycode;
            if (!repeat) Q_EMIT pressed();
            break;
        }
        case XCB_MAPPING_NOTIFY: {
            // A new keyboard layout may put the key elsewhere: grab it where it is now.
            auto mapping = reinterpret_cast<const xcb_mapping_notify_event_t&>(event);
            xcb_refresh_keyboard_mapping(m_symbols, &mapping);
            if (isGrabbed()) registerKey(m_key);
            break;
        }
        default:
            break;
    }
}

}  // namespace tarnwick
