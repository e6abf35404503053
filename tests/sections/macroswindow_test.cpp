#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "files/sectionregistry.h"
#include "model/configstore.h"
#include "sections/macros/macroswindow.h"
#include "sections/sectionlist.h"

namespace {

class MacrosWindowTest : public ::testing::Test {
protected:
    MacrosWindowTest()
    {
        registerSections(sections);
        window = std::make_unique<Macros>(
            store, sections, [this](QMessageBox::Icon, const QString &text, QMessageBox::StandardButtons) {
                messages << text;
                return QMessageBox::Ok;
            });
    }

    void add(QPushButton *button, int number, const QString &command, const QString &name = {})
    {
        window->MacroNum->setCurrentIndex(number);
        window->MacroCommand->setText(command);
        window->MacroName->setText(name);
        button->click();
    }
    QStringList poolRows() const
    {
        QStringList rows;
        for (int i = 0; i < window->MacroPool->count(); ++i)
            rows << window->MacroPool->item(i)->text();
        return rows;
    }

    ConfigStore store;
    SectionRegistry sections;
    QStringList messages;
    std::unique_ptr<Macros> window;
};

TEST_F(MacrosWindowTest, AddsRowsStoresThemAndAdvancesTheNumber)
{
    Macros &w = *window;
    EXPECT_EQ(w.MacroNum->count(), 56);
    EXPECT_EQ(w.MacroNum->itemText(55), " 55");
    EXPECT_EQ(w.FreeMem->text(), "Memoria restante 1024");

    add(w.AddBut, 3, "OUT1,ON", "Riego");
    add(w.AddEqBut, 2, "A0*2,1", "nombre");
    add(w.AddBut, 0, ""); // nothing typed: nothing happens
    EXPECT_EQ(poolRows(), (QStringList{"MACRO3={OUT1,ON,NAME=Riego}", "F2={A0*2,1}"}));
    EXPECT_EQ(store.Macros.Rows[0], "MACRO3={OUT1,ON,NAME=Riego}");
    EXPECT_EQ(store.Macros.Rows[1], "F2={A0*2,1}");
    EXPECT_EQ(messages, QStringList{"El campo nombre se descartara"});
    EXPECT_EQ(w.MacroNum->currentIndex(), 0);
    EXPECT_TRUE(w.MacroCommand->text().isEmpty());
    EXPECT_TRUE(w.MacroName->text().isEmpty());
    EXPECT_EQ(w.FreeMem->text(), "Memoria restante 986");

    struct Step {
        QPushButton *button;
        int from, to;
    };
    // A macro takes the number shown while it is free, else the first free one.
    for (const Step &s : {Step{w.AddBut, 38, 39}, Step{w.AddBut, 39, 0}, Step{w.AddBut, 50, 1},
                          Step{w.AddEqBut, 14, 15}, Step{w.AddEqBut, 15, 15}}) {
        add(s.button, s.from, "X");
        EXPECT_EQ(w.MacroNum->currentIndex(), s.to) << s.from;
    }
}

TEST_F(MacrosWindowTest, RefusedRowsLeaveThePoolWithTheirMessage)
{
    Macros &w = *window;
    add(w.AddEqBut, 16, "A0");
    add(w.AddBut, 0, QString(250, QLatin1Char('c')));
    EXPECT_EQ(w.MacroPool->count(), 0);
    EXPECT_EQ(messages, (QStringList{"Debe seleccionar un numero de ecuacion menor a 16",
                                     "La fila no puede superar 254 caracteres"}));
    EXPECT_EQ(w.MacroNum->currentIndex(), 0);
    EXPECT_EQ(w.MacroCommand->text().size(), 250) << "a refused row stays in the boxes";

    w.MacroCommand->clear();
    QTest::keyClicks(w.MacroCommand, "A}B");
    QTest::keyClicks(w.MacroName, "n}");
    EXPECT_EQ(w.MacroCommand->text(), "AB");
    EXPECT_EQ(w.MacroName->text(), "n");

    messages.clear();
    for (int i = 0; i < 41; ++i)
        add(w.AddBut, 0, "LONG COMMAND TEXT " + QString::number(i));
    EXPECT_EQ(messages, QStringList{"Todos los numeros de macro estan en uso"});
    messages.clear();
    for (int i = 0; i < 17; ++i)
        add(w.AddEqBut, i % 16, "LONG EQUATION TEXT " + QString::number(i));
    EXPECT_EQ(w.MacroPool->count(), 56);
    EXPECT_EQ(messages, QStringList{"No se pueden añadir mas de 56 filas"});
    EXPECT_TRUE(w.FreeMem->text().startsWith("Memoria restante-")) << "over budget shows a negative number";
}

TEST_F(MacrosWindowTest, TheNoticeShowsWhileMoreRowsThanTheUnitTakes)
{
    Macros &w = *window;
    for (int i = 0; i < 40; ++i)
        add(w.AddBut, 0, "X");
    EXPECT_TRUE(w.UploadNotice->isHidden());
    add(w.AddEqBut, 0, "X");
    EXPECT_FALSE(w.UploadNotice->isHidden());
    EXPECT_EQ(w.UploadNotice->text(), "Solo se envian al equipo las 40 primeras filas");
    w.MacroPool->setCurrentRow(0);
    w.DelBut->click();
    EXPECT_TRUE(w.UploadNotice->isHidden());
}

TEST_F(MacrosWindowTest, DoubleClickFillsTheBoxesAndDeleteStoresTheRest)
{
    store.Macros.Rows[0] = "MACRO3={OUT1,ON,NAME=Riego}";
    store.Macros.Rows[2] = "F2={A0*2,1}";
    store.Macros.Rows[5] = "MACRO7={T=5}";
    store.Macros.Rows[9] = "sin llaves";
    window->LoadData();
    Macros &w = *window;
    ASSERT_EQ(w.MacroPool->count(), 4);
    w.MacroNum->setCurrentIndex(9);

    const std::tuple<int, const char *, const char *> rows[] = {
        {0, "OUT1,ON", "Riego"}, {1, "A0*2,1", ""}, {2, "T=5", ""}, {3, "sin llaves", ""}};
    for (const auto &[row, command, name] : rows) {
        w.MacroPool->setCurrentRow(row);
        w.MacroPool_DblClick();
        EXPECT_EQ(w.MacroCommand->text(), command) << row;
        EXPECT_EQ(w.MacroName->text(), name) << row;
    }
    EXPECT_EQ(w.MacroNum->currentIndex(), 9);
    EXPECT_EQ(w.MacroPool->count(), 4) << "editing removes nothing";

    w.MacroPool->clearSelection();
    w.DelBut->click();
    EXPECT_EQ(w.MacroPool->count(), 4) << "nothing selected, nothing deleted";
    w.MacroPool->setCurrentRow(1);
    w.DelBut->click();
    EXPECT_EQ(store.Macros.Rows[0], "MACRO3={OUT1,ON,NAME=Riego}");
    EXPECT_EQ(store.Macros.Rows[1], "MACRO7={T=5}");
    EXPECT_EQ(store.Macros.Rows[2], "sin llaves");
    EXPECT_EQ(store.Macros.Rows[5], "");
    EXPECT_EQ(store.Macros.Rows[9], "");

    w.Clear();
    EXPECT_EQ(w.MacroPool->count(), 0);
    EXPECT_EQ(store.Macros.Rows[0], "");
    EXPECT_EQ(w.MacroNum->currentIndex(), 0);
    EXPECT_TRUE(w.MacroCommand->text().isEmpty());
}

// The unit keeps one macro a number: a new macro never repeats one, and rows
// that do (from a file or a download) are kept, shown and refused at upload.
TEST_F(MacrosWindowTest, AMacroNumberIsNeverTakenTwice)
{
    store.Macros.Rows[0] = QStringLiteral("MACRO0={OUT1,ON}");
    store.Macros.Rows[1] = QStringLiteral("MACRO1={OUT2,ON}");
    window->LoadData();
    EXPECT_EQ(window->MacroNum->currentIndex(), 2) << "the page opens on the first free number";

    add(window->AddBut, 0, "OUT3,ON"); // 0 is taken: the first free number
    EXPECT_EQ(poolRows().last(), "MACRO2={OUT3,ON}");
    EXPECT_TRUE(window->uploadFaults().isEmpty());

    store.Macros.Rows[3] = QStringLiteral("MACRO1={OUT4,OFF}");
    window->LoadData();
    EXPECT_EQ(poolRows().size(), 4) << "kept as read";
    EXPECT_FALSE(window->RepeatedNotice->isHidden());
    const QList<BoxFault> faults = window->uploadFaults();
    ASSERT_EQ(faults.size(), 1);
    EXPECT_TRUE(faults.first().reason.endsWith(" 1")) << faults.first().reason.toStdString();
}

} // namespace
