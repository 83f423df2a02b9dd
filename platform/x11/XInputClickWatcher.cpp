#include "XInputClickWatcher.h"

#include "XcbReply.h"

#include <QGuiApplication>
#include <QWindow>

#include <xcb/xcb.h>
#include <xcb/xinput.h>

#include <cstdlib>
#include <memory>

namespace tarnwick {

namespace {

bool countsAsClick(uint32_t button) {
    // Left and right only; 2 is the middle button, 4 to 7 the wheel, 8 and up side buttons.
    return button == 1 || button == 3;
}

}  // namespace

XInputClickWatcher::XInputClickWatcher(QObject* parent) : ClickOutsideWatcher(parent) {}

XInputClickWatcher::~XInputClickWatcher() {
    stop();
}

bool XInputClickWatcher::start() {
    if (m_connection) return true;
    if (!connectAndSelect()) {
        stop();
        return false;
    }
    m_notifier = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(m_connection),
                                                   QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &XInputClickWatcher::readEvents);
    return true;
}

void XInputClickWatcher::stop() {
    // stop() may run inside the notifier's own signal (a receiver of clickedOutside stopping
    // us): the notifier goes later, never from under its emit.
    if (m_notifier) {
        m_notifier->setEnabled(false);
        m_notifier.release()->deleteLater();
    }
    if (m_connection) xcb_disconnect(m_connection);
    m_connection = nullptr;
}

bool XInputClickWatcher::connectAndSelect() {
    int screenNumber = 0;
    m_connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(m_connection)) return false;

    const xcb_query_extension_reply_t* extension =
        xcb_get_extension_data(m_connection, &xcb_input_id);
    if (!extension || !extension->present) return false;
    m_xinputOpcode = extension->major_opcode;

    // The server treats a client as XInput 1 until it announces 2.x; raw events reach the root
    // regardless of grabs from 2.1 on.
    XcbReply<xcb_input_xi_query_version_reply_t> version(xcb_input_xi_query_version_reply(
        m_connection, xcb_input_xi_query_version(m_connection, 2, 2), nullptr));
    if (!version || version->major_version < 2) return false;

    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < screenNumber && screens.rem; ++i) xcb_screen_next(&screens);
    if (!screens.rem) return false;
    m_root = screens.data->root;

    struct {
        xcb_input_event_mask_t header;
        uint32_t mask;
    } selection = {{XCB_INPUT_DEVICE_ALL_MASTER, 1}, XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS};
    XcbReply<xcb_generic_error_t> error(xcb_request_check(
        m_connection,
        xcb_input_xi_select_events_checked(m_connection, m_root, 1, &selection.header)));
    return !error;
}

void XInputClickWatcher::readEvents() {
    if (!m_connection) return;
    // Drains what the socket holds and what round trips below queued meanwhile.
    while (XcbReply<xcb_generic_event_t> event{xcb_poll_for_event(m_connection)}) {
        if ((event->response_type & 0x7f) != XCB_GE_GENERIC) continue;
        const auto* generic = reinterpret_cast<const xcb_ge_generic_event_t*>(event.get());
        if (generic->extension != m_xinputOpcode ||
            generic->event_type != XCB_INPUT_RAW_BUTTON_PRESS)
            continue;
        handleRawPress(
            reinterpret_cast<const xcb_input_raw_button_press_event_t*>(event.get())->detail);
        if (!m_connection) return;  // a receiver stopped us
    }
    if (m_connection && xcb_connection_has_error(m_connection)) stop();
}

void XInputClickWatcher::handleRawPress(uint32_t button) {
    ++m_pressesSeen;
    if (!countsAsClick(button)) return;
    if (pointerIsOverOwnWindow()) return;
    Q_EMIT clickedOutside();
}

bool XInputClickWatcher::pointerIsOverOwnWindow() {
    XcbReply<xcb_query_pointer_reply_t> pointer(
        xcb_query_pointer_reply(m_connection, xcb_query_pointer(m_connection, m_root), nullptr));
    if (!pointer || pointer->child == XCB_WINDOW_NONE) return false;  // on the desktop itself
    // The root's child under the pointer is a window manager's frame or an unmanaged window
    // (menus, pop-ups); ours are inside such frames.
    for (QWindow* window : QGuiApplication::topLevelWindows()) {
        if (!window->isVisible() || !window->handle()) continue;
        if (topLevelAncestor(uint32_t(window->winId())) == pointer->child) return true;
    }
    return false;
}

uint32_t XInputClickWatcher::topLevelAncestor(uint32_t window) {
    // A window manager nests a client window at most a few levels deep; the bound only guards
    // against a server answering nonsense.
    for (int depth = 0; depth < 16; ++depth) {
        XcbReply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, window), nullptr));
        if (!tree) return XCB_WINDOW_NONE;
        if (tree->parent == m_root || tree->parent == XCB_WINDOW_NONE) return window;
        window = tree->parent;
    }
    return XCB_WINDOW_NONE;
}

}  // namespace tarnwick
