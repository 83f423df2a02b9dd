#pragma once

#include "platform/ClickOutsideWatcher.h"

#include <QSocketNotifier>

#include <cstdint>
#include <memory>

struct xcb_connection_t;

namespace tarnwick {

// Raw button presses from every master device, selected with XInput 2 on the root window of a
// connection of our own (so Qt's own event selection on the root stays untouched), read in Qt's
// event loop through a socket notifier. A press counts when it is the left or right button and
// the top-level window under the pointer is none of this application's visible windows.
class XInputClickWatcher : public ClickOutsideWatcher {
    Q_OBJECT
public:
    explicit XInputClickWatcher(QObject* parent = nullptr);
    ~XInputClickWatcher() override;

    bool start() override;
    void stop() override;

    // Presses of any button read so far, counted or not: lets a caller know the server's events
    // up to some click have been handled.
    int pressesSeen() const { return m_pressesSeen; }

private:
    bool connectAndSelect();
    void readEvents();
    void handleRawPress(uint32_t button);
    bool pointerIsOverOwnWindow();
    uint32_t topLevelAncestor(uint32_t window);

    xcb_connection_t* m_connection = nullptr;
    uint32_t m_root = 0;
    uint8_t m_xinputOpcode = 0;
    std::unique_ptr<QSocketNotifier> m_notifier;
    int m_pressesSeen = 0;
};

}  // namespace tarnwick
