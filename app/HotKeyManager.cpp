#include "HotKeyManager.h"

#include "platform/DisplayServer.h"
#include "platform/GlobalShortcut.h"
#include "platform/gnome/GnomeShellExtension.h"
#include "platform/gnome/GnomeShellShortcut.h"
#include "platform/portal/GnomeCustomKeybinding.h"
#include "platform/portal/PortalGlobalShortcut.h"
#include "platform/x11/X11KeyGrab.h"

#include <QCoreApplication>
#include <QDBusConnection>

#include <cstdio>

namespace tarnwick {

namespace {

// Shown by the desktop's shortcut settings, as the tray menu names the same action.
const char* const kShortcutDescription =
    QT_TRANSLATE_NOOP("TrayMenu", "Search File Manager Window");

std::unique_ptr<GlobalShortcut> sessionBackend() {
    switch (currentDisplayServer()) {
        case DisplayServer::x11:
            return std::make_unique<X11KeyGrab>();
        case DisplayServer::wayland:
            // Under XWayland a grab fires only while an X11 window has the focus: useless.
            if (gnomeShellExtension::isGnomeWaylandSession() &&
                gnomeShellExtension::isRunning(QDBusConnection::sessionBus()))
                return std::make_unique<GnomeShellShortcut>(QDBusConnection::sessionBus());
            return std::make_unique<PortalGlobalShortcut>(QDBusConnection::sessionBus());
        case DisplayServer::none:
            break;
    }
    return nullptr;
}

bool isWaylandSessionOf(const char* desktop) {
    return currentDisplayServer() == DisplayServer::wayland &&
           qEnvironmentVariable("XDG_CURRENT_DESKTOP").contains(QLatin1String(desktop));
}

bool isGnomeWaylandSession() {
    return isWaylandSessionOf("GNOME");
}

void printLine(const QByteArray& line) {
    std::printf("%s\n", line.constData());
    std::fflush(stdout);
}

std::optional<ShortcutKey> shortcutKeyFor(const StoredHotKey& hotKey) {
    const std::optional<KeySymbol> symbol = keySymbolForKeyCode(hotKey.keyCode);
    if (!symbol) return std::nullopt;
    const ModifierKeys modifiers = modifierKeysFor(hotKey.modifiers);
    ShortcutKey key;
    key.keysym = symbol->keysym;
    key.keysymName = QString::fromLatin1(symbol->name);
    key.control = modifiers.control;
    key.alt = modifiers.alt;
    key.shift = modifiers.shift;
    key.super = modifiers.super;
    key.description = QCoreApplication::translate("TrayMenu", kShortcutDescription);
    return key;
}

}  // namespace

HotKeyManager& HotKeyManager::shared() {
    static HotKeyManager* manager = new HotKeyManager(sessionBackend);
    return *manager;
}

HotKeyManager::HotKeyManager(BackendFactory backends, QObject* parent)
    : QObject(parent), m_backends(std::move(backends)) {}

HotKeyManager::~HotKeyManager() {
    unregisterHotKey();
}

StoredHotKey HotKeyManager::storedHotKey() const {
    return readStoredHotKey();
}

QString HotKeyManager::displayText() const {
    return hotKeyDisplayText(storedHotKey());
}

void HotKeyManager::registerHotKey() {
    unregisterHotKey();
    const StoredHotKey stored = storedHotKey();
    const std::optional<ShortcutKey> key = shortcutKeyFor(stored);
    if (!key) return backendFailed(kUnmappedKeyCode);

    m_backend = m_backends ? m_backends() : nullptr;
    if (!m_backend)
        return backendUnavailable(QStringLiteral("no X11 display and no Wayland session"));
    connect(m_backend.get(), &GlobalShortcut::pressed, this, [this] {
        if (onHotKey) onHotKey();
    });
    connect(m_backend.get(), &GlobalShortcut::bound, this, &HotKeyManager::backendBound);
    connect(m_backend.get(), &GlobalShortcut::registrationFailed, this,
            &HotKeyManager::backendFailed);
    connect(m_backend.get(), &GlobalShortcut::unavailable, this,
            &HotKeyManager::backendUnavailable);
    m_backend->registerKey(*key);
    Q_EMIT stateChanged();
}

void HotKeyManager::unregisterHotKey() {
    if (m_backend) m_backend->unregisterKey();
    m_backend.reset();
    m_bound = m_refused = m_unavailable = false;
    m_trigger.clear();
}

bool HotKeyManager::isRegistered() const {
    return m_backend && m_bound && !m_refused && !m_unavailable;
}

bool HotKeyManager::isPending() const {
    return m_backend && !m_bound && !m_refused && !m_unavailable;
}

QString HotKeyManager::workingShortcut() const {
    if (isRegistered()) return m_trigger.isEmpty() ? displayText() : m_trigger;
    return gnomeKeybindingInstalled() ? displayText() : QString();
}

QString HotKeyManager::trayLine() const {
    const QString working = workingShortcut();
    if (!working.isEmpty()) return tr("Shortcut: %1").arg(working);
    return isPending() ? tr("Shortcut: waiting for the desktop…")
                       : tr("Shortcut: none (see Settings)");
}

QString HotKeyManager::shortcutProblem() const {
    if (!workingShortcut().isEmpty() || isPending()) return QString();
    const QString key = displayText();
    if (m_refused && m_refusal == kUnmappedKeyCode)
        return tr("%1 is no key of this keyboard.").arg(key);
    if (m_unavailable || !m_backend)
        return offersGnomeKeybinding()
                   ? tr("GNOME lets only its own settings react to %1: add it there below.")
                         .arg(key)
                   : tr("No shortcut: %1.").arg(m_unavailableReason);
    if (currentDisplayServer() == DisplayServer::x11)
        return tr("Another application holds %1: quit it and restart Tarnwick.").arg(key);
    if (isWaylandSessionOf("KDE"))
        return tr("Plasma did not bind %1: give “Search File Manager Window” a key in "
                  "System Settings › Shortcuts.")
            .arg(key);
    return tr("The desktop did not bind %1: give Tarnwick a key in its shortcut settings.")
        .arg(key);
}

void HotKeyManager::backendBound(const QString& trigger) {
    m_bound = true;
    m_trigger = trigger;
    retireGnomeKeybinding();
    Q_EMIT stateChanged();
}

// The keyboard-settings command added while nothing else could bind the key would now bind it a
// second time: one press would open the panel and the other close it again.
void HotKeyManager::retireGnomeKeybinding() {
    if (!gnomeKeybindingInstalled()) return;
    QString error;
    if (GnomeCustomKeybinding::remove(&error))
        printLine(
            "The desktop now binds the hot key: removed the GNOME keyboard shortcut "
            "Tarnwick had added for it");
    else
        printLine("Could not remove the GNOME keyboard shortcut Tarnwick had added: " +
                  error.toUtf8());
}

void HotKeyManager::backendFailed(int status) {
    m_refused = true;
    m_refusal = status;
    printLine("Failed to register global hot key: " + QByteArray::number(status));
    Q_EMIT stateChanged();
}

void HotKeyManager::backendUnavailable(const QString& reason) {
    m_unavailable = true;
    m_unavailableReason = reason;
    Q_EMIT stateChanged();
    if (m_toldUnavailable || gnomeKeybindingInstalled()) return;
    m_toldUnavailable = true;
    QString line = QStringLiteral("Global hot key unavailable: ") + reason +
                   QStringLiteral("; the tray menu still works");
    if (offersGnomeKeybinding())
        line += QStringLiteral(", and Settings can add a GNOME keyboard shortcut for it");
    printLine(line.toUtf8());
}

bool HotKeyManager::offersGnomeKeybinding() const {
    if (!isGnomeWaylandSession() || !GnomeCustomKeybinding::isOffered()) return false;
    return m_unavailable || GnomeCustomKeybinding::isInstalled();
}

bool HotKeyManager::gnomeKeybindingInstalled() const {
    return isGnomeWaylandSession() && GnomeCustomKeybinding::isInstalled();
}

bool HotKeyManager::installGnomeKeybinding(QString* error) {
    const std::optional<ShortcutKey> key = shortcutKeyFor(storedHotKey());
    if (!key) {
        if (error) *error = QStringLiteral("the stored shortcut names no key of this keyboard");
        return false;
    }
    return GnomeCustomKeybinding::install(QStringLiteral("Tarnwick: ") + key->description,
                                          GnomeCustomKeybinding::activateCommand(),
                                          gnomeAccelerator(*key), error);
}

bool HotKeyManager::removeGnomeKeybinding(QString* error) {
    return GnomeCustomKeybinding::remove(error);
}

}  // namespace tarnwick
