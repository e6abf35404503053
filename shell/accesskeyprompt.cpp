#include "accesskeyprompt.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "files/langtable.h"
#include "model/product.h"
#include "model/texthelpers.h"
#include "programicon.h"

AccessKeyPrompt::AccessKeyPrompt(QWidget *parent) : QDialog(parent)
{
    setObjectName("PWForm");
    setModal(true);
    setWindowIcon(programIcon());

    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    Refusal = new QLabel(this);
    Refusal->setObjectName("Refusal");
    Refusal->setStyleSheet(QStringLiteral("color: #c00000"));
    Refusal->hide();
    PWText = new QLineEdit(this);
    PWText->setObjectName("PWText");
    PWText->setMaxLength(kMaxLength);
    PWText->setEchoMode(QLineEdit::Password);
    PWText->setStyleSheet(QStringLiteral("lineedit-password-character: 42")); // "*"
    auto *buttons = new QDialogButtonBox(this);
    Aceptar = buttons->addButton(QString(), QDialogButtonBox::AcceptRole);
    Aceptar->setObjectName("Aceptar");
    Aceptar->setDefault(true);
    Cancelar = buttons->addButton(QString(), QDialogButtonBox::RejectRole);
    Cancelar->setObjectName("Cancelar");
    connect(Aceptar, &QPushButton::clicked, this, &AccessKeyPrompt::Aceptar_Click);
    connect(Cancelar, &QPushButton::clicked, this, &AccessKeyPrompt::Cancelar_Click);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Refusal);
    layout->addWidget(Label1);
    layout->addWidget(PWText);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    warn = [this](const QString &text) {
        QMessageBox::warning(this, Product::ProductTitle, text);
    };
    LoadText();
}

void AccessKeyPrompt::LoadText()
{
    setWindowTitle(Translate("Clave de acceso"));
    // The dialog is as wide as its caption needs in a bold title font, beside
    // the title bar's icon and buttons: a narrow box would cut the caption.
    QFont titleFont = font();
    titleFont.setBold(true);
    PWText->setMinimumWidth(qMax(180, QFontMetrics(titleFont).horizontalAdvance(windowTitle()) + 120));
    Label1->setText(Translate("Introduzca la clave de acceso:"));
    Aceptar->setText(Translate("Aceptar"));
    Cancelar->setText(Translate("Cancelar"));
    if (triesLeft_ > 0)
        Refusal->setText(Translate("La unidad no acepto la clave de acceso.") + u'\n'
                         + Translate("Intentos restantes:") + u' ' + QString::number(triesLeft_));
}

void AccessKeyPrompt::showRefusal(int triesLeft)
{
    triesLeft_ = triesLeft;
    Refusal->setVisible(triesLeft > 0);
    LoadText();
}

void AccessKeyPrompt::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!beeped_) {
        beeped_ = true;
        QApplication::beep();
    }
}

void AccessKeyPrompt::Aceptar_Click()
{
    const QString text = PWText->text();
    if (!IsDecimalText(text)) {
        warn(Translate("La clave de acceso debe ser numerica"));
        return;
    }
    key_ = text;
    accept();
}

void AccessKeyPrompt::Cancelar_Click()
{
    key_.clear();
    reject();
}

QString AccessKeyPrompt::ask(QWidget *parent, int refusedTriesLeft)
{
    AccessKeyPrompt prompt(parent);
    prompt.showRefusal(refusedTriesLeft);
    prompt.exec();
    return prompt.key();
}
