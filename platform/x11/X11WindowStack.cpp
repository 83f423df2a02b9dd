#include "X11WindowStack.h"

#include "XcbReply.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace tarnwick {

namespace {

using PropertyReply = XcbReply<xcb_get_property_reply_t>;

// Titles and class names are short; a hostile client's megabyte title is cut here.
constexpr uint32_t kMaxPropertyLongs = 4096;

struct Connection {
    xcb_connection_t* connection = nullptr;
    uint32_t root = 0;
    ~Connection() {
        if (connection) xcb_disconnect(connection);
    }
};

class Atoms {
public:
    enum Name {
        clientListStacking,
        currentDesktop,
        wmPid,
        wmName,
        utf8String,
        wmState,
        wmStateHidden,
        wmDesktop,
        gtkObjectPath,
        gtkUniqueBusName,
        count
    };

    explicit Atoms(xcb_connection_t* c) {
        static const char* const kNames[count] = {"_NET_CLIENT_LIST_STACKING",
                                                  "_NET_CURRENT_DESKTOP",
                                                  "_NET_WM_PID",
                                                  "_NET_WM_NAME",
                                                  "UTF8_STRING",
                                                  "_NET_WM_STATE",
                                                  "_NET_WM_STATE_HIDDEN",
                                                  "_NET_WM_DESKTOP",
                                                  "_GTK_WINDOW_OBJECT_PATH",
                                                  "_GTK_UNIQUE_BUS_NAME"};
        xcb_intern_atom_cookie_t cookies[count];
        for (int i = 0; i < count; ++i)
            cookies[i] = xcb_intern_atom(c, 0, uint16_t(strlen(kNames[i])), kNames[i]);
        for (int i = 0; i < count; ++i) {
            XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(c, cookies[i], nullptr));
            m_atoms[i] = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        }
    }
    xcb_atom_t operator[](Name name) const { return m_atoms[name]; }

private:
    xcb_atom_t m_atoms[count];
};

xcb_get_property_cookie_t askProperty(xcb_connection_t* c, uint32_t window, xcb_atom_t property) {
    return xcb_get_property(c, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0,
                            kMaxPropertyLongs);
}

PropertyReply propertyReply(xcb_connection_t* c, xcb_get_property_cookie_t cookie) {
    return PropertyReply(xcb_get_property_reply(c, cookie, nullptr));
}

QByteArray bytesOf(const PropertyReply& reply) {
    if (!reply || reply->format != 8) return {};
    return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                      xcb_get_property_value_length(reply.get()));
}

QList<uint32_t> cardinalsOf(const PropertyReply& reply) {
    if (!reply || reply->format != 32) return {};
    const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    return QList<uint32_t>(values, values + xcb_get_property_value_length(reply.get()) / 4);
}

std::optional<uint32_t> firstCardinal(const PropertyReply& reply) {
    const QList<uint32_t> values = cardinalsOf(reply);
    if (values.isEmpty()) return std::nullopt;
    return values.first();
}

// Every question about one window, asked before any answer is read: one round trip for all.
struct WindowQuestions {
    uint32_t id;
    xcb_get_property_cookie_t pid, wmClass, netName, name, state, desktop, gtkPath, gtkBus;
};

WindowQuestions askAbout(xcb_connection_t* c, const Atoms& atoms, uint32_t id) {
    return {id,
            askProperty(c, id, atoms[Atoms::wmPid]),
            askProperty(c, id, XCB_ATOM_WM_CLASS),
            askProperty(c, id, atoms[Atoms::wmName]),
            askProperty(c, id, XCB_ATOM_WM_NAME),
            askProperty(c, id, atoms[Atoms::wmState]),
            askProperty(c, id, atoms[Atoms::wmDesktop]),
            askProperty(c, id, atoms[Atoms::gtkObjectPath]),
            askProperty(c, id, atoms[Atoms::gtkUniqueBusName])};
}

WindowFacts answersFor(xcb_connection_t* c, const Atoms& atoms, const WindowQuestions& q) {
    WindowFacts facts;
    facts.id = q.id;
    if (auto pid = firstCardinal(propertyReply(c, q.pid))) facts.pid = *pid;
    const QList<QByteArray> wmClass = bytesOf(propertyReply(c, q.wmClass)).split('\0');
    facts.instanceName = wmClass.value(0);
    facts.className = wmClass.value(1);
    const QByteArray netName = bytesOf(propertyReply(c, q.netName));
    const QByteArray name = bytesOf(propertyReply(c, q.name));
    facts.title = netName.isEmpty() ? name : netName;
    facts.hidden = cardinalsOf(propertyReply(c, q.state)).contains(atoms[Atoms::wmStateHidden]);
    facts.desktop = firstCardinal(propertyReply(c, q.desktop));
    facts.gtkObjectPath = bytesOf(propertyReply(c, q.gtkPath));
    facts.gtkUniqueBusName = bytesOf(propertyReply(c, q.gtkBus));
    return facts;
}

bool connect(Connection& connection) {
    int screenNumber = 0;
    connection.connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection.connection)) return false;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection.connection));
    for (int i = 0; i < screenNumber && screens.rem; ++i) xcb_screen_next(&screens);
    if (!screens.rem) return false;
    connection.root = screens.data->root;
    return true;
}

}  // namespace

std::optional<WindowStack> readWindowStack() {
    Connection connection;
    if (!connect(connection)) return std::nullopt;
    xcb_connection_t* c = connection.connection;
    const Atoms atoms(c);

    const auto stackingCookie = askProperty(c, connection.root, atoms[Atoms::clientListStacking]);
    const auto desktopCookie = askProperty(c, connection.root, atoms[Atoms::currentDesktop]);
    const PropertyReply stacking = propertyReply(c, stackingCookie);
    if (!stacking || stacking->type == XCB_ATOM_NONE) return std::nullopt;

    WindowStack stack;
    stack.currentDesktop = firstCardinal(propertyReply(c, desktopCookie));
    // The property lists bottom to top.
    QList<uint32_t> ids = cardinalsOf(stacking);
    std::reverse(ids.begin(), ids.end());
    QList<WindowQuestions> questions;
    for (uint32_t id : ids) questions.append(askAbout(c, atoms, id));
    for (const WindowQuestions& q : questions) stack.topFirst.append(answersFor(c, atoms, q));
    return stack;
}

}  // namespace tarnwick
