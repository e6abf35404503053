#pragma once

#include <QString>
#include <QWidget>
#include <functional>

#include "widgets/usermessage.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class UnitConnection;

// A raw console on the established link: every character the unit sends
// while this is the active window and no exchange holds the link, and the
// commands, hand-typed frames and trace switches the operator sends. The
// transcript shows each frame sent on a line of its own, behind kSentMark
// and in its own colour, so that a saved transcript still tells them apart.
class Terminal : public QWidget {
    Q_OBJECT
public:
    explicit Terminal(UnitConnection &unit, UserMessage message = productMessage,
                      QWidget *parent = nullptr);

    void LoadText();

    void EnviarBut_Click();
    void TramaBut_Click();
    void TraceEnable_Click();
    void TraceDisable_Click();
    void BorrarBut_Click();
    void SaveBut_Click();
    void TraceSaveBut_Click();
    void Timer1_Timer();

    // Whether the terminal is the active window; tests replace it.
    std::function<bool()> active;
    // The save dialog, given the filter and the name it suggests; empty when
    // cancelled. Tests replace it.
    std::function<QString(const QString &filter, const QString &suggestedName)> askSavePath;

    // Before each frame sent in the transcript.
    static constexpr QLatin1StringView kSentMark{"> "};

    // Characters read per tick at most, so that a unit that never pauses
    // still gets its text shown.
    static constexpr int kMaxCharsPerTick = 4096;
    // Lines the console keeps; older ones are dropped whole.
    static constexpr int kMaxLines = 100000;

    QLabel *Titulo;
    QPlainTextEdit *TextWin;
    QLineEdit *TextComando;
    QPushButton *EnviarBut;
    QLineEdit *TextTrama;
    QPushButton *TramaBut;
    QGroupBox *EnviarFrame;
    QPushButton *TraceEnable;
    QPushButton *TraceDisable;
    QPushButton *BorrarBut;
    QPushButton *SaveBut;
    QPushButton *TraceSaveBut;
    QTimer *Timer1;

protected:
    // The tick reads only for the active window, so it rests while the
    // window is hidden: an idle program then wakes ten times a second less.
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void send(const QString &commandText);
    // Offers "<prefix>_<unit serial>_<date>-<time>.<extension>", the serial
    // left out before the first unit has been read.
    void saveAs(const QString &fileFilter, const QString &namePrefix, const std::function<QByteArray()> &bytes);
    void appendToConsole(const QString &received);
    void appendSent(const QString &frame);
    QString consoleText() const;

    UnitConnection &unit_;
    UserMessage message_;
    bool pendingCR_ = false; // the last tick ended in CR: a leading LF belongs to it
};
