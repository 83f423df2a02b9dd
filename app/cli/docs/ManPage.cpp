#include "Documents.h"

#include <cctype>

namespace tarnwick::cli::docs {

namespace {

constexpr const char* kDescription[] = {
    "Tarnwick lives in the tray. Its global shortcut (Ctrl+Shift+Space unless changed in the "
    "settings) opens a floating panel on the folder of the file manager window in front, listing "
    "every file and folder below it, filtered and ranked as you type. Files whose text contains "
    "the query are added from the desktop's full-text index (Tracker) or, where none runs, from "
    "Tarnwick's own scan, with the passage around the match.",
    "A name (else the path below the folder) that contains the query ranks first, higher when it "
    "starts with it; then one that holds the query's characters in order, by runs of adjacent "
    "characters. Case, and accented letters written either way, do not matter. Results then "
    "follow the sort order, folders first.",
    "A second start of the tray application hands its request to the one already running and "
    "ends.",
};

// Prose for roff: backslashes kept, option names as minus signs that copy and paste as
// hyphens, no line mistaken for a request.
std::string roff(const std::string& text) {
    std::string out;
    bool wordStart = true;
    bool inOption = false;
    for (char c : text) {
        if (wordStart) inOption = c == '-';
        if (c == '\\')
            out += "\\e";
        else if (c == '-' && inOption)
            out += "\\-";
        else
            out += c;
        wordStart = c == ' ' || c == '(' || c == '\'';
    }
    return out.starts_with('.') || out.starts_with('\'') ? "\\&" + out : out;
}

// A synopsis or term: options bold, placeholders (words in capitals) italic.
std::string marked(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const auto isWordChar = [&](char c) {
            return std::isalnum((unsigned char)(c)) || c == '-' || c == '_';
        };
        if (!isWordChar(text[i])) {
            out += text[i++];
            continue;
        }
        size_t end = i;
        while (end < text.size() && isWordChar(text[end])) ++end;
        const std::string word = text.substr(i, end - i);
        bool capitals = true;
        for (char c : word) capitals = capitals && (std::isupper((unsigned char)(c)) || c == '_');
        if (word.starts_with('-'))
            out += "\\fB" + replaced(word, "-", "\\-") + "\\fR";
        else if (capitals)
            out += "\\fI" + word + "\\fR";
        else
            out += word;
        i = end;
    }
    return out;
}

std::string term(const Option& option) {
    std::string text = option.name;
    if (option.alias) text = std::string(option.alias) + ", " + text;
    if (option.valueName) text += std::string(" ") + option.valueName;
    return marked(text);
}

std::string tagged(const std::string& term, const std::string& text) {
    return ".TP\n" + term + "\n" + roff(text) + "\n";
}

std::string optionSection(const char* title, Scope scope) {
    std::string out = std::string(".SH ") + title + "\n";
    if (scope == Scope::print)
        for (const Entry& operand : printOperands())
            out += tagged(marked(operand.name), operand.meaning);
    for (const Option& option : options()) {
        if (option.scope != scope) continue;
        std::string text = option.summary;
        if (option.detail) text += std::string(" ") + option.detail;
        out += tagged(term(option), text);
    }
    return out;
}

std::string entries(std::span<const Entry> list, bool bold) {
    std::string out;
    for (const Entry& entry : list)
        out += tagged(bold ? "\\fB" + std::string(entry.name) + "\\fR" : entry.name, entry.meaning);
    return out;
}

}  // namespace

std::string manPage(const std::string& version) {
    std::string out = ".TH TARNWICK 1 \"\" \"tarnwick " + version + "\" \"User Commands\"\n";
    out += ".SH NAME\ntarnwick \\- search and filter the files of a folder as you type\n";
    out += ".SH SYNOPSIS\n.nf\n";
    for (const Usage& usage : usages()) out += "\\fBtarnwick\\fR " + marked(usage.synopsis) + "\n";
    out += ".fi\n.SH DESCRIPTION\n";
    for (const char* paragraph : kDescription) out += ".PP\n" + roff(paragraph) + "\n";
    out += optionSection("OPTIONS", Scope::start);
    for (const Option& option : options())
        if (option.scope == Scope::any) out += tagged(term(option), option.summary);
    out += optionSection("PRINT OPTIONS", Scope::print);
    out += optionSection("FILE-MANAGER ACTION OPTIONS", Scope::actions);
    out += ".SH OUTPUT\n" + roff(printOutput()) + "\n";
    out += ".SH JSON OUTPUT\n" +
           roff(
               "With --json, each result is one JSON object on a line of its own, with these "
               "fields; the list stays stable.") +
           "\n" + entries(jsonFields(), true);
    out += ".SH EXIT STATUS\n" + roff("Of --print:") + "\n" + entries(printExitStatuses(), false);
    out += ".PP\nOf every other command:\n" + entries(exitStatuses(), false);
    out += ".SH FILES\n" +
           tagged("\\fI~/.config/Tarnwick/Tarnwick.conf\\fR",
                  "The settings, among them showHiddenFiles and, in builds that check for "
                  "updates themselves, updateFeedURL.");
    out += ".SH SEE ALSO\n\\fBtracker3\\fR(1), \\fBxargs\\fR(1)\n";
    return out;
}

}  // namespace tarnwick::cli::docs
