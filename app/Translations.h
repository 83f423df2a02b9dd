#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTranslator>

namespace tarnwick {

// The languages the desktop asks for, best first, read as gettext reads them: the list in
// LANGUAGE, unless messages are in the C locale (the first of LC_ALL, LC_MESSAGES and LANG that
// is set is "C" or "POSIX", or none is set); otherwise that locale's language. Empty: English.
QStringList desktopLanguages(const QProcessEnvironment& environment);

// Tarnwick's texts in the first of the desktop's languages it has a translation for (English's
// plural forms when it has none), and Qt's own texts (standard buttons, key names) in the first
// language Qt has. Made before any application object, so that even the command line's first
// complaint is translated; install() hands it to the application object once one exists.
class Translations {
public:
    Translations(const QStringList& languages, const QString& folder);
    ~Translations();
    Translations(const Translations&) = delete;
    Translations& operator=(const Translations&) = delete;

    // The language Tarnwick's texts are in ("de"; "en" when none of the desktop's was found).
    const QString& language() const { return m_language; }
    void install();

    // Where the package puts the compiled translations: share/tarnwick/translations beside the
    // binary's folder (a build folder has them in the same place).
    static QString installedFolder();
    // `source` of `context` in the language loaded, also before any application object exists.
    static QString translate(const char* context, const char* source);

private:
    QTranslator m_own;
    QTranslator m_qt;
    QString m_language;
};

}  // namespace tarnwick
