#pragma once

#include <QDialog>
#include <QList>

#include "files/configcompare.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// The differences between two configurations as a table of section, key and
// the two values, in the order of the navigation tree, with a filter over
// every column and the count of the rows it leaves shown.
class DifferenceWindow : public QDialog {
    Q_OBJECT
public:
    // title: already translated; it names what is compared.
    DifferenceWindow(const QList<ConfigDifference> &differences, const QString &title,
                     QWidget *parent = nullptr);

    // A window of its own, closed by the operator, that deletes itself.
    static DifferenceWindow *open(const QList<ConfigDifference> &differences, const QString &title,
                                  const QString &leftCaption, const QString &rightCaption,
                                  QWidget *parent);

    // Headings of the two value columns, already translated ("A" and "B" until set).
    void setSideCaptions(const QString &left, const QString &right);

    // The differences by the first tree node that opens their section's
    // window; sections no node opens go last. Each section keeps its own order.
    static QList<ConfigDifference> inTreeOrder(QList<ConfigDifference> differences);

    int shownRows() const;

    QLabel *Titulo;
    QLineEdit *Filtro;
    QTableWidget *Tabla;
    QLabel *Cuenta;
    QPushButton *Cerrar;

private:
    void fill(const QList<ConfigDifference> &differences);
    void applyFilter();
};
