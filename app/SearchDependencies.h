#pragma once

#include "core/SearchSession.h"

namespace tarnwick {

// The real engines and snippet extraction that a panel's search session runs with: the index
// chosen per folder (Tracker with the scanner's complement, or the scanner alone) and the
// content snippets of text, rich text and PDF files. The first call connects to Tracker, taking
// at most a second when it does not answer; call it early to have that done before a panel opens.
SearchSession::Dependencies defaultSearchDependencies();

}  // namespace tarnwick
