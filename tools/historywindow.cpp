#include "historywindow.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <memory>

#include "files/configcompare.h"
#include "files/configfile.h"
#include "history/historyrepo.h"
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
      LabelTecnico(named(new QLabel(this), "LabelTecnico")),
      Tecnico(named(new QLineEdit(this), "Tecnico")),
      LabelRemoto(named(new QLabel(this), "LabelRemoto")),
      Remoto(named(new QLineEdit(this), "Remoto")),
      FijarRemoto(named(new QPushButton(this), "FijarRemoto")),
      Sincronizar(named(new QPushButton(this), "Sincronizar")),
      SinCompartir(named(new QLabel(this), "SinCompartir")),
      unit_(unit),
      store_(store),
      sections_(sections),
      files_(files),
      message_(std::move(message))
{
    setObjectName(QStringLiteral("Historial"));
    makeHeading(Titulo);
    Operaciones->setColumnCount(3);
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
    auto *sharing = new QGridLayout;
    sharing->addWidget(LabelTecnico, 0, 0);
    sharing->addWidget(Tecnico, 0, 1, 1, 3);
    sharing->addWidget(LabelRemoto, 1, 0);
    sharing->addWidget(Remoto, 1, 1);
    sharing->addWidget(FijarRemoto, 1, 2);
    sharing->addWidget(Sincronizar, 1, 3);
    sharing->addWidget(SinCompartir, 2, 1, 1, 3);
    sharing->setColumnStretch(1, 1);
    layout->addLayout(sharing);

    connect(Unidades, &QListWidget::currentTextChanged, this, &HistoryWindow::showEntries);
    connect(Operaciones, &QTreeWidget::itemSelectionChanged, this, &HistoryWindow::showButtons);
    connect(Comparar, &QPushButton::clicked, this, &HistoryWindow::Comparar_Click);
    connect(CompararEditor, &QPushButton::clicked, this, &HistoryWindow::CompararEditor_Click);
    connect(Abrir, &QPushButton::clicked, this, &HistoryWindow::Abrir_Click);
    connect(FijarRemoto, &QPushButton::clicked, this, &HistoryWindow::FijarRemoto_Click);
    connect(Sincronizar, &QPushButton::clicked, this, &HistoryWindow::Sincronizar_Click);
    connect(Tecnico, &QLineEdit::editingFinished, this, [this] {
        // What a commit cannot carry is refused here, not at the next copy.
        Technician typed;
        QString why;
        if (!Technician::parse(Tecnico->text(), typed, &why)) {
            message_(QMessageBox::Warning,
                     Translate(QStringLiteral("Escriba el tecnico como \"Nombre <correo>\" o solo el nombre, "
                                              "sin tabuladores ni saltos de linea")),
                     QMessageBox::Ok);
            return;
        }
        if (saveTechnician)
            saveTechnician(Tecnico->text().trimmed());
        useTechnician();
    });
    if (ServiceHistory *history = unit_.history()) {
        // Told once for a run of failing commits; the copy itself is kept.
        history->repositoryProblem = [this](const QString &problem) {
            message_(QMessageBox::Warning,
                     Translate(QStringLiteral("La copia se guardo, pero no en el repositorio del historial"))
                         + QStringLiteral("\n\n") + problem,
                     QMessageBox::Ok);
        };
    }
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
    Comparar->setText(Translate(QStringLiteral("Comparar")));
    CompararEditor->setText(Translate(QStringLiteral("Comparar con los editores")));
    Abrir->setText(Translate(QStringLiteral("Abrir")));
    Operaciones->setHeaderLabels({Translate(QStringLiteral("Fecha")), Translate(QStringLiteral("Operacion")),
                                  Translate(QStringLiteral("Tecnico"))});
    LabelTecnico->setText(Translate(QStringLiteral("Tecnico:")));
    LabelRemoto->setText(Translate(QStringLiteral("Repositorio del equipo:")));
    FijarRemoto->setText(Translate(QStringLiteral("Fijar")));
    Sincronizar->setText(Translate(QStringLiteral("Sincronizar")));
    const ServiceHistory *history = unit_.history();
    Carpeta->setText(history ? Translate(QStringLiteral("Carpeta:")) + u' ' + QDir::toNativeSeparators(history->root())
                             : QString());
}

void HistoryWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (Tecnico->text().isEmpty())
        showTechnician();
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
    const QHash<QString, CopyCommit> copies =
        history && !entries_.isEmpty() ? history->repository().copies() : QHash<QString, CopyCommit>();
    for (const HistoryEntry &entry : entries_) {
        const QString technician = copies.value(QDir(history->root()).relativeFilePath(entry.path)).author.name;
        Operaciones->addTopLevelItem(new QTreeWidgetItem(
            {entry.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), kindText(entry.kind),
             technician}));
    }
    showButtons();
    showSharing();
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

void HistoryWindow::showTechnician()
{
    if (loadTechnician)
        Tecnico->setText(loadTechnician());
    useTechnician();
}

// "Name <address>" or a name alone; empty: the system user.
void HistoryWindow::useTechnician()
{
    ServiceHistory *history = unit_.history();
    if (!history)
        return;
    Technician typed;
    if (Technician::parse(Tecnico->text(), typed)) // else the one before stays
        history->technician = typed;
}

void HistoryWindow::showSharing()
{
    const ServiceHistory *history = unit_.history();
    const bool have = history != nullptr;
    Sincronizar->setEnabled(have);
    FijarRemoto->setEnabled(have);
    if (!have)
        return;
    if (Remoto->text().isEmpty())
        Remoto->setText(HistoryRepo::shownUrl(history->repository().remote()));
    const int waiting = history->repository().unshared();
    SinCompartir->setText(waiting < 0 ? Translate(QStringLiteral("Sin repositorio del equipo: las copias quedan en este equipo"))
                                      : Translate(QStringLiteral("Copias sin compartir: %1")).arg(waiting));
}

void HistoryWindow::FijarRemoto_Click()
{
    ServiceHistory *history = unit_.history();
    if (!history)
        return;
    QString error;
    if (!history->repository().setRemote(Remoto->text().trimmed(), &error))
        message_(QMessageBox::Warning, error, QMessageBox::Ok);
    showSharing();
}

void HistoryWindow::Sincronizar_Click()
{
    ServiceHistory *history = unit_.history();
    if (!history)
        return;
    if (history->repository().remote().startsWith(QLatin1String("https:"), Qt::CaseInsensitive) && token_.isEmpty())
        token_ = QInputDialog::getText(this, Translate(QStringLiteral("Sincronizar")),
                                       Translate(QStringLiteral("Clave de acceso del repositorio:")),
                                       QLineEdit::Password);
    useTechnician();
    SyncOptions options;
    options.token = token_;
    const SyncResult result = history->repository().sync(options);
    refresh();
    if (!result.ok) {
        message_(QMessageBox::Warning, Translate(QStringLiteral("No se pudo sincronizar el historial")) + QStringLiteral("\n\n") + result.error,
                 QMessageBox::Ok);
        return;
    }
    SinCompartir->setText(Translate(QStringLiteral("Enviadas %1, recibidas %2")).arg(result.sent).arg(result.received)
                          + QStringLiteral(" - ") + SinCompartir->text());
}
