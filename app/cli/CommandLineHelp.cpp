#include "CommandLineHelp.h"

#include "CommandLine.h"
#include "CommandLineSpec.h"

#include <QStringList>

namespace tarnwick::cli {

namespace {

constexpr const char* kUsage = QT_TRANSLATE_NOOP("CommandLine", "Usage:");
constexpr const char* kPrintOptions = QT_TRANSLATE_NOOP("CommandLine", "Options of --print:");
constexpr const char* kMore = QT_TRANSLATE_NOOP(
    "CommandLine", "'tarnwick --print --help' tells more; 'man tarnwick' tells all.");
constexpr const char* kOptionsHeading = QT_TRANSLATE_NOOP("CommandLine", "Options:");
constexpr const char* kJsonHeading =
    QT_TRANSLATE_NOOP("CommandLine", "Fields of each JSON object (--json):");
constexpr const char* kExitHeading = QT_TRANSLATE_NOOP("CommandLine", "Exit status:");

constexpr int kTermColumn = 2;
constexpr int kTextColumn = 30;

// `words` filled into lines of at most `width` columns, each but the first indented by `indent`.
QString wrap(const QString& words, int indent, int width) {
    QString out;
    int column = indent;
    for (const QString& word : words.split(u' ', Qt::SkipEmptyParts)) {
        if (column > indent && column + 1 + word.size() > width) {
            out += u'\n' + QString(indent, u' ');
            column = indent;
        } else if (column > indent) {
            out += u' ';
            ++column;
        }
        out += word;
        column += int(word.size());
    }
    return out;
}

// "  TERM        text wrapped in its column", the text on a line of its own after a long term.
QString row(const QString& term, const QString& description, int width) {
    QString line = QString(kTermColumn, u' ') + term;
    if (line.size() + 2 > kTextColumn)
        line += u'\n' + QString(kTextColumn, u' ');
    else
        line += QString(kTextColumn - line.size(), u' ');
    return line + wrap(description, kTextColumn, width) + u'\n';
}

QString termOf(const Option& option) {
    QString term = QString::fromLatin1(option.name);
    if (option.alias) term = QString::fromLatin1(option.alias) + QStringLiteral(", ") + term;
    if (option.valueName) term += u' ' + QString::fromLatin1(option.valueName);
    return term;
}

QString optionRows(Scope scope, bool detailed, int width) {
    QString out;
    for (const Option& option : options()) {
        if (option.scope != scope) continue;
        QString description = text(option.summary);
        if (detailed && option.detail) description += u' ' + text(option.detail);
        out += row(termOf(option), description, width);
    }
    return out;
}

QString entryRows(std::span<const Entry> entries, int width) {
    QString out;
    for (const Entry& entry : entries)
        out += row(QString::fromLatin1(entry.name), text(entry.meaning), width);
    return out;
}

}  // namespace

QString helpText(int width) {
    QString out = text(kUsage) + u'\n';
    for (const Usage& usage : usages()) {
        const QString synopsis =
            QStringLiteral("tarnwick %1").arg(QString::fromLatin1(usage.synopsis));
        out += row(synopsis.trimmed(), text(usage.summary), width);
    }
    out += u'\n' + text(kPrintOptions) + u'\n' + optionRows(Scope::print, false, width);
    return out + u'\n' + wrap(text(kMore), 0, width) + u'\n';
}

QString printHelpText(int width) {
    const Option& print = *findOption("--print");
    QString out = text(kUsage) + QStringLiteral(" tarnwick --print [OPTION]... FOLDER [QUERY]\n\n");
    out += wrap(text(print.summary) + u' ' + text(print.detail), 0, width) + QStringLiteral("\n\n");
    out += entryRows(printOperands(), width);
    out += u'\n' + text(kOptionsHeading) + u'\n' + optionRows(Scope::print, true, width);
    out += row(termOf(*findOption("--help")), text(findOption("--help")->summary), width);
    out += u'\n' + wrap(text(printOutput()), 0, width) + u'\n';
    out += u'\n' + text(kJsonHeading) + u'\n' + entryRows(jsonFields(), width);
    return out + u'\n' + text(kExitHeading) + u'\n' + entryRows(printExitStatuses(), width);
}

QString versionText() {
    return QStringLiteral("tarnwick " TARNWICK_VERSION "\n");
}

}  // namespace tarnwick::cli
