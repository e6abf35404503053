#include "qttranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

#include "files/langtable.h"

namespace QtTranslation {

QLocale::Language languageNamed(const QString &name)
{
    const QString wanted = name.trimmed();
    if (wanted.isEmpty())
        return QLocale::AnyLanguage;
    for (int code = QLocale::C + 1; code <= QLocale::LastLanguage; ++code) {
        const auto language = QLocale::Language(code);
        if (QLocale::languageToString(language).compare(wanted, Qt::CaseInsensitive) == 0
            || QLocale(language).nativeLanguageName().compare(wanted, Qt::CaseInsensitive) == 0)
            return language;
    }
    return QLocale::AnyLanguage;
}

QLocale::Language languageInUse(const LangTable &lang)
{
    // Without a choice (0) the texts show in the base language, number 1.
    const int number = lang.LangSel > 1 ? lang.LangSel : 1;
    const QLocale::Language named = languageNamed(lang.GetLangName(number));
    // The program's own texts are Spanish: so is the base language of a table
    // whose first name is unknown, or of no table at all.
    return named == QLocale::AnyLanguage && number == 1 ? QLocale::Spanish : named;
}

void follow(const LangTable &lang)
{
    static QPointer<QTranslator> translator;
    delete translator; // a translator leaves the application's list when destroyed
    const QLocale::Language language = languageInUse(lang);
    if (language == QLocale::AnyLanguage || !QCoreApplication::instance())
        return;
    auto *loaded = new QTranslator(QCoreApplication::instance());
    if (!loaded->load(QLocale(language), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete loaded;
        return;
    }
    translator = loaded;
    QCoreApplication::installTranslator(translator);
}

} // namespace QtTranslation
