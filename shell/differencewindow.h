#pragma once

#include <QDialog>
#include <QList>
#include <functional>

#include "files/configcompare.h"
#include "files/configmerge.h"
#include "files/inidocument.h"
#include "files/sectioncore.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTableWidget;
class EditorRegistry;
class SectionRegistry;

// The differences between two configurations as a table of record, field,
// the two values and the file's own section and key, in the order of the
// navigation tree, with a filter over
// every column and the count of the rows it leaves shown; beside it, the
// sections with their counts. When a take is offered, the ticked rows (a
// section's tick ticks its rows) are taken from the other side by "Tomar
// seleccionados"; nothing goes to the unit.
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

    // What "Tomar seleccionados" does with the ticked rows; the button shows
    // once a take is offered.
    using Take = std::function<TakeReport(const QList<TakeChoice> &)>;
    void offerTake(Take take);
    // A take into the configuration of the editors from `from` (the other
    // side as the sections write it): the editors store their boxes first
    // and show the model after.
    static Take editorsTake(const EditorRegistry &editors, ConfigStore &store, const SectionRegistry &sections,
                            IniDocument from);
    // Names the keys by the fields of the editors: a key whose section's
    // editor has a box of that name reads "KEY: caption", the caption being
    // the box's (translated) tip.
    void showFieldCaptions(const EditorRegistry &editors);
    // Names records and fields as the sections' editors do and shows the
    // values in the editors' units (SectionCore::fieldTerm); `left` is the
    // configuration of the left side, the right side being it with the
    // differences applied. The file's text stays in each value's tooltip.
    void showFieldTerms(const SectionRegistry &sections, const ConfigStore &left);
    // The ticked rows as choices of file section and key.
    QList<TakeChoice> tickedChoices() const;
    void Tomar_Click();

    // The table again, with other differences (the configurations compared
    // changed); field captions and terms are to be shown again after it.
    void refill(const QList<ConfigDifference> &differences);
    // Runs after a take that changed a side: it compares again (refill).
    std::function<void()> afterTake;

    // Where the outcome of a take is told (a message box unless replaced).
    std::function<void(const QString &message)> inform;

    QLabel *Titulo;
    QLineEdit *Filtro;
    QListWidget *Secciones;
    QTableWidget *Tabla;
    QLabel *Cuenta;
    QPushButton *Tomar;
    QPushButton *Cerrar;

signals:
    // Values were taken into the configuration: it differs from what was saved.
    void configurationChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fill(const QList<ConfigDifference> &differences);
    void fitColumns();
    void listSections();
    void tickSection(QListWidgetItem *section);
    void applyFilter();

    // The difference each table row shows.
    QList<ConfigDifference> rows_;
    Take take_;
};
