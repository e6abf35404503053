#include "macroswindow.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "files/langtable.h"
#include "files/sectionregistry.h"
#include "macrorows.h"
#include "model/configstore.h"
#include "model/texthelpers.h"
#include "widgets/namedwidget.h"

namespace {

QString translated(const QString &text)
{
    return Translate(text);
}

QStringList listRows(const QListWidget *list)
{
    QStringList rows;
    for (int i = 0; i < list->count(); ++i)
        rows << list->item(i)->text();
    return rows;
}

// "Numero de macro repetido: 0, 3", or empty while every number is once.
QString repeatedText(const QStringList &rows)
{
    QStringList numbers;
    for (const int n : repeatedMacroNumbers(rows))
        numbers << QString::number(n);
    if (numbers.isEmpty())
        return {};
    return Translate(QStringLiteral("Numero de macro repetido:")) + u' ' + numbers.join(QStringLiteral(", "));
}

} // namespace

Macros::Macros(ConfigStore &store, const SectionRegistry &sections, UserMessage message,
               QWidget *parent)
    : SectionEditor(parent),
      Titulo(named(new QLabel(this), "Titulo")),
      MacroNum(named(new QComboBox(this), "MacroNum")),
      MacroCommand(named(new QLineEdit(this), "MacroCommand")),
      MacroName(named(new QLineEdit(this), "MacroName")),
      MacroPool(named(new QListWidget(this), "MacroPool")),
      FreeMem(named(new QLabel(this), "FreeMem")),
      UploadNotice(named(new QLabel(this), "UploadNotice")),
      RepeatedNotice(named(new QLabel(this), "RepeatedNotice")),
      AddBut(named(new QPushButton(this), "AddBut")),
      AddEqBut(named(new QPushButton(this), "AddEqBut")),
      DelBut(named(new QPushButton(this), "DelBut")),
      store_(store),
      sections_(sections),
      message_(std::move(message)),
      labelNum_(new QLabel(this)),
      labelCommand_(new QLabel(this)),
      labelName_(new QLabel(this)),
      labelPool_(new QLabel(this))
{
    setObjectName(QStringLiteral("Macros"));
    makeHeading(Titulo);

    for (int number = 0; number < MacroPool::kRows; ++number)
        MacroNum->addItem(NumStr(number));
    // The unit's answer ends a row's body at its first "}".
    refuseSeparators(MacroCommand, LineText::MacroRow);
    refuseSeparators(MacroName, LineText::MacroRow);
    UploadNotice->setWordWrap(true);
    RepeatedNotice->setWordWrap(true);
    RepeatedNotice->setStyleSheet(QStringLiteral("color: red"));

    auto *entry = new QGridLayout;
    entry->addWidget(labelNum_, 0, 0);
    entry->addWidget(MacroNum, 0, 1, Qt::AlignLeft);
    entry->addWidget(labelCommand_, 1, 0);
    entry->addWidget(MacroCommand, 1, 1);
    entry->addWidget(labelName_, 2, 0);
    entry->addWidget(MacroName, 2, 1);
    entry->setColumnStretch(1, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(AddBut);
    buttons->addWidget(AddEqBut);
    buttons->addWidget(DelBut);
    buttons->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->addWidget(Titulo);
    layout->addLayout(entry);
    layout->addLayout(buttons);
    layout->addWidget(labelPool_);
    layout->addWidget(MacroPool, 1);
    layout->addWidget(FreeMem);
    layout->addWidget(UploadNotice);
    layout->addWidget(RepeatedNotice);

    connect(AddBut, &QPushButton::clicked, this, &Macros::AddBut_Click);
    connect(AddEqBut, &QPushButton::clicked, this, &Macros::AddEqBut_Click);
    connect(DelBut, &QPushButton::clicked, this, &Macros::DelBut_Click);
    connect(MacroPool, &QListWidget::itemDoubleClicked, this, &Macros::MacroPool_DblClick);

    LoadText();
    LoadData();
}

void Macros::LoadText()
{
    setWindowTitle(Translate(QStringLiteral("Configuracion Macros / Ecuaciones")));
    Titulo->setText(windowTitle());
    labelNum_->setText(Translate(QStringLiteral("Macro / Equacion:")));
    labelCommand_->setText(Translate(QStringLiteral("Comando:")));
    labelName_->setText(Translate(QStringLiteral("Nombre:")));
    labelPool_->setText(Translate(QStringLiteral("Doble click para editar:")));
    AddBut->setText(Translate(QStringLiteral("Añadir Macro")));
    AddEqBut->setText(Translate(QStringLiteral("Añadir Ecuacion")));
    DelBut->setText(Translate(QStringLiteral("Eliminar")));
    UploadNotice->setText(Translate(kMacroUploadNotice));
    showBudget();
}

void Macros::Clear()
{
    MacroNum->setCurrentIndex(0);
    MacroCommand->clear();
    MacroName->clear();
    if (const SectionCore *core = sections_.find(QStringLiteral("Macros")))
        core->clear(store_);
    LoadData();
}

void Macros::LoadData()
{
    MacroPool->clear();
    for (const QString &row : store_.Macros.Rows) {
        if (!row.isEmpty())
            MacroPool->addItem(row);
    }
    shownRows_ = listRows(MacroPool);
    MacroNum->setCurrentIndex(freeMacroNumber(shownRows_, 0).value_or(0));
    showBudget();
}

void Macros::StoreControls()
{
    // The list leaves out the pool's empty rows; unedited, the pool stays as it is.
    if (listRows(MacroPool) == shownRows_)
        return;
    shownRows_ = listRows(MacroPool);
    for (int i = 0; i < MacroPool::kRows; ++i) {
        const QListWidgetItem *item = MacroPool->item(i);
        store_.Macros.Rows[i] = item ? item->text() : QString();
    }
}

// A number that a row holds already goes to the first free one: the unit
// keeps one macro a number.
void Macros::AddBut_Click()
{
    const std::optional<int> number = freeMacroNumber(listRows(MacroPool), MacroNum->currentIndex());
    if (!number) {
        tell(Translate(QStringLiteral("Todos los numeros de macro estan en uso")));
        return;
    }
    const MacroRowResult result =
        buildMacroRow(*number, MacroCommand->text(), MacroName->text(), MacroPool->count());
    if (!addRow(result.row)) {
        tell(macroRefusalText(result.refusal, translated));
        return;
    }
    MacroNum->setCurrentIndex(
        freeMacroNumber(listRows(MacroPool), nextMacroNumber(*number, false)).value_or(*number));
    MacroCommand->clear();
    MacroName->clear();
}

void Macros::AddEqBut_Click()
{
    const MacroRowResult result = buildEquationRow(MacroNum->currentIndex(), MacroCommand->text(),
                                                   MacroName->text(), MacroPool->count());
    if (result.nameDiscarded)
        tell(Translate(kMacroNameDiscarded));
    if (!addRow(result.row)) {
        tell(macroRefusalText(result.refusal, translated));
        return;
    }
    MacroNum->setCurrentIndex(nextMacroNumber(MacroNum->currentIndex(), true));
    MacroCommand->clear();
    MacroName->clear();
}

bool Macros::addRow(const QString &row)
{
    if (row.isEmpty())
        return false;
    MacroPool->addItem(row);
    showBudget();
    StoreControls();
    return true;
}

void Macros::DelBut_Click()
{
    QListWidgetItem *chosen = MacroPool->currentItem();
    if (!chosen || !chosen->isSelected())
        return;
    delete chosen;
    showBudget();
    StoreControls();
}

void Macros::MacroPool_DblClick()
{
    const QListWidgetItem *chosen = MacroPool->currentItem();
    if (!chosen)
        return;
    const MacroRowParts parts = splitMacroRow(chosen->text());
    MacroCommand->setText(parts.command);
    MacroName->setText(parts.name);
}

void Macros::tell(const QString &text)
{
    if (!text.isEmpty())
        message_(QMessageBox::NoIcon, text, QMessageBox::Ok);
}

void Macros::showBudget()
{
    const QStringList rows = listRows(MacroPool);
    FreeMem->setText(macroMemoryText(rows, translated));
    UploadNotice->setVisible(macroUploadNoticeShown(int(rows.size())));
    const QString repeated = repeatedText(rows);
    RepeatedNotice->setText(repeated);
    RepeatedNotice->setVisible(!repeated.isEmpty());
}

QList<BoxFault> Macros::uploadFaults()
{
    const QString repeated = repeatedText(listRows(MacroPool));
    if (repeated.isEmpty())
        return {};
    return {{this, MacroPool, Translate(QStringLiteral("Macros")), repeated}};
}
