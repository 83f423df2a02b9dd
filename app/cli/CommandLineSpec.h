#pragma once

#include <span>

namespace tarnwick::cli {

// The one description of Tarnwick's command line. The parser accepts exactly these options;
// `--help`, `--print --help`, the manual page and the bash, zsh and fish completions are all
// written from it, so none of them can name an option the others do not know.
//
// Every text is English source text marked for translation in the context "CommandLine";
// whoever shows one to a user passes it through QCoreApplication::translate first.

// Where an option is accepted: at every start, in a start of the tray application (and the
// commands that replace it), after `--print`, or after `--install-file-manager-actions`.
enum class Scope { any, start, print, actions };

enum class ValueKind {
    none,    // a switch
    folder,  // a folder's path (completed as one)
    choice,  // one of `choices`
    text,    // anything
};

struct Option {
    const char* name;             // "--sort"
    const char* alias = nullptr;  // "-h"
    Scope scope = Scope::start;
    // What the program does is chosen by at most one of these (`--print`, `--panel`, ...); the
    // options of the scope it opens may then follow.
    bool choosesCommand = false;
    Scope opens = Scope::start;
    ValueKind value = ValueKind::none;
    const char* valueName = nullptr;            // "ORDER"
    std::span<const char* const> choices = {};  // for ValueKind::choice; the first is the default
    bool repeatable = false;
    const char* summary = nullptr;  // one line
    const char* detail = nullptr;   // what the manual and the detailed help add
};

// One way to start Tarnwick, as the usage lines list them.
struct Usage {
    const char* synopsis;  // after "tarnwick"
    const char* summary;
};

// A field of `--print --json`'s objects, and a documented exit status.
struct Entry {
    const char* name;
    const char* meaning;
};

std::span<const Option> options();
std::span<const Usage> usages();
// What `--print` prints and how it ends: its operands, its JSON fields and its exit statuses.
std::span<const Entry> printOperands();
std::span<const Entry> jsonFields();
std::span<const Entry> printExitStatuses();
// What one result of `--print` looks like without --json.
const char* printOutput();
// The exit statuses of every other command.
std::span<const Entry> exitStatuses();

// The option called `name` (its name or alias, e.g. "--sort" or "-h"), or nullptr.
const Option* findOption(const char* name);

inline constexpr const char* kTranslationContext = "CommandLine";

}  // namespace tarnwick::cli
