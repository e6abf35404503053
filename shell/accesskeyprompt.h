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

    // Shows the prompt modal and gives the key; the function Comms asks.
    static QString ask(QWidget *parent = nullptr);

    // How a refused key is told; a message box unless replaced (tests).
    std::function<void(const QString &)> warn;

    QLabel *Label1 = nullptr;
    QLineEdit *PWText = nullptr;
    QPushButton *Aceptar = nullptr;
    QPushButton *Cancelar = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void Aceptar_Click();
    void Cancelar_Click();

    QString key_;
    bool beeped_ = false;
};
