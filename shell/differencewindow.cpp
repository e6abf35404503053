#include "differencewindow.h"

#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "files/langtable.h"
#include "navigation.h"

namespace {

enum Column { SectionColumn, KeyColumn, LeftColumn, RightColumn, ColumnCount };

// What a value cell shows: the value, the key count of an item only this
// side holds, or that this side lacks it.
QString sideText(const ConfigDifference &d, ConfigDifference::Side absent, const QString &value)
{
    if (d.side == absent)
        return Translate(QStringLiteral("(ausente)"));
    if (d.side != ConfigDifference::Side::Both && d.key.isEmpty())
        return value + u' ' + Translate(QStringLiteral("claves"));
    return value;
}

} // namespace

DifferenceWindow::DifferenceWindow(const QList<ConfigDifference> &differences, const QString &title,
                                   QWidget *parent)
    : QDialog(parent),
      Titulo(new QLabel(title, this)),
      Filtro(new QLineEdit(this)),
      Tabla(new QTableWidget(0, ColumnCount, this)),
      Cuenta(new QLabel(this)),
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
    Tabla->verticalHeader()->hide();
    Tabla->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    // The two values share what the section and key leave.
    Tabla->horizontalHeader()->setSectionResizeMode(LeftColumn, QHeaderView::Stretch);
    Tabla->horizontalHeader()->setSectionResizeMode(RightColumn, QHeaderView::Stretch);
    Tabla->setHorizontalHeaderLabels({Translate(QStringLiteral("Seccion")), Translate(QStringLiteral("Clave")),
                                      QStringLiteral("A"), QStringLiteral("B")});
    Cuenta->setObjectName(QStringLiteral("Cuenta"));

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(Cuenta, 1);
    bottom->addWidget(Cerrar);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Titulo);
    layout->addWidget(Filtro);
    layout->addWidget(Tabla, 1);
    layout->addLayout(bottom);
    resize(760, 480);

    fill(inTreeOrder(differences));
    connect(Filtro, &QLineEdit::textChanged, this, &DifferenceWindow::applyFilter);
    connect(Cerrar, &QPushButton::clicked, this, &QDialog::close);
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
    Tabla->setRowCount(int(differences.size()));
    for (int row = 0; row < differences.size(); ++row) {
        const ConfigDifference &d = differences.at(row);
        const QString cells[ColumnCount] = {
            d.item.isEmpty() ? d.section : d.item,
            d.key.isEmpty() ? Translate(QStringLiteral("(toda la seccion)")) : d.key,
            sideText(d, Side::RightOnly, d.left),
            sideText(d, Side::LeftOnly, d.right),
        };
        for (int column = 0; column < ColumnCount; ++column)
            Tabla->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    Tabla->resizeColumnToContents(SectionColumn);
    Tabla->resizeColumnToContents(KeyColumn);
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
