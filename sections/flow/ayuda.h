#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The pulse-equivalence calculator of the flow-meter editor: a modeless
// helper whose result the operator copies into the meter's ratio. It keeps
// nothing in the configuration.
class Ayuda : public QDialog {
    Q_OBJECT
public:
    explicit Ayuda(QWidget *parent = nullptr);

    void LoadText();
    // Shows the equivalence; a time base or pulse text that is not a valid
    // number turns its box red, and a result that cannot be had leaves the
    // shown one as it was.
    void CalcButton_Click();

    QLineEdit *TextPulsos;
    QComboBox *ComboPulso;
    QLineEdit *TextTimeBase;
    QComboBox *ComboEq;
    QLineEdit *TextEqUn;
    QPushButton *CalcButton;
    QPushButton *CancelButton;

private:
    QLabel *pulsesLabel_;
    QLabel *timeBaseLabel_;
    QLabel *secondsLabel_;
    QLabel *flowLabel_;
    QLabel *resultLabel_;
};
