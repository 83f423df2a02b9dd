#pragma once

#include "app/cli/CommandLine.h"

namespace tarnwick {

// `tarnwick --print [--sort name|date|size] [--ext KEY]... [-0 | --json]
// [--index auto|tracker|scan|none] FOLDER [QUERY]`: one search from a terminal, listed, filtered
// and sorted as the panel does, with the chosen index's content hits merged in, one relative path
// per result (a tab and the passage around the match after a row found by its content). A folder
// whose index holds more than 5000 items is searched in the index alone, as a panel does. Returns
// the process exit code: 0 something printed, 1 nothing matched, 2 an error.
int runPrintCommand(const cli::Invocation& invocation);

}  // namespace tarnwick
