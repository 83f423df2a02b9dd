#include "app/Translations.h"
#include "app/cli/CommandLine.h"
#include "app/cli/CommandLineHelp.h"
#include "app/cli/CommandLineSpec.h"
#include "core/CountLabel.h"
#include "panel/ResultText.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"

#include <QFile>
#include <QProcess>
#include <QTest>

using namespace tarnwick;
using namespace tarnwick::cli;
using namespace tarnwick::test;
using namespace Qt::StringLiterals;
using Command = Invocation::Command;

namespace {

const QString kDocs = QStringLiteral(TARNWICK_CLI_DOCS_DIR);

// Exit code, output and errors of a program run without any display or session bus, in
// `language` (LANGUAGE) when one is given.
std::tuple<int, QByteArray, QByteArray> runAlone(const QString& program,
                                                 const QStringList& arguments,
                                                 const QString& language = {}) {
    QProcessEnvironment env;
    env.insert(u"PATH"_s, qEnvironmentVariable("PATH"));
    env.insert(u"HOME"_s, QDir::tempPath());
    env.insert(u"LC_ALL"_s, u"C.UTF-8"_s);
    if (!language.isEmpty()) env.insert(u"LANGUAGE"_s, language);
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    if (!process.waitForFinished(30000)) return {-1, {}, {}};
    const int code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return {code, process.readAllStandardOutput(), process.readAllStandardError()};
}

QList<QByteArray> words(const char* line) {
    return QByteArray(line).split(' ');
}

// The words that follow an option on a command line the parser takes: its command first, a
// value, and the folder that --print needs.
QList<QByteArray> lineWith(const Option& option) {
    QList<QByteArray> line;
    if (option.scope == Scope::print) line << "--print";
    if (option.scope == Scope::actions) line << "--install-file-manager-actions";
    line << option.name;
    if (option.value == ValueKind::choice) line << option.choices.back();
    if (option.value != ValueKind::none && option.value != ValueKind::choice) line << "/";
    if (option.scope == Scope::print || qstrcmp(option.name, "--print") == 0) line << "/";
    return line;
}

// What bash completes for `words` (the last one being completed) with the generated script.
QStringList bashCompletes(const QString& words, const QString& folder) {
    const QString script =
        u"source \"$0\"; cd \"$1\"; COMP_WORDS=(tarnwick %1); COMP_CWORD=$((${#COMP_WORDS[@]} - "
        u"1));"
        " _tarnwick; printf '%s\\n' \"${COMPREPLY[@]}\""_s.arg(words);
    const auto [code, out, err] =
        runAlone(u"bash"_s, {u"-c"_s, script, kDocs + u"/tarnwick.bash"_s, folder});
    return code == 0 ? QString::fromUtf8(out).split(u'\n', Qt::SkipEmptyParts)
                     : QStringList{u"!"_s + err};
}

// What fish completes for the command line `line` with the generated script.
QStringList fishCompletes(const QString& line, const QString& folder) {
    const QString script = u"source $argv[1]; cd $argv[2]; complete -C '%1'"_s.arg(line);
    const auto [code, out, err] = runAlone(
        u"fish"_s, {u"--no-config"_s, u"-c"_s, script, kDocs + u"/tarnwick.fish"_s, folder});
    QStringList completed;
    for (const QString& row : QString::fromUtf8(out).split(u'\n', Qt::SkipEmptyParts))
        completed << row.section(u'\t', 0, 0);
    return code == 0 ? completed : QStringList{u"!"_s + err};
}

QString scopePrefix(Scope scope) {
    if (scope == Scope::print) return u"--print "_s;
    if (scope == Scope::actions) return u"--install-file-manager-actions "_s;
    return {};
}

}  // namespace

// The option table against the parser, both help texts, the manual page and the completions.
class CommandLineTest : public QObject {
    Q_OBJECT
    TempTree m_tree;
private Q_SLOTS:
    void wrongLinesAreNamed() {
        // Command line, the problem's words (with the help it points to).
        const std::pair<const char*, QStringList> rows[] = {
            {"--frobnicate", {"'--frobnicate'", "tarnwick --help"}},
            {"--print / --frobnicate", {"'--frobnicate'", "tarnwick --print --help"}},
            {"--print / --sort", {"'--sort'", "ORDER"}},
            {"--print --sort=colour /", {"'colour'", "name, date, size"}},
            {"--print --index spotlight /", {"'spotlight'", "auto, tracker, scan, none"}},
            {"--print --json=yes /", {"'--json'", "no value"}},
            {"--print -0 --json /", {"'-0'", "'--json'"}},
            {"--print", {"'--print' needs a folder"}},
            {"--print / a b", {"'b'"}},
            {"--panel", {"'--panel'", "FOLDER"}},
            {"--sort size /", {"'--sort'", "'--print'"}},
            {"--remove", {"'--remove'", "'--install-file-manager-actions'"}},
            {"--settings --activate", {"'--settings'", "'--activate'"}},
            {"--print / --panel /", {"'--print'", "'--panel'"}},
            {"--activate /tmp", {"'/tmp'"}},
            {"a b", {"'b'"}},
        };
        for (const auto& [line, said] : rows) {
            const Invocation invocation = parseCommandLine(words(line));
            QVERIFY2(invocation.command == Command::wrong, line);
            for (const QString& part : said)
                QVERIFY2(invocation.problem.contains(part), qPrintable(invocation.problem));
        }
        // Help wins over everything else; a value may look like an option after `--`.
        QCOMPARE(parseCommandLine(words("--print --frobnicate -h")).command, Command::printHelp);
        QCOMPARE(parseCommandLine(words("--frobnicate --help")).command, Command::help);
        const Invocation query = parseCommandLine(words("--print --ext=PDF --ext md -- -x -rf"));
        QVERIFY(query.command == Command::print && query.folder == "-x" && query.query == "-rf");
        QCOMPARE(query.values("--ext"), (QList<QByteArray>{"PDF", "md"}));
        QVERIFY(query.value("--sort") == "name" && query.value("--index") == "auto");
    }
    // Without a display or a bus: help, version, and a wrong line with one line and exit 2; in
    // the desktop's language before any application object exists.
    void answersWithoutADisplay() {
        const std::tuple<QStringList, int, const char*, const char*, QString> rows[] = {
            {{"--help"}, 0, "--install-file-manager-actions [--remove]", "", {}},
            {{"-h"}, 0, "Options of --print:", "", {}},
            {{"--print", "--help"}, 0, "Fields of each JSON object", "", {}},
            {{"--version"}, 0, "tarnwick " TARNWICK_VERSION "\n", "", {}},
            {{"--frobnicate"},
             2,
             "",
             "tarnwick: unknown option '--frobnicate' (see 'tarnwick --help')\n",
             {}},
            {{"-h"}, 0, "Optionen von --print:", "", u"de"_s},
            {{"--frobnicate"},
             2,
             "",
             "tarnwick: option inconnue « --frobnicate » (voir « tarnwick --help »)\n",
             u"es:fr"_s},
        };
        for (const auto& [arguments, exitCode, out, err, language] : rows) {
            const auto [code, printed, complained] =
                runAlone(u"" TARNWICK_EXECUTABLE ""_s, arguments, language);
            QCOMPARE(code, exitCode);
            QVERIFY2(printed.contains(out) && (*err ? complained == err : complained.isEmpty()),
                     complained.constData());
        }
    }
    // Every option the parser takes, with its values, in the help, the manual and the
    // completions; folders complete where a folder goes, and nothing where the query goes.
    void everyOptionIsDocumentedEverywhere() {
        QVERIFY(m_tree.isValid());
        m_tree.mkdir("Documents"), m_tree.mkdir("Downloads"), m_tree.write("Dossier.txt");
        QProcess groff;
        groff.start(u"groff"_s,
                    {u"-man"_s, u"-Tascii"_s, u"-ww"_s, u"-P-cbou"_s, kDocs + u"/tarnwick.1"_s});
        QVERIFY(groff.waitForFinished(20000) && groff.exitCode() == 0);
        const QString manual = QString::fromUtf8(groff.readAllStandardOutput());
        QCOMPARE(groff.readAllStandardError(), QByteArray());  // no warning about the page
        QFile zshFile(kDocs + u"/_tarnwick"_s);
        QVERIFY(zshFile.open(QIODevice::ReadOnly));
        const QString zsh = QString::fromUtf8(zshFile.readAll());
        QCOMPARE(std::get<0>(runAlone(u"zsh"_s, {u"-n"_s, zshFile.fileName()})), 0);
        const QString help = helpText() + printHelpText();
        const QString folder = QString::fromUtf8(m_tree.path());
        for (const Option& option : options()) {
            QVERIFY2(parseCommandLine(lineWith(option)).command != Command::wrong, option.name);
            QStringList names{QString::fromLatin1(option.name)};
            if (option.alias) names << QString::fromLatin1(option.alias);
            const Scope scope = option.scope == Scope::any ? Scope::start : option.scope;
            const QStringList bash = bashCompletes(scopePrefix(scope) + u'-', folder);
            const QStringList fish =
                fishCompletes(u"tarnwick "_s + scopePrefix(scope) + u'-', folder);
            for (const QString& name : names) {
                QVERIFY2(help.contains(name) && manual.contains(name), qPrintable(name));
                QVERIFY2(zsh.contains(name) && bash.contains(name), qPrintable(bash.join(u' ')));
                QVERIFY2(fish.contains(name), qPrintable(name + u": "_s + fish.join(u' ')));
            }
            if (option.value != ValueKind::choice) continue;
            QStringList choices;
            for (const char* choice : option.choices) choices << QString::fromLatin1(choice);
            const QString prefix = scopePrefix(option.scope) + QString::fromLatin1(option.name);
            QCOMPARE(bashCompletes(prefix + u" ''"_s, folder), choices);
            QCOMPARE(bashCompletes(prefix + u" ="_s, folder), choices);  // --sort=
            QCOMPARE(fishCompletes(u"tarnwick "_s + prefix + u' ', folder), choices);
            QVERIFY(zsh.contains(u'(' + choices.join(u' ') + u')'));
        }
        const QStringList folders{u"Documents"_s, u"Downloads"_s};
        for (const char* line : {"D", "--print D", "--panel D", "--print --sort size D"}) {
            QCOMPARE(bashCompletes(QString::fromLatin1(line), folder), folders);
            QCOMPARE(fishCompletes(u"tarnwick "_s + QString::fromLatin1(line), folder),
                     (QStringList{u"Documents/"_s, u"Downloads/"_s}));
        }
        QCOMPARE(bashCompletes(u"--print Documents D"_s, folder), QStringList());  // the query
        QCOMPARE(fishCompletes(u"tarnwick --print Documents D"_s, folder), QStringList());
    }
};

// The desktop's language as gettext reads it, and plural forms in each language Tarnwick has.
class TranslationsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void languageOfTheDesktop() {
        // LANGUAGE, LC_ALL, LC_MESSAGES, LANG; the languages asked for.
        const std::pair<QStringList, QStringList> rows[] = {
            {{"de", "", "", "C.UTF-8"}, {"de"}},
            {{"fr:de_AT", "", "", "en_US.UTF-8"}, {"fr", "de_AT"}},
            {{"", "fr_FR.UTF-8", "de_DE.UTF-8", "de_DE.UTF-8"}, {"fr_FR"}},
            {{"", "", "de_AT.UTF-8@euro", "fr_FR.UTF-8"}, {"de_AT"}},
            {{"de", "C", "", "fr_FR.UTF-8"}, {}},  // scripts' LC_ALL=C keeps English
            {{"de", "", "", ""}, {}},
        };
        const char* names[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
        for (const auto& [values, languages] : rows) {
            QProcessEnvironment env;
            for (int i = 0; i < 4; ++i)
                if (!values[i].isEmpty()) env.insert(QString::fromLatin1(names[i]), values[i]);
            QCOMPARE(desktopLanguages(env), languages);
        }
    }
    void pluralForms() {
        // Languages asked for, the one found, the count label and the size for 0, 1 and 2.
        const std::tuple<QStringList, const char*, QStringList> rows[] = {
            {{"es", "de_AT"},
             "de",
             {"0 Objekte", "0 Byte", "1 Objekt", "1 Byte", "2 Objekte", "2 Byte"}},
            {{"fr_CA"},
             "fr",
             {"0 élément", "0 octet", "1 élément", "1 octet", "2 éléments", "2 octets"}},
            {{"es"}, "en", {"0 items", "0 bytes", "1 item", "1 byte", "2 items", "2 bytes"}},
        };
        for (const auto& [languages, found, labels] : rows) {
            Translations translations(languages, u"" TARNWICK_TRANSLATIONS_DIR ""_s);
            translations.install();
            QCOMPARE(translations.language(), QString::fromLatin1(found));
            QStringList shown;
            for (int count : {0, 1, 2})
                shown << countLabelText(SearchMode::hybrid, true, true, count, count)
                      << sizeText(count, QLocale());
            QCOMPARE(shown, labels);
        }
    }
};

TARNWICK_TEST(CommandLineTest)
TARNWICK_TEST(TranslationsTest)
#include "CommandLineTest.moc"
