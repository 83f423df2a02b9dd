#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QTemporaryFile>

#include <functional>
#include <memory>

class QDBusMessage;

namespace tarnwick {

// A JavaScript program run inside KWin on our behalf: Plasma's window manager loads it from a
// file named over D-Bus, runs it, and keeps it (with its signal connections) until unloaded.
// Unloaded when this object goes, so that nothing of ours outlives its purpose in KWin.
class KWinScript : public QObject {
    Q_OBJECT
public:
    using Started = std::function<void(bool running)>;

    explicit KWinScript(QDBusConnection bus, QObject* parent = nullptr);
    ~KWinScript() override;

    // Loads `source` under `pluginName` (unique among KWin's scripts) and runs it; `started`
    // learns once whether KWin took it to run (it runs a moment later: a script that must be
    // known running calls back itself), each call answered within `timeoutMs`. Replaces any
    // script this object ran before.
    void start(const QString& pluginName, const QString& source, int timeoutMs, Started started);
    void unload();

private:
    void runLoaded();
    void call(const QString& path, const QString& interface, const QString& method,
              const QVariantList& arguments, std::function<void(const QDBusMessage&)> then);
    void report(bool running);

    QDBusConnection m_bus;
    QString m_pluginName;
    std::unique_ptr<QTemporaryFile> m_file;
    Started m_started;
    int m_timeoutMs = 0;
    int m_generation = 0;  // answers for an earlier start are dropped
};

}  // namespace tarnwick
