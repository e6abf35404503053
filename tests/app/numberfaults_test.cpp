// Number and time boxes that refuse their text stop the save, the upload and leaving
// the window, across the program's editors, and name the field.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "programfixture.h"
#include "sections/general/connectionpanel.h"
#include "sections/general/generalwindow.h"

namespace {

class NumberFaults : public ::testing::Test {
protected:
    NumberFaults()
    {
        main.setMessage([this](QMessageBox::Icon, const QString &text, QMessageBox::StandardButtons) {
            told << text;
            return QMessageBox::Ok;
        });
        files.askSavePath = [this](const QString &, const QString &) {
            ++saveDialogs;
            return QString();
        };
        main.hideAll();
        main.show();
    }

    // A text box by name, or the text of a box made of more (a time box).
    QLineEdit *box(const QString &window, const QString &name) const
    {
        if (auto *edit = windows.window(window)->findChild<QLineEdit *>(name))
            return edit;
        auto *outer = windows.window(window)->findChild<QWidget *>(name);
        return outer ? outer->findChild<QLineEdit *>() : nullptr;
    }

    // A disabled meter, alarm or timer greys its boxes: the operator enables it first.
    void enableAll(const QString &window) const
    {
        QWidget *w = windows.window(window);
        if (auto *meter = w->findChild<QRadioButton *>(QStringLiteral("Int_Habil")))
            meter->click();
        for (const char *name : {"AlarmaHabil", "TimerHabil_0"}) {
            if (auto *on = w->findChild<QCheckBox *>(QString::fromLatin1(name)))
                on->setChecked(true);
        }
    }

    ProgramWindows program{true};
    ConfigStore &store = program.store;
    EditorRegistry &windows = program.windows;
    MainWindow &main = program.main;
    FileCommands &files = program.files;
    QStringList told;
    int saveDialogs = 0;
};

TEST_F(NumberFaults, ARefusedBoxIsRedNamedAndStopsSaveUploadAndLeaving)
{
    const struct {
        const char *node;
        const char *window;
        const char *box;
        const char *text;
        const char *field; // in the message, in Spanish
    } cases[] = {
        {"Caudal_0", "Caudal", "Ratio", "0,02", "Un pulso equivale a"},
        {"Caudal_0", "Caudal", "TimeBase", "abc", "Base de tiempo"},
        {"Caudal_0", "Caudal", "Maximo", "1x2,5", "Maximo"},
        {"GPRS", "GPRS", "TextPort", "99999", "Puerto"},
        {"GPRS", "GPRS", "TextAPNRetry", "-1", "Reintentos de conexion"},
        {"General", "General", "RENVN", "1.5", "Numero reenvios"},
        {"LTimer0_3", "LTimer", "Period_0", "x", "Ejecutar cada"},
        {"E_Math_1", "E_Math", "Histeresis", "1e99", "Histeresis"},
        {"WTimer0_3", "WTimer", "HoraInicio", "25:00", "Ejecutar a las"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.box);
        main.Tree_NodeClick(QString::fromLatin1(c.node));
        enableAll(QString::fromLatin1(c.window));
        QLineEdit *edit = box(c.window, c.box);
        ASSERT_NE(edit, nullptr);
        const QString before = edit->text();
        edit->setText(QString::fromLatin1(c.text));
        EXPECT_FALSE(edit->toolTip().isEmpty());
        told.clear();

        EXPECT_FALSE(files.saveCommand());
        EXPECT_EQ(saveDialogs, 0) << "no file dialog while a field is refused";
        ASSERT_EQ(told.size(), 1);
        EXPECT_TRUE(told.first().contains(QString::fromLatin1(c.field))) << told.first().toStdString();

        main.Tree_NodeClick(QStringLiteral("Terminal"));
        EXPECT_TRUE(windows.window(c.window)->isVisible()) << "the operator stays on the field";
        EXPECT_FALSE(windows.window(QStringLiteral("Terminal"))->isVisible());
        EXPECT_EQ(told.size(), 2);

        auto *general = qobject_cast<General *>(windows.editor(QStringLiteral("General")));
        general->connection()->Escribir_Click();
        EXPECT_EQ(told.size(), 3) << "the upload is refused too";
        EXPECT_TRUE(windows.window(c.window)->isVisible());
        EXPECT_EQ(edit->text(), QString::fromLatin1(c.text)) << "what was typed stays";

        edit->setText(before);
        EXPECT_TRUE(windows.numberFaults().isEmpty());
        main.Tree_NodeClick(QStringLiteral("Terminal"));
        EXPECT_TRUE(windows.window(QStringLiteral("Terminal"))->isVisible());
    }
}

} // namespace
