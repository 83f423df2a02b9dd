// Writes the manual page and the shell completions from the option table:
//   tarnwick_cli_docs VERSION OUTPUT_FOLDER
#include "Documents.h"

#include <cstdio>
#include <fstream>

using namespace tarnwick::cli;

namespace tarnwick::cli::docs {

std::vector<const Option*> optionsIn(Scope scope) {
    std::vector<const Option*> accepted;
    for (const Option& option : options())
        if (option.scope == scope || option.scope == Scope::any) accepted.push_back(&option);
    return accepted;
}

std::vector<const Option*> scopeOpeners() {
    std::vector<const Option*> openers;
    for (const Option& option : options())
        if (option.choosesCommand && option.opens != Scope::start) openers.push_back(&option);
    return openers;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

}  // namespace tarnwick::cli::docs

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: tarnwick_cli_docs VERSION OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string folder = argv[2];
    const std::pair<const char*, std::string> files[] = {
        {"tarnwick.1", docs::manPage(argv[1])},
        {"tarnwick.bash", docs::bashCompletion()},
        {"_tarnwick", docs::zshCompletion()},
        {"tarnwick.fish", docs::fishCompletion()},
    };
    for (const auto& [name, content] : files) {
        std::ofstream out(folder + "/" + name, std::ios::binary | std::ios::trunc);
        out << content;
        if (!out.flush()) {
            std::fprintf(stderr, "tarnwick_cli_docs: cannot write %s/%s\n", folder.c_str(), name);
            return 1;
        }
    }
    return 0;
}
