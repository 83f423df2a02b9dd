#include "Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QStandardPaths>

namespace tarnwick {

namespace {

const Translations* g_loaded = nullptr;

// "de_DE.UTF-8@euro" -> "de_DE": the encoding and modifier name no translation.
QString languageOf(const QString& locale) {
    return locale.section(u'.', 0, 0).section(u'@', 0, 0);
}

bool loadFirst(QTranslator& translator, const QStringList& languages, const QString& prefix,
               const QString& folder) {
    for (const QString& language : languages)
        if (translator.load(prefix + language, folder)) return true;
    return false;
}

}  // namespace

QStringList desktopLanguages(const QProcessEnvironment& environment) {
    QString messages;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        messages = environment.value(QString::fromLatin1(name));
        if (!messages.isEmpty()) break;
    }
    // Output in the C locale is what scripts read: LANGUAGE does not change it.
    if (messages.isEmpty() || messages == u"C" || messages == u"POSIX") return {};
    const QString list = environment.value(QStringLiteral("LANGUAGE"));
    QStringList languages;
    for (const QString& entry : list.isEmpty() ? QStringList{messages} : list.split(u':')) {
        const QString language = languageOf(entry);
        if (!language.isEmpty() && language != u"C" && language != u"POSIX")
            languages.append(language);
    }
    return languages;
}

Translations::Translations(const QStringList& languages, const QString& folder) {
    if (loadFirst(m_own, languages, QStringLiteral("tarnwick_"), folder)) {
        m_language = QLocale(m_own.language()).name().section(u'_', 0, 0);
    } else {
        m_language = QStringLiteral("en");
        // English needs its plural forms ("1 item") from a translation of its own too.
        (void)m_own.load(QStringLiteral("tarnwick_en"), folder);
    }
    loadFirst(m_qt, languages, QStringLiteral("qtbase_"),
              QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    // Dates and sizes follow the language of the texts around them; a locale that already speaks
    // it keeps its own country's forms.
    const QLocale texts(m_language);
    if (m_language != u"en" && QLocale::system().language() != texts.language())
        QLocale::setDefault(texts);
    g_loaded = this;
}

Translations::~Translations() {
    if (g_loaded == this) g_loaded = nullptr;
}

void Translations::install() {
    QCoreApplication::installTranslator(&m_qt);
    QCoreApplication::installTranslator(&m_own);
}

QString Translations::installedFolder() {
    const QString relative = QStringLiteral("tarnwick/translations");
    const QString beside = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath() +
                           QStringLiteral("/../share/") + relative;
    if (QFileInfo(beside).isDir()) return QDir::cleanPath(beside);
    return QStandardPaths::locate(QStandardPaths::GenericDataLocation, relative,
                                  QStandardPaths::LocateDirectory);
}

QString Translations::translate(const char* context, const char* source) {
    if (QCoreApplication::instance() || !g_loaded)
        return QCoreApplication::translate(context, source);
    const QString text = g_loaded->m_own.translate(context, source);
    return text.isNull() ? QString::fromUtf8(source) : text;
}

}  // namespace tarnwick
