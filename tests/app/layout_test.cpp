// The main window at its smallest and at a large size: every window shows
// its controls whole, apart from each other, without scrolling.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QHeaderView>
#include <QTableWidget>
#include <QTreeWidget>

#include "files/langtable.h"
#include "programfixture.h"
#include "files/configcompare.h"
#include "shell/branchpage.h"
#include "shell/differencewindow.h"
#include "shell/formpage.h"
#include "shell/navigation.h"

namespace {

bool isControl(const QWidget *w)
{
    return qobject_cast<const QLabel *>(w) || qobject_cast<const QAbstractButton *>(w)
        || qobject_cast<const QLineEdit *>(w) || qobject_cast<const QComboBox *>(w)
        || qobject_cast<const QAbstractSpinBox *>(w) || qobject_cast<const QAbstractScrollArea *>(w)
        || qobject_cast<const QProgressBar *>(w) || w->inherits("Led");
}

// Where the operator sees it: the control's name and its parents' up to the window.
QString pathOf(const QWidget *w, const QWidget *window)
{
    QStringList names;
    for (; w && w != window; w = w->parentWidget())
        names.prepend(w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName());
    return window->objectName() + u'/' + names.join(u'/');
}

// The controls shown in a window, each once: the parts of a control (a
// combo box's text, a list's viewport) are the control's.
QList<QWidget *> shownControls(QWidget *window)
{
    QList<QWidget *> controls;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!w->isVisible() || !isControl(w) || w->size().isEmpty())
            continue;
        bool part = false;
        for (QWidget *up = w->parentWidget(); up && up != window && !part; up = up->parentWidget())
            part = isControl(up);
        if (!part)
            controls << w;
    }
    return controls;
}

// The least a layout gives the control, as Qt's layouts reckon it: its
// minimum size hint where its policy lets it shrink, its size hint where
// not, a minimum the form set instead of either, and never more than the
// form lets it have (a thin bar is one by design).
QSize leastSize(const QWidget *c)
{
    const QSizePolicy policy = c->sizePolicy();
    const auto least = [](int set, int hint, int minimumHint, QSizePolicy::Policy p) {
        return set > 0 ? set : (p & QSizePolicy::ShrinkFlag) ? minimumHint : hint;
    };
    const QSize hint = c->sizeHint();
    const QSize minimumHint = c->minimumSizeHint();
    return QSize(least(c->minimumWidth(), hint.width(), minimumHint.width(), policy.horizontalPolicy()),
                 least(c->minimumHeight(), hint.height(), minimumHint.height(), policy.verticalPolicy()))
        .boundedTo(c->maximumSize());
}

QRect rectIn(const QWidget *w, const QWidget *ancestor)
{
    return QRect(w->mapTo(ancestor, QPoint(0, 0)), w->size());
}

// What is wrong with the window shown: controls cut by a frame or smaller
// than they need, controls over each other, a page that must scroll.
QStringList layoutFaults(QWidget *window)
{
    QStringList faults;
    const auto *page = qobject_cast<const FormPage *>(window->parentWidget()->parentWidget());
    if (!page)
        return {window->objectName() + " is not on a page"};
    if (page->horizontalScrollBar()->maximum() > 0 || page->verticalScrollBar()->maximum() > 0)
        faults << window->objectName() + " scrolls";
    const QList<QWidget *> controls = shownControls(window);
    for (const QWidget *c : controls) {
        const QSize needed = leastSize(c);
        if (needed.isValid() && (c->width() < needed.width() || c->height() < needed.height()))
            faults << pathOf(c, window)
                          + QStringLiteral(" is %1x%2, needs %3x%4")
                                .arg(c->width())
                                .arg(c->height())
                                .arg(needed.width())
                                .arg(needed.height());
        for (const QWidget *up = c->parentWidget(); up; up = up->parentWidget()) {
            if (!up->rect().contains(rectIn(c, up))) {
                faults << pathOf(c, window) + " is cut by " + pathOf(up, window);
                break;
            }
            if (up == window)
                break;
        }
    }
    for (qsizetype i = 0; i < controls.size(); ++i) {
        for (qsizetype j = i + 1; j < controls.size(); ++j) {
            if (rectIn(controls[i], window).intersects(rectIn(controls[j], window)))
                faults << pathOf(controls[i], window) + " overlaps " + pathOf(controls[j], window);
        }
    }
    return faults;
}

// A page just shown asks its parents for a new layout, which takes a second pass.
void settle()
{
    for (int pass = 0; pass < 2; ++pass)
        QApplication::processEvents();
}

class MainWindowLayout : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(lang.Init());
        lang.LangSel = GetParam();
        setLang(&lang);
    }
    void TearDown() override { setLang(nullptr); }

    LangTable lang{QStringLiteral("no-such-folder/Lang.txt"), {QStringLiteral(VELKAN_SHIPPED_FOLDER)}};
};

TEST_P(MainWindowLayout, EveryWindowFitsWholeAtTheSmallestAndALargeSize)
{
    ProgramWindows program;
    MainWindow &main = program.main;
    main.show();
    EXPECT_TRUE(main.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    const QSize smallest = main.minimumSize();
    EXPECT_GT(main.maximumSize().width(), smallest.width());
    for (const QSize size : {smallest, QSize(1400, 1000)}) {
        main.resize(size);
        settle();
        ASSERT_EQ(main.size(), size);
        EXPECT_TRUE(main.rect().contains(rectIn(main.tree(), &main)));
        EXPECT_FALSE(rectIn(main.tree(), &main).intersects(rectIn(main.clientArea(), &main)));
        EXPECT_GE(main.tree()->height(), size.height() - main.statusBar()->height() - 20) << "the tree grows";
        QSet<QWidget *> seen;
        for (const NavNode &node : navigationNodes(kProductLimits)) {
            // Every window once, and the page of every branch without one.
            QWidget *window = node.window.isEmpty() ? main.branchPage() : program.windows.window(node.window);
            if (!window || (seen.contains(window) && window != main.branchPage()))
                continue;
            seen.insert(window);
            main.Tree_NodeClick(node.key);
            settle();
            ASSERT_TRUE(window->isVisible()) << qPrintable(node.key);
            EXPECT_EQ(window->size(), main.clientArea()->size()) << qPrintable(node.key) << " fills the client area";
            const QStringList faults = layoutFaults(window);
            EXPECT_TRUE(faults.isEmpty()) << size.width() << "x" << size.height() << ":\n"
                                          << qPrintable(faults.join(u'\n'));
        }
    }
}

// Each window opens under its bold heading, a fifth larger than its text.
TEST_P(MainWindowLayout, EveryWindowHasItsHeading)
{
    ProgramWindows program;
    for (QWidget *window : program.windows.windows()) {
        const auto *heading = window->findChild<QLabel *>(QStringLiteral("Titulo"));
        ASSERT_NE(heading, nullptr) << qPrintable(window->objectName());
        EXPECT_FALSE(heading->text().trimmed().isEmpty()) << qPrintable(window->objectName());
        EXPECT_TRUE(heading->font().bold()) << qPrintable(window->objectName());
        EXPECT_GT(heading->font().pointSizeF(), window->font().pointSizeF()) << qPrintable(window->objectName());
        EXPECT_FALSE(heading->isHidden()) << qPrintable(window->objectName());
    }
}

// The comparison of a history copy with the editors, and the check of a
// verified write, at their smallest: the value columns show their headings
// and a good part of each value; a cell too narrow shows its whole text as a tip.
TEST_P(MainWindowLayout, ComparisonAndCheckColumnsFitAtTheSmallestSize)
{
    ProgramWindows program;
    ConfigStore left;
    program.sections.clearAll(left);
    ConfigStore right = left;
    right.General.UnitName = QStringLiteral("Deposito Norte 2");
    right.General.ResendCount = 7;
    right.Flow[2].Ratio = 360.5f;
    const QString line = QStringLiteral("CT0= 60,1,0,0,00:00:00,23:59:59,1,0,0,0,0,0,0,0,0");
    const struct {
        const char *name;
        QList<ConfigDifference> differences;
        QString leftCaption, rightCaption;
    } windows[] = {
        {"comparison", compareConfigurations(left, right, program.sections),
         QStringLiteral("2026-12-10 10:30 ") + Translate(QStringLiteral("Escritura")), Translate(QStringLiteral("Editores"))},
        {"check",
         {{QStringLiteral("CTimer"), QStringLiteral("CTimer"), QString(), line, QString(line).replace("60,", "90,")}},
         Translate(QStringLiteral("Enviado")), Translate(QStringLiteral("En la unidad"))},
    };
    for (const auto &w : windows) {
        SCOPED_TRACE(w.name);
        ASSERT_FALSE(w.differences.isEmpty());
        DifferenceWindow *window =
            DifferenceWindow::open(w.differences, QStringLiteral("Historial"), w.leftCaption, w.rightCaption, &program.main);
        window->showFieldCaptions(program.windows);
        window->showFieldTerms(program.sections, left);
        window->resize(window->minimumSize().expandedTo(window->minimumSizeHint()));
        settle();
        const QTableWidget *table = window->Tabla;
        const QFontMetrics header = table->horizontalHeader()->fontMetrics();
        const QFontMetrics cells = table->fontMetrics();
        for (int column = 0; column < table->columnCount(); ++column) {
            const QString heading = table->horizontalHeaderItem(column)->text();
            EXPECT_GE(table->columnWidth(column), header.horizontalAdvance(heading) + 8) << qPrintable(heading);
            if (column == 2 || column == 3)
                EXPECT_GE(table->columnWidth(column), cells.horizontalAdvance(QStringLiteral("360.5 Unidad")))
                    << qPrintable(heading);
            for (int row = 0; row < table->rowCount(); ++row) {
                const QTableWidgetItem *cell = table->item(row, column);
                const bool fits = cells.horizontalAdvance(cell->text()) + 8 <= table->columnWidth(column);
                EXPECT_TRUE(fits || !cell->toolTip().isEmpty())
                    << qPrintable(heading) << ": " << qPrintable(cell->text()) << " is cut without a tip";
            }
        }
        window->close();
    }
}

// Spanish, and English, whose captions are longer.
INSTANTIATE_TEST_SUITE_P(Languages, MainWindowLayout, ::testing::Values(1, 2));

} // namespace
