#pragma once

#include <QList>
#include <QString>
#include <functional>

#include "widgets/usermessage.h"
#include "shell/sectioneditor.h"

class UnitConnection;
class ConnectionPanel;
class InfoFrame;
class PhoneListEditor;
class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTimer;
class QToolBar;
class SectionRegistry;
struct ConfigDifference;
struct ConfigStore;

// The commands of the General window's toolbar; the shell carries them out.
struct GeneralCommands {
    std::function<void()> open;     // "Abrir": open dialog and file restore
    std::function<void()> save;     // "Guardar": the file open, or the save dialog
    std::function<void()> saveAs;   // "Guardar como": save dialog and file save
    std::function<void()> language; // "Idioma": the language dialog
    // Where a verified upload's differences go; unset, a message gives their count.
    std::function<void(const QString &title, const QList<ConfigDifference> &)> showDifferences;
    // Asked before "Escribir conf." starts an upload; false stops it.
    std::function<bool()> readyToSend;
    // Asked before "Leer conf." replaces the editors; false stops it.
    std::function<bool()> readyToReplace;
    // The serial number of the unit the configuration in the editors came
    // from; empty when unknown.
    std::function<QString()> configSource;
};

// "Configuracion general": the unit's general settings and phone list, the
// connection controls, the unit's identity and the file toolbar.
class General : public SectionEditor {
    Q_OBJECT
public:
    General(UnitConnection &unit, ConfigStore &store, const SectionRegistry &sections,
            GeneralCommands commands, UserMessage message = productMessage,
            QWidget *parent = nullptr);

    void LoadText() override;
    void Clear() override;
    void LoadData() override;
    void StoreControls() override;

    // Selects the SMS-centre preset that matches the number in the box.
    void CSMCheck();
    void Abrir_Click();
    void Timer1_Timer();

    ConnectionPanel *connection() const { return connection_; }
    PhoneListEditor *phones() const { return phones_; }
    InfoFrame *info() const { return info_; }

    QLineEdit *NameBox;
    QLineEdit *SMSCBox;
    QRadioButton *CSMAmen;
    QRadioButton *CSMVoda;
    QRadioButton *CSMMovi;
    QRadioButton *CSMOtro;
    QLineEdit *PTLF;
    QLineEdit *RENVT;
    QLineEdit *RENVN;
    QLineEdit *RestoreText;
    QLabel *Warning;
    QLabel *WarningText;
    QToolBar *Toolbar;
    QTimer *Timer1;

private:
    QStringList shownPhones_; // the phone list as LoadData showed it
    QWidget *buildSettings();
    void buildToolbar();
    void choosePreset(QRadioButton *button);
    QRadioButton *presetFor(const QString &number) const;
    void updateWarning();
    void showDevice();

    UnitConnection &unit_;
    ConfigStore &store_;
    const SectionRegistry &sections_;
    GeneralCommands commands_;
    UserMessage message_;

    PhoneListEditor *phones_;
    InfoFrame *info_;
    ConnectionPanel *connection_;
    QLabel *titulo_;
    QLabel *minutes_;
    QGroupBox *frameName_;
    QGroupBox *frameSms_;
    QGroupBox *frameOwn_;
    QGroupBox *frameResendTime_;
    QGroupBox *frameResendCount_;
    QGroupBox *frameRestore_;
    QAction *abrir_;
    QAction *guardar_;
    QAction *guardarComo_;
    QAction *idioma_;
};
