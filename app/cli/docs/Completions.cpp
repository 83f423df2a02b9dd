#include "Documents.h"

namespace tarnwick::cli::docs {

namespace {

// The scopes whose first operand is a folder (`tarnwick FOLDER`, `tarnwick --print FOLDER`),
// as the parser reads them; the completions offer folders there.
constexpr Scope kFolderOperandScopes[] = {Scope::start, Scope::print};

const char* scopeName(Scope scope) {
    switch (scope) {
        case Scope::start:
            return "start";
        case Scope::print:
            return "print";
        case Scope::actions:
            return "actions";
        case Scope::any:
            break;
    }
    return "any";
}

std::string join(const std::vector<std::string>& words, const std::string& separator) {
    std::string out;
    for (const std::string& word : words) out += (out.empty() ? "" : separator) + word;
    return out;
}

std::vector<std::string> namesIn(Scope scope) {
    std::vector<std::string> names;
    for (const Option* option : optionsIn(scope)) {
        names.push_back(option->name);
        if (option->alias) names.push_back(option->alias);
    }
    return names;
}

std::vector<std::string> valueTakers() {
    std::vector<std::string> names;
    for (const Option& option : options())
        if (option.value != ValueKind::none) names.push_back(option.name);
    return names;
}

std::vector<std::string> choicesOf(const Option& option) {
    return std::vector<std::string>(option.choices.begin(), option.choices.end());
}

// --- bash --------------------------------------------------------------------------------

std::string bashValueCases() {
    std::string out;
    for (const Option& option : options()) {
        if (option.value == ValueKind::none) continue;
        out += std::string("        ") + option.name + ") ";
        if (option.value == ValueKind::choice)
            out += "mapfile -t COMPREPLY < <(compgen -W '" + join(choicesOf(option), " ") +
                   "' -- \"$cur\")";
        else if (option.value == ValueKind::folder)
            out += "_tarnwick_folders \"$cur\"";
        else
            out += "COMPREPLY=()";
        out += "; return ;;\n";
    }
    return out;
}

}  // namespace

std::string bashCompletion() {
    std::string out =
        "# bash completion for tarnwick(1), written from the program's option table at build "
        "time.\n"
        "_tarnwick_folders() {\n"
        "    compopt -o filenames 2>/dev/null\n"
        "    mapfile -t COMPREPLY < <(compgen -d -- \"$1\")\n"
        "}\n\n"
        "_tarnwick() {\n"
        "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
        "    local scope=start operands=0 i\n"
        "    # The word breaks split \"--sort=da\" into \"--sort\" \"=\" \"da\".\n"
        "    if [[ $cur == = ]]; then\n"
        "        cur=\n"
        "    elif [[ $prev == = ]]; then\n"
        "        prev=${COMP_WORDS[COMP_CWORD-2]}\n"
        "    fi\n"
        "    for ((i = 1; i < COMP_CWORD; i++)); do\n"
        "        case ${COMP_WORDS[i]} in\n";
    for (const Option* opener : scopeOpeners())
        out += std::string("            ") + opener->name + ") scope=" + scopeName(opener->opens) +
               " ;;\n";
    out += "            " + join(valueTakers(), "|") +
           ")\n"
           "                ((i++))\n"
           "                [[ ${COMP_WORDS[i]} == = ]] && ((i++)) ;;\n"
           "            -*) ;;\n"
           "            *) ((operands++)) ;;\n"
           "        esac\n"
           "    done\n"
           "    case $prev in\n" +
           bashValueCases() +
           "    esac\n"
           "    if [[ $cur == -* ]]; then\n"
           "        case $scope in\n";
    for (Scope scope : {Scope::start, Scope::print, Scope::actions})
        out += std::string("            ") + scopeName(scope) +
               ") mapfile -t COMPREPLY < <(compgen -W '" + join(namesIn(scope), " ") +
               "' -- \"$cur\") ;;\n";
    out +=
        "        esac\n"
        "        return\n"
        "    fi\n"
        "    case $scope:$operands in\n"
        "        ";
    std::vector<std::string> folderCases;
    for (Scope scope : kFolderOperandScopes)
        folderCases.push_back(std::string(scopeName(scope)) + ":0");
    out += join(folderCases, "|") +
           ") _tarnwick_folders \"$cur\" ;;\n"
           "    esac\n"
           "}\n"
           "complete -F _tarnwick tarnwick\n";
    return out;
}

// --- zsh ---------------------------------------------------------------------------------

namespace {

std::string zshDescription(const char* text) {
    std::string escaped = replaced(text, "'", "'\\''");
    for (const char* special : {"[", "]", ":"})
        escaped = replaced(escaped, special, std::string("\\") + special);
    return "[" + escaped + "]";
}

std::string zshSpec(const Option& option) {
    // A command that takes nothing after it ends the line.
    const bool endsLine = option.choosesCommand && option.opens == Scope::start;
    const std::string exclusion = endsLine || option.scope == Scope::any ? "'(- :)'" : "";
    const std::string repeat = option.repeatable ? "*" : "";
    std::string value;
    if (option.value == ValueKind::choice)
        value = std::string(":") + option.valueName + ":(" + join(choicesOf(option), " ") + ")";
    else if (option.value == ValueKind::folder)
        value = std::string(":") + option.valueName + ":_files -/";
    else if (option.value == ValueKind::text)
        value = std::string(":") + option.valueName + ": ";
    const std::string equals = option.value == ValueKind::none ? "" : "=";
    const std::string tail = equals + zshDescription(option.summary) + value;
    if (option.alias)
        return exclusion + repeat + "{" + option.alias + "," + option.name + "}'" + tail + "'";
    return exclusion + "'" + repeat + option.name + tail + "'";
}

}  // namespace

std::string zshCompletion() {
    std::string out =
        "#compdef tarnwick\n"
        "# zsh completion for tarnwick(1), written from the program's option table at build "
        "time.\n\n"
        "local scope=start word\n"
        "for word in ${words[2,CURRENT-1]}; do\n"
        "  case $word in\n";
    for (const Option* opener : scopeOpeners())
        out +=
            std::string("    (") + opener->name + ") scope=" + scopeName(opener->opens) + " ;;\n";
    out +=
        "  esac\n"
        "done\n\n"
        "case $scope in\n";
    for (Scope scope : {Scope::start, Scope::print, Scope::actions}) {
        out += std::string("  (") + scopeName(scope) + ")\n    _arguments";
        for (const Option* opener : scopeOpeners())
            if (opener->opens == scope) out += std::string(" \\\n      '") + opener->name + "'";
        for (const Option* option : optionsIn(scope)) out += " \\\n      " + zshSpec(*option);
        if (scope == Scope::start) out += " \\\n      ':FOLDER:_files -/'";
        if (scope == Scope::print) out += " \\\n      ':FOLDER:_files -/' \\\n      ':QUERY: '";
        out += "\n    ;;\n";
    }
    return out + "esac\n";
}

// --- fish --------------------------------------------------------------------------------

namespace {

std::string fishQuoted(const char* text) {
    return "'" + replaced(replaced(text, "\\", "\\\\"), "'", "\\'") + "'";
}

std::string fishSpec(const Option& option) {
    std::string out = "complete -c tarnwick";
    if (option.scope != Scope::any)
        out += std::string(" -n 'test (__tarnwick_scope) = ") + scopeName(option.scope) + "'";
    const std::string name = option.name;
    out += name.starts_with("--") ? " -l " + name.substr(2) : " -s " + name.substr(1);
    if (option.alias) out += std::string(" -s ") + (option.alias + 1);
    if (option.value == ValueKind::choice)
        out += " -x -k -a '" + join(choicesOf(option), " ") + "'";
    if (option.value == ValueKind::folder)
        out += " -x -a '(__fish_complete_directories (commandline -ct))'";
    if (option.value == ValueKind::text) out += " -x";
    return out + " -d " + fishQuoted(option.summary) + "\n";
}

}  // namespace

std::string fishCompletion() {
    std::string out =
        "# fish completion for tarnwick(1), written from the program's option table at build "
        "time.\n"
        "function __tarnwick_scope\n"
        "    set -l words (commandline -opc)\n";
    const char* keyword = "if";
    for (const Option* opener : scopeOpeners()) {
        out += std::string("    ") + keyword + " contains -- " + opener->name + " $words\n" +
               "        echo " + scopeName(opener->opens) + "\n";
        keyword = "else if";
    }
    out +=
        "    else\n        echo start\n    end\nend\n\n"
        "# Whether the word being completed is a folder operand: the first operand of a start\n"
        "# or of --print.\n"
        "function __tarnwick_wants_folder\n"
        "    set -l scope (__tarnwick_scope)\n"
        "    contains -- $scope";
    for (Scope scope : kFolderOperandScopes) out += std::string(" ") + scopeName(scope);
    out +=
        "; or return 1\n"
        "    set -l skip 0\n"
        "    for word in (commandline -opc)[2..-1]\n"
        "        if test $skip = 1\n"
        "            set skip 0\n"
        "            continue\n"
        "        end\n"
        "        switch $word\n"
        "            case " +
        join(valueTakers(), " ") +
        "\n"
        "                set skip 1\n"
        "            case '-*'\n"
        "            case '*'\n"
        "                return 1\n"
        "        end\n"
        "    end\n"
        "end\n\n"
        "complete -c tarnwick -f\n"
        "complete -c tarnwick -n __tarnwick_wants_folder -a "
        "'(__fish_complete_directories (commandline -ct))'\n";
    for (const Option& option : options()) out += fishSpec(option);
    return out;
}

}  // namespace tarnwick::cli::docs
