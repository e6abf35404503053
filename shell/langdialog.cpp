#include "langdialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "files/langtable.h"
#include "programicon.h"
#include "qttranslation.h"

namespace {

constexpr int kTitleBarControls = 120; // icon, close button and their margins

} // namespace

LangDialog::LangDialog(const QStringList &choices, QWidget *parent) : QDialog(parent)
{
    setObjectName("Lang");
    setWindowTitle(QStringLiteral("Select Language"));
    setWindowIcon(programIcon());

    ComboLang = new QComboBox(this);
    ComboLang->setObjectName("ComboLang");
    ComboLang->addItems(choices);
    ComboLang->setCurrentIndex(choices.isEmpty() ? -1 : 0);
    // The dialog is as wide as its list: wide enough for the whole caption
    // (title bars often use a bold font) beside the title bar's icon and buttons.
    QFont titleFont = font();
    titleFont.setBold(true);
    const int captionWidth = QFontMetrics(titleFont).horizontalAdvance(windowTitle());
    ComboLang->setMinimumWidth(qMax(180, captionWidth + kTitleBarControls));

    auto *buttons = new QDialogButtonBox(this);
    CommandOk = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    CommandOk->setObjectName("CommandOk");
    CommandOk->setDefault(true);
    CommandOk->setEnabled(!choices.isEmpty());
    CommandCancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    CommandCancel->setObjectName("CommandCancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(ComboLang);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

qint16 LangDialog::selectedLanguage() const
{
    return qint16(ComboLang->currentIndex() + 1);
}

bool LangDialog::askUser(LangTable &lang, QWidget *parent)
{
    LangDialog dialog(lang.languageChoices(), parent);
    // The language in use comes up selected, so that OK keeps it.
    if (lang.LangSel >= 1 && lang.LangSel <= dialog.ComboLang->count())
        dialog.ComboLang->setCurrentIndex(lang.LangSel - 1);
    if (dialog.exec() != QDialog::Accepted || dialog.ComboLang->currentIndex() < 0)
        return false;
    lang.selectLanguage(dialog.selectedLanguage());
    QtTranslation::follow(lang);
    return true;
}
