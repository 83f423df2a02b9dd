#include "XCompositorProbe.h"

#include <QByteArray>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace tarnwick {

bool x11CompositorRunning() {
    int screen = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screen);
    const auto disconnect = [](xcb_connection_t* c) { xcb_disconnect(c); };
    std::unique_ptr<xcb_connection_t, decltype(disconnect)> owner(connection, disconnect);
    if (xcb_connection_has_error(connection)) return false;

    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(screen);
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, uint16_t(name.size()), name.constData()),
        nullptr);
    if (!atom) return false;
    const xcb_atom_t selection = atom->atom;
    std::free(atom);
    if (selection == XCB_ATOM_NONE) return false;  // nobody ever claimed it

    xcb_get_selection_owner_reply_t* owned = xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, selection), nullptr);
    const bool running = owned && owned->owner != XCB_WINDOW_NONE;
    std::free(owned);
    return running;
}

}  // namespace tarnwick
