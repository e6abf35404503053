#pragma once

#include <QDialog>

#include "widgets/usermessage.h"

class QLabel;
class QLineEdit;
class QPushButton;
class UnitConnection;

// "Introduzca el nuevo valor": shows the count of one totalizer counter and
// writes a new count to the unit. The count is read again each time the
// dialog is shown. While an exchange with the unit waits, both buttons are
// disabled and the dialog refuses to close, so it never goes away under its
// own wait.
class SetTotal : public QDialog {
    Q_OBJECT
public:
    explicit SetTotal(UnitConnection &unit, UserMessage message = productMessage, QWidget *parent = nullptr);

    // Selects the counter (0 to 8) and shows its last count read. Any other
    // number is refused: false, and the selection stays as it was.
    bool SetIndex(int newIndex);
    void OKButton_Click();
    void CancelButton_Click();

    // Refused while an exchange waits (closing the window comes here too).
    void reject() override;

    QLabel *LabelActual;
    QLabel *LabelPreValue;
    QLabel *LabelNuevo;
    QLineEdit *TextNew;
    QLabel *LabelEstado;
    QPushButton *OKButton;
    QPushButton *CancelButton;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void LoadText();
    void Form_Load();
    bool readCount();
    void setWaiting(bool waiting);
    void showCount();

    UnitConnection &unit_;
    UserMessage message_;
    qint16 index_ = 0;
    bool waiting_ = false;
    bool loaded_ = false;
};

// Runs the counter dialog modally for one totalizer counter (0 to 8) and
// returns once it has closed; the unit connection's Device.TotalCounts then
// hold the last count read. A counter outside 0 to 8 opens nothing. Messages
// to the operator go through `message`; the dialog is modal to `parent`
// (the active window when none is given).
void runSetTotal(UnitConnection &unit, int counter, UserMessage message = productMessage,
                 QWidget *parent = nullptr);
