#include "LoadableModule.h"

#include <QByteArrayList>
#include <QtGlobal>

#include <climits>

#include <dlfcn.h>
#include <stdlib.h>
#include <unistd.h>

namespace tarnwick {

namespace {

QByteArray runningProgramFolder() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || size_t(length) >= sizeof path) return {};
    const QByteArray program(path, length);
    return program.left(program.lastIndexOf('/'));
}

// The path with every symbolic link resolved, as /proc/self/exe gives the program's.
QByteArray canonical(const char* path) {
    char resolved[PATH_MAX];
    return realpath(path, resolved) ? QByteArray(resolved) : QByteArray(path);
}

}  // namespace

void* loadModule(const char* fileName, QByteArray* error) {
    const QByteArray program = runningProgramFolder();
    QByteArrayList candidates{program + '/' + TARNWICK_MODULES_FROM_PROGRAM + '/' + fileName};
    // Only a program inside the build tree looks there: an installed one never loads code from
    // wherever it happened to be built.
    if (program.startsWith(canonical(TARNWICK_BUILD_DIR) + '/'))
        candidates.append(canonical(TARNWICK_MODULES_BUILD_DIR) + '/' + fileName);
    QByteArrayList errors;
    for (const QByteArray& path : candidates) {
        if (void* module = dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL)) return module;
        errors.append(dlerror());
    }
    if (error) *error = errors.join("; ");
    return nullptr;
}

void* moduleEntry(void* module, const char* name) {
    return module ? dlsym(module, name) : nullptr;
}

void* loadModuleEntry(const char* fileName, const char* name, const char* unavailable) {
    QByteArray error;
    void* module = loadModule(fileName, &error);
    void* entry = moduleEntry(module, name);
    if (module && !entry) error = "it has no entry point " + QByteArray(name);
    if (!entry) qWarning("%s: %s", unavailable, error.constData());
    return entry;
}

}  // namespace tarnwick
