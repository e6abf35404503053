#pragma once

#include <QMetaObject>
#include <QString>
#include <QtGlobal>
#include <functional>
#include <memory>

class QSettings;
class LangTable;

// The per-user settings: "Idioma" (the language number), "ComPort" (the
// port last used), "LastPort" (the port list's last choice) and "LastFolder"
// (where a configuration file was last opened or saved), kept under the company and product names. A value never
// written reads as empty.
class UserSettings {
public:
    // The store of this user and product.
    UserSettings();
    // Any store, for instance a private file in tests. The keys go in the
    // product's group of that store.
    explicit UserSettings(std::unique_ptr<QSettings> store);
    ~UserSettings();

    QString idioma() const;
    QString comPort() const;
    QString lastFolder() const;
    void setLastFolder(const QString &folder);
    // "LastPort": the port list's choice at the last shut-down, the
    // simulated unit included ("ComPort" keeps its older meaning).
    QString lastPort() const;
    void setLastPort(const QString &choice);

    // Start-up: on the first start (either value empty) "ComPort" becomes "1",
    // askLanguage runs (it may change lang.LangSel) and the choice is stored;
    // then lang.LangSel takes the stored language number.
    void applyAtStartup(LangTable &lang, const std::function<void()> &askLanguage);

    // From now on every language the operator chooses is stored at once, so
    // that the choice outlives however the program ends.
    void followLanguage(const LangTable &lang);

    // Shut-down: the port last chosen (kept as it was when none is) and the
    // language in use.
    void storeAtShutdown(const QString &portText, qint16 langSel);

    // The language number that the leading digits of text give (0 when none).
    static qint16 languageNumber(const QString &text);
    // What "ComPort" keeps of the port text: the number after "COM" on
    // Windows, the device path elsewhere.
    static QString comPortValue(const QString &portText);

private:
    QString value(const QString &key) const;
    void setValue(const QString &key, const QString &value);

    std::unique_ptr<QSettings> store_;
    QMetaObject::Connection languageFollowed_;
};
