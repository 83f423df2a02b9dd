#pragma once

#include "KWinScript.h"
#include "platform/FileManagerWindow.h"

#include <QDBusConnection>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>

namespace tarnwick {

// Plasma on Wayland keeps the window stack to itself, but runs scripts: a KWin script loaded on
// our behalf lists the normal windows top first and calls back with them over D-Bus. Whatever
// goes wrong (no KWin, a script API of another version, no call back within the budget) is
// simply no stack.
class KWinWindowStack : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.tarnwick.KWinWindowStack")
public:
    static constexpr const char* kObjectPath = "/org/tarnwick/Tarnwick/KWinWindowStack";
    static constexpr int kBudgetMs = 500;

    explicit KWinWindowStack(QDBusConnection bus, QObject* parent = nullptr);
    ~KWinWindowStack() override;

    // Asks KWin; `done` runs once with the stack, or with nothing. A new request ends the
    // previous one with nothing.
    void request(std::function<void(std::optional<WindowStack>)> done);

    // Whether this is a Plasma session (XDG_CURRENT_DESKTOP names KDE).
    static bool isPlasmaSession();

public Q_SLOTS:
    // Called by the script.
    Q_SCRIPTABLE void report(const QString& token, const QString& windows);

private:
    void finish(std::optional<WindowStack> stack);

    QDBusConnection m_bus;
    bool m_exported = false;
    int m_requests = 0;
    QString m_token;
    std::unique_ptr<KWinScript> m_script;
    std::function<void(std::optional<WindowStack>)> m_done;
};

// The script KWin runs: reports to `service` the normal windows, top first, as JSON.
QString kwinWindowStackScript(const QString& service, const QString& token);

// The script's report as a window stack; nothing for anything but a list of windows.
std::optional<WindowStack> windowStackFromKWinReport(const QByteArray& json);

}  // namespace tarnwick
