#include "historywindow.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <memory>

#include "files/configcompare.h"
#include "files/configfile.h"
#include "files/inidocument.h"
#include "files/langtable.h"
#include "files/sectionregistry.h"
#include "link/unitconnection.h"
#include "model/configstore.h"
#include "widgets/namedwidget.h"
#include "shell/differencewindow.h"
#include "shell/filecommands.h"

namespace {

QString kindText(HistoryKind kind)
{
    switch (kind) {
    case HistoryKind::Read:
        return Translate(QStringLiteral("Lectura"));
    case HistoryKind::Write:
        break;
    case HistoryKind::VerifiedWrite:
        return Translate(QStringLiteral("Escritura verificada"));
    case HistoryKind::DifferingWrite:
        return Translate(QStringLiteral("Escritura con diferencias"));
    }
    return Translate(QStringLiteral("Escritura"));
}

} // namespace

HistoryWindow::HistoryWindow(UnitConnection &unit, ConfigStore &store, const SectionRegistry &sections,
                             FileCommands &files, UserMessage message, QWidget *parent)
    : QWidget(parent),
      Titulo(named(new QLabel(this), "Titulo")),
      LabelUnidades(named(new QLabel(this), "LabelUnidades")),
      Unidades(named(new QListWidget(this), "Unidades")),
      LabelOperaciones(named(new QLabel(this), "LabelOperaciones")),
      Operaciones(named(new QTreeWidget(this), "Operaciones")),
      Comparar(named(new QPushButton(this), "Comparar")),
      CompararEditor(named(new QPushButton(this), "CompararEditor")),
      Abrir(named(new QPushButton(this), "Abrir")),
      Carpeta(named(new QLabel(this), "Carpeta")),
      unit_(unit),
      store_(store),
      sections_(sections),
      files_(files),
      message_(std::move(message))
{
    setObjectName(QStringLiteral("Historial"));
    makeHeading(Titulo);
    Operaciones->setColumnCount(2);
    Operaciones->setRootIsDecorated(false);
    Operaciones->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Operaciones->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    Carpeta->setWordWrap(true);
    Carpeta->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *lists = new QGridLayout;
    lists->addWidget(LabelUnidades, 0, 0);
    lists->addWidget(Unidades, 1, 0);
    lists->addWidget(LabelOperaciones, 0, 1);
    lists->addWidget(Operaciones, 1, 1);
    lists->setColumnStretch(0, 1);
    lists->setColumnStretch(1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Comparar);
    buttons->addWidget(CompararEditor);
    buttons->addWidget(Abrir);
    buttons->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(8);
    layout->addWidget(Titulo);
    layout->addLayout(lists, 1);
    layout->addLayout(buttons);
    layout->addWidget(Carpeta);

    connect(Unidades, &QListWidget::currentTextChanged, this, &HistoryWindow::showEntries);
    connect(Operaciones, &QTreeWidget::itemSelectionChanged, this, &HistoryWindow::showButtons);
    connect(Comparar, &QPushButton::clicked, this, &HistoryWindow::Comparar_Click);
    connect(CompararEditor, &QPushButton::clicked, this, &HistoryWindow::CompararEditor_Click);
    connect(Abrir, &QPushButton::clicked, this, &HistoryWindow::Abrir_Click);
    connect(&unit_, &UnitConnection::historyRecorded, this, [this](const HistoryEntry &entry) {
        refresh();
        const QList<QListWidgetItem *> recorded =
            Unidades->findItems(QFileInfo(entry.path).dir().dirName(), Qt::MatchExactly);
        if (!recorded.isEmpty())
            Unidades->setCurrentItem(recorded.first());
    });
    connect(&unit_, &UnitConnection::historyFailed, this, [this](const FileFailure &failure) {
        message_(QMessageBox::Warning,
                 Translate(QStringLiteral("No se pudo guardar la copia en el historial")) + QStringLiteral("\n\n")
                     + fileFailureText(failure),
                 QMessageBox::Ok);
    });

    onLanguageChange(this, &HistoryWindow::LoadText);
    LoadText();
    refresh();
}

void HistoryWindow::LoadText()
{
    Titulo->setText(Translate(QStringLiteral("Historial de servicio")));
    LabelUnidades->setText(Translate(QStringLiteral("Unidades")));
    LabelOperaciones->setText(Translate(QStringLiteral("Operaciones")));
    Operaciones->setHeaderLabels({Translate(QStringLiteral("Fecha")), Translate(QStringLiteral("Operacion"))});
    Comparar->setText(Translate(QStringLiteral("Comparar")));
    CompararEditor->setText(Translate(QStringLiteral("Comparar con los editores")));
    Abrir->setText(Translate(QStringLiteral("Abrir")));
    const ServiceHistory *history = unit_.history();
    Carpeta->setText(history ? Translate(QStringLiteral("Carpeta:")) + u' ' + QDir::toNativeSeparators(history->root())
                             : QString());
}

void HistoryWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    LoadText();
    refresh();
}

void HistoryWindow::refresh()
{
    const QString chosen = Unidades->currentItem() ? Unidades->currentItem()->text() : QString();
    const ServiceHistory *history = unit_.history();
    {
        const QSignalBlocker quiet(Unidades);
        Unidades->clear();
        if (history)
            Unidades->addItems(history->units());
        const QList<QListWidgetItem *> found = Unidades->findItems(chosen, Qt::MatchExactly);
        Unidades->setCurrentRow(found.isEmpty() ? 0 : Unidades->row(found.first()));
    }
    showEntries();
}

void HistoryWindow::showEntries()
{
    const ServiceHistory *history = unit_.history();
    const QListWidgetItem *unit = Unidades->currentItem();
    entries_ = history && unit ? history->entries(unit->text()) : QList<HistoryEntry>();
    Operaciones->clear();
    for (const HistoryEntry &entry : entries_)
        Operaciones->addTopLevelItem(new QTreeWidgetItem(
            {entry.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), kindText(entry.kind)}));
    showButtons();
}

void HistoryWindow::showButtons()
{
    const qsizetype chosen = Operaciones->selectedItems().size();
    Comparar->setEnabled(chosen == 2);
    CompararEditor->setEnabled(chosen == 1);
    Abrir->setEnabled(chosen == 1);
}

// The chosen entries, oldest first.
QList<HistoryEntry> HistoryWindow::chosenEntries() const
{
    QList<HistoryEntry> chosen;
    for (int row = Operaciones->topLevelItemCount() - 1; row >= 0; --row) {
        if (Operaciones->topLevelItem(row)->isSelected())
            chosen.append(entries_.at(row));
    }
    return chosen;
}

QString HistoryWindow::entryCaption(const HistoryEntry &entry) const
{
    return entry.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + u' ' + kindText(entry.kind);
}

bool HistoryWindow::restoreEntry(const HistoryEntry &entry, ConfigStore &scratch)
{
    FileFailure failure;
    if (restoreConfigFile(entry.path, scratch, sections_, &failure) == RestoreResult::Restored)
        return true;
    message_(QMessageBox::Warning,
             Translate(QStringLiteral("No es un archivo de configuracion valido")) + QStringLiteral("\n\n")
                 + fileFailureText(failure),
             QMessageBox::Ok);
    return false;
}

DifferenceWindow *HistoryWindow::compare(const ConfigStore &left, const ConfigStore &right, const QString &leftCaption,
                            const QString &rightCaption)
{
    const QString unit = Unidades->currentItem() ? Unidades->currentItem()->text() : QString();
    DifferenceWindow *window =
        DifferenceWindow::open(compareConfigurations(left, right, sections_),
                               Translate(QStringLiteral("Historial")) + QStringLiteral(" - ") + unit, leftCaption,
                               rightCaption, this);
    window->showFieldCaptions(files_.editors());
    window->showFieldTerms(sections_, left);
    return window;
}

void HistoryWindow::Comparar_Click()
{
    const QList<HistoryEntry> chosen = chosenEntries();
    if (chosen.size() != 2)
        return;
    auto older = std::make_unique<ConfigStore>();
    auto newer = std::make_unique<ConfigStore>();
    if (restoreEntry(chosen.at(0), *older) && restoreEntry(chosen.at(1), *newer))
        compare(*older, *newer, entryCaption(chosen.at(0)), entryCaption(chosen.at(1)));
}

void HistoryWindow::CompararEditor_Click()
{
    const QList<HistoryEntry> chosen = chosenEntries();
    if (chosen.size() != 1)
        return;
    auto entry = std::make_shared<ConfigStore>();
    // The editors' side is what they show, typed values included.
    files_.storeEditors();
    if (!restoreEntry(chosen.at(0), *entry))
        return;
    DifferenceWindow *window = compare(*entry, store_, entryCaption(chosen.at(0)), Translate(QStringLiteral("Editores")));
    // The ticked values of the copy can be taken into the editors.
    IniDocument copy;
    sections_.saveAll(*entry, copy);
    window->offerTake(DifferenceWindow::editorsTake(files_.editors(), store_, sections_, std::move(copy)));
    // After a take the editors hold other values: the table compares again.
    window->afterTake = [this, window, entry] {
        window->refill(compareConfigurations(*entry, store_, sections_));
        window->showFieldCaptions(files_.editors());
        window->showFieldTerms(sections_, *entry);
    };
}

void HistoryWindow::Abrir_Click()
{
    const QList<HistoryEntry> chosen = chosenEntries();
    if (chosen.size() == 1)
        files_.openFile(chosen.at(0).path);
}
