#include "FileManagerWindow.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace tarnwick {

namespace {

constexpr uint32_t kAllDesktops = 0xFFFFFFFF;

bool classContains(const WindowFacts& window, const char* name) {
    return window.className.toLower().contains(name) ||
           window.instanceName.toLower().contains(name);
}

bool isOnCurrentDesktop(const WindowFacts& window, std::optional<uint32_t> currentDesktop) {
    if (!window.desktop || !currentDesktop || *window.desktop == kAllDesktops) return true;
    return *window.desktop == *currentDesktop;
}

}  // namespace

std::optional<FileManagerKind> fileManagerKindOf(const WindowFacts& window,
                                                 const QString& fileManagerOwner) {
    // Nemo and Caja windows carry GTK's properties too, and own org.freedesktop.FileManager1
    // when no Nautilus runs, yet answer none of Nautilus's questions: their class decides first.
    if (classContains(window, "thunar") || classContains(window, "nemo") ||
        classContains(window, "caja"))
        return FileManagerKind::titled;
    if (classContains(window, "dolphin")) return FileManagerKind::dolphin;
    const bool gtkWindow = !window.gtkObjectPath.isEmpty() && !window.gtkUniqueBusName.isEmpty();
    if (gtkWindow && !fileManagerOwner.isEmpty() &&
        window.gtkUniqueBusName == fileManagerOwner.toUtf8())
        return FileManagerKind::nautilus;
    // Without GTK's properties only Nautilus's title is left, which names no path.
    if (classContains(window, "nautilus"))
        return gtkWindow ? FileManagerKind::nautilus : FileManagerKind::titled;
    return std::nullopt;
}

std::optional<FileManagerWindow> frontFileManagerWindow(const WindowStack& stack, qint64 ownPid,
                                                        const QString& fileManagerOwner) {
    for (const WindowFacts& window : stack.topFirst) {
        if (window.pid == ownPid || window.hidden) continue;
        if (!isOnCurrentDesktop(window, stack.currentDesktop)) continue;
        if (auto kind = fileManagerKindOf(window, fileManagerOwner))
            return FileManagerWindow{window, *kind};
    }
    return std::nullopt;
}

bool anyGtkWindow(const WindowStack& stack) {
    for (const WindowFacts& window : stack.topFirst)
        if (!window.gtkObjectPath.isEmpty() && !window.gtkUniqueBusName.isEmpty()) return true;
    return false;
}

std::optional<WindowStack> windowStackFromJson(
    const QByteArray& json, const std::function<WindowFacts(const QJsonObject&)>& factsOf) {
    const QJsonDocument document = QJsonDocument::fromJson(json);
    if (!document.isArray()) return std::nullopt;
    WindowStack stack;
    for (const QJsonValue& value : document.array()) {
        if (!value.isObject()) return std::nullopt;
        stack.topFirst.append(factsOf(value.toObject()));
    }
    return stack;
}

}  // namespace tarnwick
