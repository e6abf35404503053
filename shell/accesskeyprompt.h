#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

// PWForm: asks the operator for the unit's numeric access key (at most four
// characters, shown masked). Cancel gives an empty key.
class AccessKeyPrompt : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxLength = 4;

    explicit AccessKeyPrompt(QWidget *parent = nullptr);

    void LoadText();
    // The key accepted, or empty when the prompt was cancelled or closed.
    QString key() const { return key_; }

    // Says that the unit refused the key typed before, and how many tries
    // are left (this one included).
    void showRefusal(int triesLeft);

    // Shows the prompt modal and gives the key; the function Comms asks.
    // With `refusedTriesLeft` above 0 it first says that the last key was refused.
    static QString ask(QWidget *parent = nullptr, int refusedTriesLeft = 0);

    // How a refused key is told; a message box unless replaced (tests).
    std::function<void(const QString &)> warn;

    QLabel *Label1 = nullptr;
    QLabel *Refusal = nullptr; // hidden until a key is refused
    QLineEdit *PWText = nullptr;
    QPushButton *Aceptar = nullptr;
    QPushButton *Cancelar = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void Aceptar_Click();
    void Cancelar_Click();

    QString key_;
    int triesLeft_ = 0;
    bool beeped_ = false;
};
