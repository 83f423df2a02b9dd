#include "StartupId.h"

#include "DisplayServer.h"

#include <QCoreApplication>
#include <QInputEvent>
#include <QPointer>

#include <atomic>

namespace tarnwick {

namespace {

std::atomic<quint64> g_lastInputTime{0};
std::atomic<quint64> g_startupCounter{0};

class InputTimeRecorder : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::KeyPress:
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease: {
                const quint64 time = static_cast<QInputEvent*>(event)->timestamp();
                if (time != 0) g_lastInputTime.store(time);
                break;
            }
            default:
                break;
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

quint64 lastUserInputTime() {
    return g_lastInputTime.load();
}

void trackUserInputTime() {
    static QPointer<InputTimeRecorder> recorder;
    QCoreApplication* app = QCoreApplication::instance();
    if (recorder || !app) return;
    recorder = new InputTimeRecorder(app);
    app->installEventFilter(recorder);
}

QString startupIdFor(quint64 userTime) {
    if (userTime == 0) return {};
    return QStringLiteral("tarnwick-%1-%2_TIME%3")
        .arg(QCoreApplication::applicationPid())
        .arg(++g_startupCounter)
        .arg(userTime);
}

QString activationTokenOfThisStart() {
    const QString token = qEnvironmentVariable("XDG_ACTIVATION_TOKEN");
    return token.isEmpty() ? qEnvironmentVariable("DESKTOP_STARTUP_ID") : token;
}

void adoptActivationToken(const QString& token) {
    // Qt's X11 plug-in reads its startup id only once, at start; there the user-time path of
    // the window manager's focus rules applies instead.
    if (!token.isEmpty() && currentDisplayServer() == DisplayServer::wayland)
        qputenv("XDG_ACTIVATION_TOKEN", token.toUtf8());
}

}  // namespace tarnwick
