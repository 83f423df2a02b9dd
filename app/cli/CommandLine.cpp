#include "CommandLine.h"

#include "CommandLineSpec.h"
#include "app/Translations.h"

#include <QCoreApplication>

#include <algorithm>
#include <optional>

namespace tarnwick::cli {

namespace {

// Every complaint about a command line, in one place for the translators.
constexpr const char* kUnknownOption = QT_TRANSLATE_NOOP("CommandLine", "unknown option '%1'");
constexpr const char* kNeedsValue =
    QT_TRANSLATE_NOOP("CommandLine", "option '%1' needs a value (%2)");
constexpr const char* kTakesNoValue =
    QT_TRANSLATE_NOOP("CommandLine", "option '%1' takes no value");
constexpr const char* kNotAChoice =
    QT_TRANSLATE_NOOP("CommandLine", "'%1' is not a value of '%2' (%3)");
constexpr const char* kOnlyWith =
    QT_TRANSLATE_NOOP("CommandLine", "option '%1' works only with '%2'");
constexpr const char* kNotTogether =
    QT_TRANSLATE_NOOP("CommandLine", "'%1' and '%2' cannot be combined");
constexpr const char* kNeedsFolder = QT_TRANSLATE_NOOP("CommandLine", "'%1' needs a folder");
constexpr const char* kUnexpected = QT_TRANSLATE_NOOP("CommandLine", "unexpected argument '%1'");
constexpr const char* kHint = QT_TRANSLATE_NOOP("CommandLine", "%1 (see '%2')");

using Command = Invocation::Command;

struct Given {
    const Option* option = nullptr;  // nullptr: an operand, or an unknown option
    QByteArray spelled;              // as written, without an attached value
    std::optional<QByteArray> value;
    bool attached = false;  // the value was written as --option=VALUE
};

QString shown(const QByteArray& bytes) {
    return QString::fromLocal8Bit(bytes);
}

// The arguments as options with their values and operands, in order; the first problem found
// while reading them (an unknown option, a missing value) is kept for later.
QList<Given> read(const QList<QByteArray>& arguments, QString* problem) {
    QList<Given> given;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QByteArray& argument = arguments[i];
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || !argument.startsWith('-') || argument.size() == 1) {
            given.append({nullptr, argument, std::nullopt, false});
            continue;
        }
        Given option;
        const qsizetype equals = argument.startsWith("--") ? argument.indexOf('=') : -1;
        option.spelled = equals < 0 ? argument : argument.left(equals);
        if (equals >= 0) option.value = argument.mid(equals + 1), option.attached = true;
        option.option = findOption(option.spelled.constData());
        if (!option.option) {
            if (problem->isEmpty()) *problem = text(kUnknownOption).arg(shown(option.spelled));
        } else if (option.option->value != ValueKind::none && !option.value) {
            if (i + 1 < arguments.size())
                option.value = arguments[++i];
            else if (problem->isEmpty())
                *problem = text(kNeedsValue).arg(shown(option.spelled), option.option->valueName);
        }
        given.append(option);
    }
    return given;
}

const Option* commandOpening(Scope scope) {
    for (const Option& option : options())
        if (option.choosesCommand && option.opens == scope) return &option;
    return nullptr;
}

Command commandOf(const Option* option) {
    static const QHash<QByteArray, Command> kCommands = {
        {"--activate", Command::activate},
        {"--settings", Command::settings},
        {"--panel", Command::panel},
        {"--print", Command::print},
        {"--install-file-manager-actions", Command::installActions},
        {"--version", Command::version}};
    return option ? kCommands.value(option->name, Command::wrong) : Command::tray;
}

QString choicesOf(const Option& option) {
    QStringList choices;
    for (const char* choice : option.choices) choices << QString::fromLatin1(choice);
    return choices.join(QStringLiteral(", "));
}

// What is wrong with one option given for `command`, or nothing.
std::optional<QString> checkOption(const Given& given, const Option* command) {
    const Option& option = *given.option;
    const Scope scope = command ? command->opens : Scope::start;
    if (option.choosesCommand && &option != command)
        return text(kNotTogether).arg(QString::fromLatin1(command->name), shown(given.spelled));
    if (option.scope != Scope::any && option.scope != scope && &option != command) {
        const Option* opener = commandOpening(option.scope);
        return text(kOnlyWith).arg(shown(given.spelled), QString::fromLatin1(opener->name));
    }
    if (option.value == ValueKind::none && given.value)
        return text(kTakesNoValue).arg(shown(given.spelled));
    if (option.value == ValueKind::choice &&
        std::none_of(option.choices.begin(), option.choices.end(),
                     [&](const char* choice) { return *given.value == choice; }))
        return text(kNotAChoice).arg(shown(*given.value), shown(given.spelled), choicesOf(option));
    return std::nullopt;
}

// The operands a command takes, or why they do not fit.
std::optional<QString> takeOperands(const QList<QByteArray>& operands, Invocation* invocation) {
    const auto unexpected = [&](qsizetype from) -> std::optional<QString> {
        if (operands.size() <= from) return std::nullopt;
        return text(kUnexpected).arg(shown(operands[from]));
    };
    switch (invocation->command) {
        case Command::tray:
            // An empty name (an unset variable in a script) is no folder, nor a plain start.
            if (!operands.isEmpty() && operands[0].isEmpty()) return unexpected(0);
            invocation->folder = operands.value(0);
            return unexpected(1);
        case Command::print:
            if (operands.isEmpty()) return text(kNeedsFolder).arg(QStringLiteral("--print"));
            invocation->folder = operands[0];
            invocation->query = operands.value(1);
            return unexpected(2);
        case Command::panel:
            invocation->folder = invocation->value("--panel");
            return unexpected(0);
        default:
            return unexpected(0);
    }
}

Invocation wrong(const QString& problem, Scope scope) {
    Invocation invocation;
    invocation.command = Command::wrong;
    const QString help = scope == Scope::print ? QStringLiteral("tarnwick --print --help")
                                               : QStringLiteral("tarnwick --help");
    invocation.problem = text(kHint).arg(problem, help);
    return invocation;
}

}  // namespace

QByteArray Invocation::value(const char* option) const {
    const QList<QByteArray> given = m_values.value(option);
    if (!given.isEmpty()) return given.last();
    const Option* described = findOption(option);
    if (described && !described->choices.empty()) return described->choices.front();
    return {};
}

QString text(const char* source) {
    return Translations::translate(kTranslationContext, source);
}

Invocation parseCommandLine(const QList<QByteArray>& arguments) {
    QString problem;
    const QList<Given> given = read(arguments, &problem);
    const Option* command = nullptr;
    bool help = false;
    for (const Given& option : given) {
        if (!option.option) continue;
        help = help || qstrcmp(option.option->name, "--help") == 0;
        if (option.option->choosesCommand && !command) command = option.option;
    }
    const Scope scope = command ? command->opens : Scope::start;
    if (help) {
        Invocation invocation;
        invocation.command = scope == Scope::print ? Command::printHelp : Command::help;
        return invocation;
    }
    if (!problem.isEmpty()) return wrong(problem, scope);

    Invocation invocation;
    invocation.command = commandOf(command);
    QList<QByteArray> operands;
    for (const Given& option : given) {
        if (!option.option) {
            operands.append(option.spelled);
            continue;
        }
        if (std::optional<QString> optionProblem = checkOption(option, command))
            return wrong(*optionProblem, scope);
        invocation.m_values[option.option->name].append(option.value.value_or(QByteArray()));
    }
    if (invocation.isSet("-0") && invocation.isSet("--json"))
        return wrong(text(kNotTogether).arg(QStringLiteral("-0"), QStringLiteral("--json")), scope);
    if (std::optional<QString> operandProblem = takeOperands(operands, &invocation))
        return wrong(*operandProblem, scope);
    return invocation;
}

Invocation parseCommandLine(int argc, char** argv) {
    QList<QByteArray> arguments;
    for (int i = 1; i < argc; ++i) arguments.append(QByteArray(argv[i]));
    return parseCommandLine(arguments);
}

}  // namespace tarnwick::cli
