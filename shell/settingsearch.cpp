#include "settingsearch.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "files/langtable.h"

namespace {

enum Column { SectionColumn, RecordColumn, CaptionColumn, ValueColumn, ColumnCount };

// More rows than anyone reads only slow the typing down: a longer text narrows them.
constexpr int kShownRows = 200;

} // namespace

SettingSearch::SettingSearch(const SectionRegistry &sections, const ConfigStore &store, QWidget *listArea,
                             QWidget *parent)
    : QWidget(parent), Buscar(new QLineEdit(this)), Resultados(new QTreeWidget(listArea)), sections_(sections),
      store_(store)
{
    setObjectName(QStringLiteral("SettingSearch"));
    Buscar->setObjectName(QStringLiteral("Buscar"));
    Buscar->setClearButtonEnabled(true);
    Resultados->setObjectName(QStringLiteral("Resultados"));
    Resultados->setColumnCount(ColumnCount);
    Resultados->setRootIsDecorated(false);
    Resultados->setUniformRowHeights(true);
    Resultados->setAllColumnsShowFocus(true);
    Resultados->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    Resultados->setFocusPolicy(Qt::NoFocus);
    Resultados->setFrameShape(QFrame::Box);
    Resultados->hide();
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(Buscar);

    connect(Buscar, &QLineEdit::textChanged, this, &SettingSearch::search);
    connect(Resultados, &QTreeWidget::itemActivated, this, &SettingSearch::chooseCurrent);
    // The edits of a window reach the model when it stops being the one in use.
    Buscar->installEventFilter(this);
    LoadText();
}

void SettingSearch::LoadText()
{
    Buscar->setPlaceholderText(Translate(QStringLiteral("Buscar ajuste (Ctrl+F)")));
    Resultados->setHeaderLabels({Translate(QStringLiteral("Seccion")), Translate(QStringLiteral("Registro")),
                                 Translate(QStringLiteral("Campo")), Translate(QStringLiteral("Valor"))});
    catalogueRead_ = false;
    if (!Buscar->text().isEmpty())
        search(Buscar->text());
}

void SettingSearch::begin()
{
    catalogueRead_ = false;
    Buscar->setFocus(Qt::ShortcutFocusReason);
    Buscar->selectAll();
    if (!Buscar->text().isEmpty())
        search(Buscar->text());
}

bool SettingSearch::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Buscar && event->type() == QEvent::FocusIn) {
        catalogueRead_ = false;
        if (!Buscar->text().trimmed().isEmpty())
            search(Buscar->text());
    }
    // The list goes with the cursor: it would cover the window the operator turns to.
    if (watched == Buscar && event->type() == QEvent::FocusOut)
        Resultados->hide();
    // The arrows move through the matches while the cursor stays in the box.
    if (watched == Buscar && event->type() == QEvent::KeyPress && Resultados->topLevelItemCount() > 0) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Down || key == Qt::Key_Up) {
            const int row = Resultados->indexOfTopLevelItem(Resultados->currentItem()) + (key == Qt::Key_Down ? 1 : -1);
            if (QTreeWidgetItem *item = Resultados->topLevelItem(qBound(0, row, Resultados->topLevelItemCount() - 1)))
                Resultados->setCurrentItem(item);
            return true;
        }
        if (key == Qt::Key_Escape) {
            Buscar->clear();
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            chooseCurrent();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SettingSearch::readCatalogue()
{
    if (catalogueRead_)
        return;
    if (beforeSearch)
        beforeSearch();
    catalogue_ = FieldCatalogue(sections_, store_);
    catalogueRead_ = true;
}

void SettingSearch::search(const QString &text)
{
    const bool shown = !text.trimmed().isEmpty();
    Resultados->setUpdatesEnabled(false);
    Resultados->clear();
    matches_.clear();
    if (shown) {
        readCatalogue();
        matches_ = catalogue_.find(text);
        QList<QTreeWidgetItem *> rows;
        const qsizetype more = matches_.size() - kShownRows;
        matches_ = matches_.mid(0, kShownRows);
        rows.reserve(matches_.size() + 1);
        for (const CatalogueField *field : std::as_const(matches_)) {
            auto *row = new QTreeWidgetItem(
                QStringList{field->sectionCaption, field->record, field->caption, field->shownValue()});
            row->setToolTip(CaptionColumn, field->key.trimmed() + QStringLiteral(" [") + field->item + u']');
            // A record switched off reads greyed, after those in use.
            if (!field->enabled)
                for (int c = 0; c < ColumnCount; ++c)
                    row->setForeground(c, palette().brush(QPalette::Disabled, QPalette::Text));
            rows << row;
        }
        if (more > 0) {
            // The list is cut short: say so, in a row that cannot be chosen.
            auto *note = new QTreeWidgetItem;
            note->setText(CaptionColumn, Translate(QStringLiteral("%1 coincidencias mas: escriba mas para acotar")).arg(more));
            note->setFlags(Qt::ItemIsEnabled);
            rows << note;
        }
        Resultados->addTopLevelItems(rows);
        if (!rows.isEmpty())
            Resultados->setCurrentItem(rows.first());
    }
    Resultados->setUpdatesEnabled(true);
    Resultados->setVisible(shown);
    if (shown)
        placeList();
}

void SettingSearch::placeList()
{
    QWidget *area = Resultados->parentWidget();
    const QPoint corner = Buscar->mapTo(area, QPoint(0, Buscar->height()));
    const int margin = 8;
    const int rows = qMax(Resultados->topLevelItemCount(), 1);
    const int wanted = Resultados->header()->sizeHint().height() + rows * qMax(Resultados->sizeHintForRow(0), 1)
                       + 2 * Resultados->frameWidth() + Resultados->horizontalScrollBar()->sizeHint().height();
    Resultados->setGeometry(corner.x(), corner.y(), area->width() - corner.x() - margin,
                            qMin(wanted, area->height() - corner.y() - margin));
    Resultados->raise();
}

const CatalogueField *SettingSearch::match(int row) const
{
    return matches_.value(row, nullptr);
}

void SettingSearch::chooseCurrent()
{
    const CatalogueField *field = match(Resultados->indexOfTopLevelItem(Resultados->currentItem()));
    if (!field)
        return;
    // The list would cover the window it opens.
    Resultados->hide();
    emit fieldChosen(*field);
}
