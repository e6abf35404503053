#include "langdialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "files/langtable.h"
#include "programicon.h"

LangDialog::LangDialog(const QStringList &choices, QWidget *parent) : QDialog(parent)
{
    setObjectName("Lang");
    setWindowTitle(QStringLiteral("Select Language"));
    setWindowIcon(programIcon());

    ComboLang = new QComboBox(this);
    ComboLang->setObjectName("ComboLang");
    ComboLang->addItems(choices);
    ComboLang->setCurrentIndex(choices.isEmpty() ? -1 : 0);
    ComboLang->setMinimumWidth(180);

    CommandOk = new QPushButton(QStringLiteral("OK"), this);
    CommandOk->setObjectName("CommandOk");
    CommandOk->setDefault(true);
    CommandOk->setEnabled(!choices.isEmpty());
    CommandCancel = new QPushButton(QStringLiteral("Cancel"), this);
    CommandCancel->setObjectName("CommandCancel");
    connect(CommandOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(CommandCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CommandOk);
    buttons->addWidget(CommandCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(ComboLang);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

qint16 LangDialog::selectedLanguage() const
{
    return qint16(ComboLang->currentIndex() + 1);
}

bool LangDialog::askUser(LangTable &lang, QWidget *parent)
{
    LangDialog dialog(lang.languageChoices(), parent);
    if (dialog.exec() != QDialog::Accepted || dialog.ComboLang->currentIndex() < 0)
        return false;
    lang.LangSel = dialog.selectedLanguage();
    return true;
}
