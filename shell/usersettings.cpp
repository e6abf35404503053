#include "usersettings.h"

#include <QSettings>

#include "files/langtable.h"
#include "model/product.h"

namespace {
const QString kIdioma = QStringLiteral("Idioma");
const QString kComPort = QStringLiteral("ComPort");
const QString kLastFolder = QStringLiteral("LastFolder");
const QString kLastPort = QStringLiteral("LastPort");
} // namespace

UserSettings::UserSettings()
    : UserSettings(std::make_unique<QSettings>(QSettings::UserScope, Product::CompanyName))
{
}

UserSettings::UserSettings(std::unique_ptr<QSettings> store) : store_(std::move(store))
{
    store_->beginGroup(Product::ProductTitle);
}

UserSettings::~UserSettings()
{
    QObject::disconnect(languageFollowed_);
}

QString UserSettings::value(const QString &key) const
{
    return store_->value(key).toString();
}

void UserSettings::setValue(const QString &key, const QString &value)
{
    store_->setValue(key, value);
    store_->sync();
}

QString UserSettings::idioma() const
{
    return value(kIdioma);
}

QString UserSettings::comPort() const
{
    return value(kComPort);
}

QString UserSettings::lastFolder() const
{
    return value(kLastFolder);
}

void UserSettings::setLastFolder(const QString &folder)
{
    setValue(kLastFolder, folder);
}

QString UserSettings::lastPort() const
{
    return value(kLastPort);
}

void UserSettings::setLastPort(const QString &choice)
{
    if (!choice.isEmpty())
        setValue(kLastPort, choice);
}

void UserSettings::applyAtStartup(LangTable &lang, const std::function<void()> &askLanguage)
{
    QString language = idioma();
    if (language.isEmpty() || comPort().isEmpty()) {
        setValue(kComPort, QStringLiteral("1"));
        if (askLanguage)
            askLanguage();
        language = QString::number(lang.LangSel);
        setValue(kIdioma, language);
    }
    lang.LangSel = languageNumber(language);
}

void UserSettings::followLanguage(const LangTable &lang)
{
    QObject::disconnect(languageFollowed_);
    languageFollowed_ = QObject::connect(lang.notifier(), &LanguageNotifier::languageChanged,
                                         [this, &lang] { setValue(kIdioma, QString::number(lang.LangSel)); });
}

void UserSettings::storeAtShutdown(const QString &portText, qint16 langSel)
{
    // With no port chosen the old value stays: an empty "ComPort" would make
    // the next start ask for the language again.
    const QString port = comPortValue(portText);
    if (!port.isEmpty())
        setValue(kComPort, port);
    setValue(kIdioma, QString::number(langSel));
}

qint16 UserSettings::languageNumber(const QString &text)
{
    const QString trimmed = text.trimmed();
    qsizetype digits = 0;
    while (digits < trimmed.size() && trimmed.at(digits).isDigit() && trimmed.at(digits).unicode() < 128)
        ++digits;
    bool ok = false;
    const int number = trimmed.left(digits).toInt(&ok);
    // A number too large for a language is no choice at all.
    return ok && number <= 32767 ? qint16(number) : qint16(0);
}

QString UserSettings::comPortValue(const QString &portText)
{
#ifdef Q_OS_WIN
    return portText.mid(3, 3);
#else
    return portText;
#endif
}
