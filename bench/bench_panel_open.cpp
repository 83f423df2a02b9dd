// Key press to panel, seen from outside as the X server tells it: presses the shortcut with
// xdotool (one process fed its commands), waits for the MapNotify of the tray application's
// panel window (its title "Tarnwick") and for the first ConfigureNotify that makes it tall
// enough to hold a row (the panel grows to fit its first published rows), then closes it with
// Escape. Prints one line per press: "press N map_ms M rows_ms R" (R is -1 when no rows came
// within the wait).
//   bench_panel_open PID KEYS RUNS [PAUSE_MS] [ROWS_HEIGHT]
#include <xcb/xcb.h>

#include <poll.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>

namespace {

double nowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// One xdotool for all presses, reading its commands from a pipe: what is timed is the key,
// not the start of a process on a busy machine.
FILE* xdotool() {
    static FILE* pipe = [] {
        FILE* opened = popen("xdotool -", "w");
        if (!opened) {
            std::perror("xdotool");
            std::exit(1);
        }
        return opened;
    }();
    return pipe;
}

void pressKeys(const char* keys) {
    std::fprintf(xdotool(), "key %s\n", keys);
    std::fflush(xdotool());
}

struct Watch {
    xcb_connection_t* c;
    xcb_window_t root;
    xcb_atom_t pidAtom, nameAtom, utf8Atom;
    unsigned pid;
    std::set<xcb_window_t> panels, others;

    xcb_atom_t atom(const char* name) {
        auto cookie = xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name);
        std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
            xcb_intern_atom_reply(c, cookie, nullptr), &std::free);
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }

    void follow(xcb_window_t window) {
        const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(c, window, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(c);
    }

    std::string property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type) {
        auto cookie = xcb_get_property(c, 0, window, name, type, 0, 256);
        std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
            xcb_get_property_reply(c, cookie, nullptr), &std::free);
        if (!reply) return {};
        return std::string(static_cast<const char*>(xcb_get_property_value(reply.get())),
                           size_t(xcb_get_property_value_length(reply.get())));
    }

    // Known once its properties are set, which Qt does before mapping.
    bool isPanel(xcb_window_t window) {
        if (panels.count(window)) return true;
        if (others.count(window)) return false;
        const std::string pidBytes = property(window, pidAtom, XCB_ATOM_CARDINAL);
        const std::string title = property(window, nameAtom, utf8Atom);
        unsigned windowPid = 0;
        if (pidBytes.size() == 4) std::memcpy(&windowPid, pidBytes.data(), 4);
        if (windowPid != pid) return false;
        if (title == "Tarnwick") {
            panels.insert(window);
            return true;
        }
        return false;
    }

    // The panel itself, or the panel inside a window manager's frame.
    xcb_window_t panelAt(xcb_window_t window) {
        if (isPanel(window)) return window;
        auto cookie = xcb_query_tree(c, window);
        std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> reply(
            xcb_query_tree_reply(c, cookie, nullptr), &std::free);
        if (!reply) return XCB_NONE;
        const xcb_window_t* children = xcb_query_tree_children(reply.get());
        for (int i = 0; i < xcb_query_tree_children_length(reply.get()); ++i)
            if (isPanel(children[i])) return children[i];
        return XCB_NONE;
    }

    void followChildren(xcb_window_t window, int depth) {
        auto cookie = xcb_query_tree(c, window);
        std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> reply(
            xcb_query_tree_reply(c, cookie, nullptr), &std::free);
        if (!reply) return;
        const xcb_window_t* children = xcb_query_tree_children(reply.get());
        for (int i = 0; i < xcb_query_tree_children_length(reply.get()); ++i) {
            follow(children[i]);
            if (depth > 1) followChildren(children[i], depth - 1);
        }
    }
};

struct Press {
    double map = -1, rows = -1;
    bool closed = false;
};

// Events until `done` or `timeoutMs` passes.
template <typename Done>
void pump(Watch& w, Press& press, double t0, int rowsHeight, double timeoutMs, Done done) {
    const double deadline = nowMs() + timeoutMs;
    while (!done(press)) {
        xcb_generic_event_t* event = xcb_poll_for_event(w.c);
        if (!event) {
            const double left = deadline - nowMs();
            if (left <= 0) return;
            pollfd fd{xcb_get_file_descriptor(w.c), POLLIN, 0};
            poll(&fd, 1, int(left) + 1);
            continue;
        }
        const double at = nowMs() - t0;
        switch (event->response_type & 0x7f) {
            case XCB_CREATE_NOTIFY:
                w.follow(reinterpret_cast<xcb_create_notify_event_t*>(event)->window);
                break;
            case XCB_MAP_NOTIFY: {
                // The root hears of every top-level map without a race; the window itself only
                // once our selection on it has reached the server.
                auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
                xcb_window_t panel = XCB_NONE;
                if (map->event == w.root)
                    panel = w.panelAt(map->window);
                else if (map->event == map->window && w.isPanel(map->window))
                    panel = map->window;
                if (panel == XCB_NONE || press.map >= 0) break;
                press.map = at;
                auto cookie = xcb_get_geometry(w.c, panel);
                std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
                    xcb_get_geometry_reply(w.c, cookie, nullptr), &std::free);
                if (geometry && geometry->height >= rowsHeight && press.rows < 0) press.rows = at;
                break;
            }
            case XCB_CONFIGURE_NOTIFY: {
                auto* configure = reinterpret_cast<xcb_configure_notify_event_t*>(event);
                if (configure->event == configure->window && press.map >= 0 && press.rows < 0 &&
                    configure->height >= rowsHeight && w.isPanel(configure->window))
                    press.rows = at;
                break;
            }
            case XCB_UNMAP_NOTIFY: {
                auto* unmap = reinterpret_cast<xcb_unmap_notify_event_t*>(event);
                if (unmap->event == unmap->window && w.isPanel(unmap->window)) press.closed = true;
                break;
            }
            default:
                break;
        }
        std::free(event);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: bench_panel_open PID KEYS RUNS [PAUSE_MS] [ROWS_HEIGHT]\n");
        return 2;
    }
    const unsigned pid = unsigned(std::strtoul(argv[1], nullptr, 10));
    const char* keys = argv[2];
    const int runs = std::atoi(argv[3]);
    const int pauseMs = argc > 4 ? std::atoi(argv[4]) : 1500;
    // An empty panel is 131 pixels high; one row more than that means rows are shown.
    const int rowsHeight = argc > 5 ? std::atoi(argv[5]) : 140;

    int screenNumber = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber; ++i) xcb_screen_next(&screens);
    Watch w{c, screens.data->root, 0, 0, 0, pid, {}, {}};
    w.pidAtom = w.atom("_NET_WM_PID");
    w.nameAtom = w.atom("_NET_WM_NAME");
    w.utf8Atom = w.atom("UTF8_STRING");
    const uint32_t rootMask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, w.root, XCB_CW_EVENT_MASK, &rootMask);
    // Windows made before we started (a panel window kept ready, under its frame).
    w.followChildren(w.root, 2);
    xcb_flush(c);

    int failures = 0;
    xdotool();  // started, and connected to the display, before the first press
    Press idle;
    pump(w, idle, nowMs(), rowsHeight, 500, [](const Press&) { return false; });
    for (int run = 1; run <= runs; ++run) {
        Press press;
        const double t0 = nowMs();
        pressKeys(keys);
        pump(w, press, t0, rowsHeight, 15000, [](const Press& p) { return p.rows >= 0; });
        std::printf("press %d map_ms %.1f rows_ms %.1f\n", run, press.map, press.rows);
        std::fflush(stdout);
        if (press.map < 0) {
            ++failures;
        } else {
            // An Escape that comes before the window manager has given the panel the focus goes
            // elsewhere; the next press would then find the panel still open, and close it.
            for (int attempt = 0; attempt < 3 && !press.closed; ++attempt) {
                if (attempt > 0)
                    std::fprintf(stderr, "press %d: the panel stayed open after Escape\n", run);
                pressKeys("Escape");
                pump(w, press, nowMs(), rowsHeight, 3000, [](const Press& p) { return p.closed; });
            }
        }
        pump(w, press, nowMs(), rowsHeight, pauseMs, [](const Press&) { return false; });
    }
    pclose(xdotool());
    xcb_disconnect(c);
    return failures == runs ? 1 : 0;
}
