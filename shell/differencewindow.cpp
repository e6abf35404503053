#include "differencewindow.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "editorregistry.h"
#include "files/langtable.h"
#include "files/sectionregistry.h"
#include "model/product.h"
#include "navigation.h"
#include "sections/common/fieldtext.h"

namespace {

enum Column { SectionColumn, KeyColumn, LeftColumn, RightColumn, FileKeyColumn, ColumnCount };

// What a value cell shows: the value, the key count of an item only this
// side holds, or that this side lacks it.
QString sideText(const ConfigDifference &d, ConfigDifference::Side absent, const QString &value)
{
    if (d.side == absent)
        return Translate(QStringLiteral("(ausente)"));
    if (d.side != ConfigDifference::Side::Both && d.key.isEmpty())
        return value + u' ' + Translate(QStringLiteral("claves"));
    return editorValueText(value);
}

// The key as the file holds it: "[CAUDAL 2] MAXIMO( 0)".
QString fileKeyText(const ConfigDifference &d)
{
    return u'[' + d.item + u']' + (d.key.isEmpty() ? QString() : u' ' + d.key);
}

// The caption of the tree's branch that holds a section's channels, or of its
// one node; the section's own name when no node opens it.
QString sectionCaption(const QString &section)
{
    const QList<NavNode> nodes = navigationNodes(kProductLimits);
    for (const NavNode &node : nodes) {
        if (node.window != section)
            continue;
        const auto parent = std::find_if(nodes.begin(), nodes.end(),
                                         [&node](const NavNode &p) { return p.key == node.parent; });
        const bool branch = parent != nodes.end() && !parent->parent.isEmpty();
        const NavNode &shown = node.index >= 0 && branch ? *parent : node;
        return shown.translated ? Translate(shown.caption) : shown.caption;
    }
    return section;
}

// The record by its section's caption and the item's number ("Ciclicos 3"),
// until its section names it.
QString recordCaption(const ConfigDifference &d)
{
    const QString number = recordNumber(d.item);
    return sectionCaption(d.section) + (number.isEmpty() ? QString() : u' ' + number);
}

// The document of the right side: the left one with the differences applied.
IniDocument rightDocument(const IniDocument &left, const QList<ConfigDifference> &differences)
{
    IniDocument right = left;
    for (const ConfigDifference &d : differences) {
        if (!d.key.isEmpty() && d.side != ConfigDifference::Side::LeftOnly)
            right.writeValue(d.item, d.key, d.right);
    }
    return right;
}

// One line per value a take refused: "[GENERAL] RENVN=70000".
QString refusedLines(const QList<RestoreNote> &refused)
{
    QStringList lines;
    for (const RestoreNote &note : refused)
        lines << QStringLiteral("[%1] %2=%3").arg(note.section, note.key.trimmed(), note.text);
    return lines.join(u'\n');
}

} // namespace

DifferenceWindow::DifferenceWindow(const QList<ConfigDifference> &differences, const QString &title,
                                   QWidget *parent)
    : QDialog(parent),
      Titulo(new QLabel(title, this)),
      Filtro(new QLineEdit(this)),
      Secciones(new QListWidget(this)),
      Tabla(new QTableWidget(0, ColumnCount, this)),
      Cuenta(new QLabel(this)),
      Tomar(new QPushButton(Translate(QStringLiteral("Tomar seleccionados")), this)),
      Cerrar(new QPushButton(Translate(QStringLiteral("Cerrar")), this))
{
    setObjectName(QStringLiteral("DifferenceWindow"));
    setWindowTitle(title);
    QFont heading = Titulo->font();
    heading.setBold(true);
    Titulo->setFont(heading);
    Filtro->setObjectName(QStringLiteral("Filtro"));
    Filtro->setPlaceholderText(Translate(QStringLiteral("Filtrar")));
    Filtro->setClearButtonEnabled(true);
    Tabla->setObjectName(QStringLiteral("Tabla"));
    Tabla->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Tabla->setSelectionBehavior(QAbstractItemView::SelectRows);
    // One line a row: a wrapped line would show only its first word ("CT0= ...").
    Tabla->setWordWrap(false);
    Tabla->verticalHeader()->hide();
    Tabla->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    // The two values share what the section and key leave.
    Tabla->horizontalHeader()->setSectionResizeMode(LeftColumn, QHeaderView::Stretch);
    Tabla->horizontalHeader()->setSectionResizeMode(RightColumn, QHeaderView::Stretch);
    Tabla->setHorizontalHeaderLabels({Translate(QStringLiteral("Seccion")), Translate(QStringLiteral("Campo")),
                                      QStringLiteral("A"), QStringLiteral("B"), Translate(QStringLiteral("Clave"))});
    Cuenta->setObjectName(QStringLiteral("Cuenta"));
    Secciones->setObjectName(QStringLiteral("Secciones"));
    Secciones->setMaximumWidth(220);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(Cuenta, 1);
    bottom->addWidget(Tomar);
    bottom->addWidget(Cerrar);
    Tomar->setObjectName(QStringLiteral("Tomar"));
    Tomar->hide();
    inform = [this](const QString &message) {
        QMessageBox::information(this, Product::ProductTitle, message);
    };
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Titulo);
    layout->addWidget(Filtro);
    auto *lists = new QHBoxLayout;
    lists->addWidget(Secciones);
    lists->addWidget(Tabla, 1);
    layout->addLayout(lists, 1);
    layout->addLayout(bottom);
    // Smaller, the values would have no room beside the names and keys.
    setMinimumSize(820, 360);
    resize(940, 480);

    fill(inTreeOrder(differences));
    Tabla->viewport()->installEventFilter(this);
    connect(Filtro, &QLineEdit::textChanged, this, &DifferenceWindow::applyFilter);
    connect(Cerrar, &QPushButton::clicked, this, &QDialog::close);
    connect(Tomar, &QPushButton::clicked, this, &DifferenceWindow::Tomar_Click);
    connect(Secciones, &QListWidget::itemChanged, this, &DifferenceWindow::tickSection);
    applyFilter();
}

DifferenceWindow *DifferenceWindow::open(const QList<ConfigDifference> &differences, const QString &title,
                                         const QString &leftCaption, const QString &rightCaption,
                                         QWidget *parent)
{
    auto *window = new DifferenceWindow(differences, title, parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setSideCaptions(leftCaption, rightCaption);
    window->show();
    return window;
}

void DifferenceWindow::setSideCaptions(const QString &left, const QString &right)
{
    Tabla->setHorizontalHeaderItem(LeftColumn, new QTableWidgetItem(left));
    Tabla->setHorizontalHeaderItem(RightColumn, new QTableWidgetItem(right));
    fitColumns();
}

QList<ConfigDifference> DifferenceWindow::inTreeOrder(QList<ConfigDifference> differences)
{
    QHash<QString, int> rank;
    const QList<NavNode> nodes = navigationNodes(kProductLimits);
    for (int i = 0; i < nodes.size(); ++i) {
        if (!nodes.at(i).window.isEmpty() && !rank.contains(nodes.at(i).window))
            rank.insert(nodes.at(i).window, i);
    }
    const int last = int(nodes.size());
    std::stable_sort(differences.begin(), differences.end(),
                     [&rank, last](const ConfigDifference &a, const ConfigDifference &b) {
                         return rank.value(a.section, last) < rank.value(b.section, last);
                     });
    return differences;
}

void DifferenceWindow::fill(const QList<ConfigDifference> &differences)
{
    using Side = ConfigDifference::Side;
    rows_ = differences;
    Tabla->setRowCount(int(differences.size()));
    for (int row = 0; row < differences.size(); ++row) {
        const ConfigDifference &d = differences.at(row);
        const QString cells[ColumnCount] = {
            recordCaption(d),
            d.key.isEmpty() ? Translate(QStringLiteral("(toda la seccion)")) : d.key,
            sideText(d, Side::RightOnly, d.left),
            sideText(d, Side::LeftOnly, d.right),
            fileKeyText(d),
        };
        for (int column = 0; column < ColumnCount; ++column)
            Tabla->setItem(row, column, new QTableWidgetItem(cells[column]));
        QTableWidgetItem *tick = Tabla->item(row, SectionColumn);
        tick->setFlags(tick->flags() | Qt::ItemIsUserCheckable);
        tick->setCheckState(Qt::Unchecked);
        tick->setToolTip(d.section);
        // A cell too narrow for its text shows the whole of it as a tip.
        Tabla->item(row, KeyColumn)->setToolTip(cells[KeyColumn]);
        Tabla->item(row, FileKeyColumn)->setToolTip(cells[FileKeyColumn]);
        Tabla->item(row, LeftColumn)->setToolTip(d.key.isEmpty() ? cells[LeftColumn] : d.left);
        Tabla->item(row, RightColumn)->setToolTip(d.key.isEmpty() ? cells[RightColumn] : d.right);
    }
    fitColumns();
    listSections();
}

// The values get what they need first; the names and keys share the rest,
// cut to it in proportion (their whole texts are in the tips).
void DifferenceWindow::fitColumns()
{
    const QHeaderView *header = Tabla->horizontalHeader();
    const auto headingWidth = [this, header](int column) {
        const QTableWidgetItem *item = Tabla->horizontalHeaderItem(column);
        const QString text = item ? item->text() : QString();
        return header->fontMetrics().horizontalAdvance(text)
               + 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header) + 8;
    };
    const int room = Tabla->viewport()->width();
    // The values as wide as they are, up to a third of the table each, and
    // never narrower than their headings.
    const QAbstractItemView *view = Tabla;
    int valueLeast = 0;
    for (const Column column : {LeftColumn, RightColumn})
        valueLeast = qMax(valueLeast, qMin(view->sizeHintForColumn(column), room / 3));
    for (const Column column : {LeftColumn, RightColumn})
        valueLeast = qMax(valueLeast, headingWidth(column));
    const int others = qMax(0, room - 2 * valueLeast);
    int wanted = 0;
    for (const Column column : {SectionColumn, KeyColumn, FileKeyColumn}) {
        Tabla->resizeColumnToContents(column);
        wanted += Tabla->columnWidth(column);
    }
    if (wanted <= others || wanted == 0)
        return;
    for (const Column column : {SectionColumn, KeyColumn, FileKeyColumn}) {
        const int least = headingWidth(column);
        Tabla->setColumnWidth(column, qMax(least, int(qint64(Tabla->columnWidth(column)) * others / wanted)));
    }
}

// The table's room changes with the window and with its scroll bar.
bool DifferenceWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Tabla->viewport() && event->type() == QEvent::Resize)
        fitColumns();
    return QDialog::eventFilter(watched, event);
}

void DifferenceWindow::showFieldTerms(const SectionRegistry &sections, const ConfigStore &left)
{
    using Side = ConfigDifference::Side;
    IniDocument leftDoc;
    sections.saveAll(left, leftDoc);
    const IniDocument rightDoc = rightDocument(leftDoc, rows_);
    for (int row = 0; row < rows_.size(); ++row) {
        const ConfigDifference &d = rows_.at(row);
        // A row of upload lines (a verified write's check) names no file key,
        // even where its section's name is a file section's: its values stay
        // the lines as sent and as held.
        if (!d.key.isEmpty() && d.side != Side::RightOnly && !leftDoc.hasKey(d.item, d.key))
            continue;
        const SectionCore *core = sections.find(d.section);
        const auto termIn = [&](const IniDocument &side, Side absent) -> std::optional<FieldTerm> {
            if (!core || d.side == absent)
                return std::nullopt;
            return core->fieldTerm(side, d.item, d.key);
        };
        const std::optional<FieldTerm> leftTerm = termIn(leftDoc, Side::RightOnly);
        const std::optional<FieldTerm> rightTerm = termIn(rightDoc, Side::LeftOnly);
        const std::optional<FieldTerm> &named = leftTerm ? leftTerm : rightTerm;
        if (!named)
            continue;
        if (!named->record.isEmpty())
            Tabla->item(row, SectionColumn)->setText(named->record);
        if (d.key.isEmpty())
            continue;
        Tabla->item(row, KeyColumn)->setText(named->field);
        Tabla->item(row, KeyColumn)->setToolTip(named->field);
        if (leftTerm)
            Tabla->item(row, LeftColumn)->setText(leftTerm->value);
        if (rightTerm)
            Tabla->item(row, RightColumn)->setText(rightTerm->value);
    }
    fitColumns();
}

// One entry per section, in the rows' order, with its count of differences.
void DifferenceWindow::refill(const QList<ConfigDifference> &differences)
{
    Secciones->clear();
    fill(inTreeOrder(differences));
    applyFilter();
}

void DifferenceWindow::listSections()
{
    for (qsizetype first = 0; first < rows_.size();) {
        const QString section = rows_.at(first).section;
        qsizetype end = first;
        while (end < rows_.size() && rows_.at(end).section == section)
            ++end;
        auto *entry = new QListWidgetItem(sectionCaption(section) + QStringLiteral(" (%1)").arg(end - first),
                                          Secciones);
        entry->setData(Qt::UserRole, section);
        entry->setToolTip(section);
        entry->setFlags(entry->flags() | Qt::ItemIsUserCheckable);
        entry->setCheckState(Qt::Unchecked);
        first = end;
    }
}

// A section's tick ticks or clears its rows.
void DifferenceWindow::tickSection(QListWidgetItem *section)
{
    const QString name = section->data(Qt::UserRole).toString();
    for (int row = 0; row < rows_.size(); ++row) {
        if (rows_.at(row).section == name)
            Tabla->item(row, SectionColumn)->setCheckState(section->checkState());
    }
}

void DifferenceWindow::applyFilter()
{
    const QString filter = Filtro->text().trimmed();
    for (int row = 0; row < Tabla->rowCount(); ++row) {
        bool match = filter.isEmpty();
        for (int column = 0; column < ColumnCount && !match; ++column)
            match = Tabla->item(row, column)->text().contains(filter, Qt::CaseInsensitive);
        Tabla->setRowHidden(row, !match);
    }
    Cuenta->setText(Tabla->rowCount() == 0
                        ? Translate(QStringLiteral("Las configuraciones son iguales"))
                        : Translate(QStringLiteral("Diferencias:"))
                              + QStringLiteral(" %1 / %2").arg(shownRows()).arg(Tabla->rowCount()));
}

int DifferenceWindow::shownRows() const
{
    int shown = 0;
    for (int row = 0; row < Tabla->rowCount(); ++row)
        shown += Tabla->isRowHidden(row) ? 0 : 1;
    return shown;
}

void DifferenceWindow::offerTake(Take take)
{
    take_ = std::move(take);
    Tomar->setVisible(bool(take_));
}

DifferenceWindow::Take DifferenceWindow::editorsTake(const EditorRegistry &editors, ConfigStore &store,
                                                     const SectionRegistry &sections, IniDocument from)
{
    return [&editors, &store, &sections, from = std::move(from)](const QList<TakeChoice> &choices) {
        editors.storeAll(SectionRegistry::fileOrder());
        const TakeReport report = takeInto(store, from, choices, sections);
        editors.loadAll(SectionRegistry::fileOrder());
        return report;
    };
}

void DifferenceWindow::showFieldCaptions(const EditorRegistry &editors)
{
    for (int row = 0; row < rows_.size(); ++row) {
        const ConfigDifference &d = rows_.at(row);
        const SectionEditor *editor = editors.editor(d.section);
        const QWidget *field = editor && !d.key.isEmpty() ? editor->findChild<QWidget *>(d.key.trimmed()) : nullptr;
        if (field && !field->toolTip().isEmpty()) {
            Tabla->item(row, KeyColumn)->setText(d.key + QStringLiteral(": ") + field->toolTip());
            Tabla->item(row, KeyColumn)->setToolTip(Tabla->item(row, KeyColumn)->text());
        }
    }
    fitColumns();
}

QList<TakeChoice> DifferenceWindow::tickedChoices() const
{
    QList<TakeChoice> choices;
    for (int row = 0; row < Tabla->rowCount(); ++row) {
        if (Tabla->item(row, SectionColumn)->checkState() == Qt::Checked)
            choices.append({rows_.at(row).item, rows_.at(row).key});
    }
    return choices;
}

void DifferenceWindow::Tomar_Click()
{
    const QList<TakeChoice> choices = tickedChoices();
    if (!take_ || choices.isEmpty())
        return;
    const TakeReport report = take_(choices);
    QString message = Translate(QStringLiteral("Valores tomados:")) + QStringLiteral(" %1").arg(report.taken);
    if (!report.refused.isEmpty())
        message += QStringLiteral("\n\n")
                   + Translate(QStringLiteral("No se tomaron estos valores: no tienen numero o estan fuera de rango"))
                   + QStringLiteral(":\n") + refusedLines(report.refused);
    if (report.taken > 0) {
        emit configurationChanged();
        // What was taken is no longer a difference.
        if (afterTake)
            afterTake();
    }
    inform(message);
}
