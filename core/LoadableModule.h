#pragma once

#include <QByteArray>

namespace tarnwick {

// Parts of Tarnwick kept in shared objects of their own (the interface, the PDF reader) and
// loaded when first needed: a start that never needs them, as most `--print` runs, does not
// spend tens of milliseconds mapping the libraries they rest on. A module is looked for in the
// modules folder installed beside the running program and, for a program run from the build
// tree, in the build's own. Null when it cannot be loaded; `error` then says why.
void* loadModule(const char* fileName, QByteArray* error);

// The named entry point of a loaded module, or null.
void* moduleEntry(void* module, const char* name);

// The entry point `name` of the module `fileName`, loaded first; null when either cannot be had,
// after a warning that says what cannot be done then (`unavailable`) and why.
void* loadModuleEntry(const char* fileName, const char* name, const char* unavailable);

}  // namespace tarnwick
