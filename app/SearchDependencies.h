#pragma once

#include "core/SearchSession.h"

namespace tarnwick {

// The real engines and snippet extraction that a panel's search session runs with.
SearchSession::Dependencies defaultSearchDependencies();

}  // namespace tarnwick
