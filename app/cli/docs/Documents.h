#pragma once

#include "app/cli/CommandLineSpec.h"

#include <string>
#include <vector>

namespace tarnwick::cli::docs {

// What the package installs beside the program, written from the option table (in English,
// the table's source language).
std::string manPage(const std::string& version);
std::string bashCompletion();
std::string zshCompletion();
std::string fishCompletion();

// The options a command line accepts once `scope` is open, in table order.
std::vector<const Option*> optionsIn(Scope scope);
// The commands that open another scope than start (--print, --install-file-manager-actions).
std::vector<const Option*> scopeOpeners();
// `text` with every `from` replaced by `to`.
std::string replaced(std::string text, const std::string& from, const std::string& to);

}  // namespace tarnwick::cli::docs
