#pragma once

#include <functional>

#include "link/configtransfer.h"
#include "widgets/usermessage.h"
#include "shell/sectioneditor.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTimer;
class SectionRegistry;
class UnitConnection;
struct ConfigStore;

// "Autorizados llamada de voz": the numbers allowed to command the unit by
// voice call, the macro the unit runs on such a call, and the list's own read
// and write with the unit.
class Aut_Voz : public SectionEditor {
    Q_OBJECT
public:
    Aut_Voz(UnitConnection &unit, ConfigStore &store, const SectionRegistry &sections,
            UserMessage message = productMessage, QWidget *parent = nullptr);

    void LoadText() override;
    void Clear() override;
    void LoadData() override;
    void StoreControls() override;

    void Add_Click();
    void Del_Click();
    void SearchBut_Click();
    void ReadBut_Click();
    void WriteBut_Click();
    void Timer1_Timer();

    QLabel *PhoneLabel;
    QLineEdit *PhoneText;
    QListWidget *PhoneList;
    QPushButton *Add;
    QPushButton *Del;
    QPushButton *SearchBut;
    QPushButton *ReadBut;
    QPushButton *WriteBut;
    QLabel *MacroLabel;
    QComboBox *PNMacro;
    QCheckBox *ACKCheck;
    QLabel *StateLabel;
    QProgressBar *PBar;
    QLabel *Warning;
    QLabel *WarningText;

    // Runs before the list is written, once this window stored its boxes:
    // false refuses the write (the shell stores every editor and checks the list).
    std::function<bool()> beforeWrite;
    QTimer *Timer1;

private:
    // What the status line tells, kept untranslated so that a change of
    // language shows it again in the new one.
    enum class State { Ready, Writing, Written, Reading, ReadDone, Failed };

    // The number typed, when it may be added or searched for; tells the
    // operator when it may not.
    bool phoneTextValid();
    void clearPhoneText();
    bool runTransfer(State running, State done, const std::function<bool(const TransferProgress &)> &operation);
    void showState(State state);
    void updateEnabling();

    UnitConnection &unit_;
    ConfigStore &store_;
    const SectionRegistry &sections_;
    UserMessage message_;
    QLabel *titulo_;
    State state_ = State::Ready;
    bool transferRunning_ = false;
};
