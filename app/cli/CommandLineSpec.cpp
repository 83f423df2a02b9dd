#include "CommandLineSpec.h"

#include <QtGlobal>

#include <cstring>

namespace tarnwick::cli {

namespace {

constexpr const char* kSortOrders[] = {"name", "date", "size"};
constexpr const char* kIndexes[] = {"auto", "tracker", "scan", "none"};

constexpr Option kOptions[] = {
    {.name = "--activate",
     .choosesCommand = true,
     .summary = QT_TRANSLATE_NOOP("CommandLine",
                                  "Do what the shortcut does: open a panel on the folder of the "
                                  "file manager window in front, in the running Tarnwick."),
     .detail = QT_TRANSLATE_NOOP(
         "CommandLine", "For desktops whose own settings bind the shortcut to a command.")},
    {.name = "--settings",
     .choosesCommand = true,
     .summary =
         QT_TRANSLATE_NOOP("CommandLine", "Open the settings window of the running Tarnwick.")},
    {.name = "--panel",
     .choosesCommand = true,
     .value = ValueKind::folder,
     .valueName = "FOLDER",
     .summary =
         QT_TRANSLATE_NOOP("CommandLine",
                           "Show a panel on FOLDER alone, without the tray; it ends when the "
                           "panel closes.")},
    {.name = "--print",
     .choosesCommand = true,
     .opens = Scope::print,
     .summary = QT_TRANSLATE_NOOP(
         "CommandLine", "Search FOLDER for QUERY and print the results, without any window."),
     .detail = QT_TRANSLATE_NOOP(
         "CommandLine", "Lists, filters and sorts exactly as the panel does; its options follow.")},
    {.name = "--install-file-manager-actions",
     .choosesCommand = true,
     .opens = Scope::actions,
     .summary = QT_TRANSLATE_NOOP(
         "CommandLine", "Add \"Search here with Tarnwick\" to Nautilus and Thunar for this user."),
     .detail =
         QT_TRANSLATE_NOOP("CommandLine", "Dolphin and Nemo get their actions from the package.")},
    {.name = "--version",
     .choosesCommand = true,
     .summary = QT_TRANSLATE_NOOP("CommandLine", "Print the version and exit.")},
    {.name = "--help",
     .alias = "-h",
     .scope = Scope::any,
     .summary = QT_TRANSLATE_NOOP("CommandLine",
                                  "Print this help and exit; after --print, the help of --print.")},

    {.name = "--sort",
     .scope = Scope::print,
     .value = ValueKind::choice,
     .valueName = "ORDER",
     .choices = kSortOrders,
     .summary =
         QT_TRANSLATE_NOOP("CommandLine",
                           "Order of the results: name, date or size (default: name); folders "
                           "come first."),
     .detail =
         QT_TRANSLATE_NOOP("CommandLine",
                           "Names ascend as the user's language sorts them, ignoring case; dates "
                           "run newest first, sizes largest first.")},
    {.name = "--ext",
     .scope = Scope::print,
     .value = ValueKind::text,
     .valueName = "KEY",
     .repeatable = true,
     .summary = QT_TRANSLATE_NOOP("CommandLine",
                                  "Keep only files with this extension, or folders for __folder__; "
                                  "repeatable."),
     .detail = QT_TRANSLATE_NOOP(
         "CommandLine", "KEY is compared without regard to case, e.g. pdf, jpg or __folder__.")},
    {.name = "-0",
     .scope = Scope::print,
     .summary = QT_TRANSLATE_NOOP(
         "CommandLine", "End each result with a NUL byte instead of a newline, for xargs -0.")},
    {.name = "--index",
     .scope = Scope::print,
     .value = ValueKind::choice,
     .valueName = "BACKEND",
     .choices = kIndexes,
     .summary = QT_TRANSLATE_NOOP("CommandLine",
                                  "Where the files whose text contains QUERY come from: auto, "
                                  "tracker, scan or none (default: auto)."),
     .detail =
         QT_TRANSLATE_NOOP("CommandLine",
                           "auto: Tracker where it indexes the folder, with Tarnwick's own scan "
                           "for the files Tracker cannot read, and the scan elsewhere; "
                           "tracker: Tracker alone; scan: the scan alone; none: names and "
                           "paths only.")},
    {.name = "--json",
     .scope = Scope::print,
     .summary = QT_TRANSLATE_NOOP("CommandLine",
                                  "Print each result as one JSON object on a line of its own."),
     .detail = QT_TRANSLATE_NOOP("CommandLine", "Its fields are listed below.")},

    {.name = "--remove",
     .scope = Scope::actions,
     .summary = QT_TRANSLATE_NOOP("CommandLine", "Take the actions away again.")},
};

constexpr Usage kUsages[] = {
    {"", QT_TRANSLATE_NOOP("CommandLine",
                           "Start in the tray; a second start hands over to the first and ends.")},
    {"FOLDER", QT_TRANSLATE_NOOP("CommandLine", "Open a panel on FOLDER in the running Tarnwick.")},
    {"--activate",
     QT_TRANSLATE_NOOP("CommandLine",
                       "Open a panel on the folder of the file manager window in front.")},
    {"--settings", QT_TRANSLATE_NOOP("CommandLine", "Open the settings window.")},
    {"--panel FOLDER",
     QT_TRANSLATE_NOOP("CommandLine", "Show a panel on FOLDER alone, without the tray.")},
    {"--print [OPTION]... FOLDER [QUERY]",
     QT_TRANSLATE_NOOP("CommandLine", "Search FOLDER and print the results.")},
    {"--install-file-manager-actions [--remove]",
     QT_TRANSLATE_NOOP("CommandLine",
                       "Add (or remove) \"Search here with Tarnwick\" in Nautilus and Thunar.")},
    {"--version", QT_TRANSLATE_NOOP("CommandLine", "Print the version.")},
    {"-h | --help", QT_TRANSLATE_NOOP("CommandLine", "Print this help.")},
};

constexpr Entry kPrintOperands[] = {
    {"FOLDER",
     QT_TRANSLATE_NOOP("CommandLine",
                       "The folder to search: everything below it is listed (hidden files only "
                       "when the showHiddenFiles setting is on).")},
    {"QUERY",
     QT_TRANSLATE_NOOP("CommandLine",
                       "What to look for in names, paths below FOLDER and the files' text; "
                       "without it every item is printed. Case and accents written either way "
                       "do not matter.")},
};

constexpr Entry kJsonFields[] = {
    {"path",
     QT_TRANSLATE_NOOP("CommandLine",
                       "The path below FOLDER as text; bytes of a name that are not valid UTF-8 "
                       "read as U+FFFD.")},
    {"path_bytes",
     QT_TRANSLATE_NOOP("CommandLine", "Only for such a name: the path's exact bytes, in base64.")},
    {"kind", QT_TRANSLATE_NOOP("CommandLine",
                               "file, folder or symlink (a symbolic link is never followed).")},
    {"size", QT_TRANSLATE_NOOP("CommandLine", "The size in bytes; null for a folder.")},
    {"modified",
     QT_TRANSLATE_NOOP("CommandLine",
                       "The last change, ISO 8601 in UTC (2024-05-01T09:30:00Z); null when "
                       "unknown.")},
    {"match", QT_TRANSLATE_NOOP("CommandLine",
                                "How QUERY was found: name, path (below FOLDER) or content (in the "
                                "file's text).")},
    {"score",
     QT_TRANSLATE_NOOP("CommandLine",
                       "The name's or path's score, higher first; 0 where neither matches or "
                       "without QUERY.")},
    {"snippet",
     QT_TRANSLATE_NOOP("CommandLine",
                       "Only for a content match: the passage around it, or null when none "
                       "could be read.")},
};

constexpr Entry kPrintExitStatuses[] = {
    {"0",
     QT_TRANSLATE_NOOP("CommandLine",
                       "At least one result was printed (or the reader of the output went away).")},
    {"1", QT_TRANSLATE_NOOP("CommandLine", "Nothing matched.")},
    {"2",
     QT_TRANSLATE_NOOP("CommandLine",
                       "An error: a wrong command line, a folder that is missing, not a folder or "
                       "unreadable, an index that did not answer, or output that could not be "
                       "written.")},
};

constexpr Entry kExitStatuses[] = {
    {"0", QT_TRANSLATE_NOOP("CommandLine", "Done; for the tray, it was quit.")},
    {"1", QT_TRANSLATE_NOOP("CommandLine",
                            "The folder cannot be searched, there is no screen for the panel, the "
                            "running Tarnwick did not answer, or an action could not be changed.")},
    {"2", QT_TRANSLATE_NOOP("CommandLine", "A wrong command line.")},
};

}  // namespace

std::span<const Option> options() {
    return kOptions;
}

std::span<const Usage> usages() {
    return kUsages;
}

std::span<const Entry> printOperands() {
    return kPrintOperands;
}

std::span<const Entry> jsonFields() {
    return kJsonFields;
}

std::span<const Entry> printExitStatuses() {
    return kPrintExitStatuses;
}

const char* printOutput() {
    return QT_TRANSLATE_NOOP(
        "CommandLine",
        "Each result is a line with its path below FOLDER, printed as the bytes it is; after a "
        "file found by its text come a tab and the passage around the match. Output to a "
        "closed pipe ends the search quietly.");
}

std::span<const Entry> exitStatuses() {
    return kExitStatuses;
}

const Option* findOption(const char* name) {
    for (const Option& option : kOptions)
        if (std::strcmp(option.name, name) == 0 ||
            (option.alias && std::strcmp(option.alias, name) == 0))
            return &option;
    return nullptr;
}

}  // namespace tarnwick::cli
