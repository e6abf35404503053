#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QtTest/QTest>
#include <QTimer>

#include "langfixture.h"
#include "sections/actions/actedit.h"
#include "sections/actions/actionhandover.h"
#include "model/texthelpers.h"
#include "widgets/flagcombo.h"
#include "widgets/numberbox.h"
#include "widgets/scheduleframe.h"
#include "widgets/timebox.h"

namespace {

// ---- ActEdit ----

class ActEditTest : public ::testing::Test {
protected:
    std::unique_ptr<ActEdit> open()
    {
        return std::make_unique<ActEdit>(
            buffer, [this](QMessageBox::Icon, const QString &text, QMessageBox::StandardButtons) {
                messages << text;
                return QMessageBox::Ok;
            });
    }
    static void select(QListWidget *list, int row)
    {
        list->setCurrentRow(row);
    }
    static QList<qint16> codes(const ActionBuffer &buffer)
    {
        return {buffer.Codes.begin(), buffer.Codes.end()};
    }

    ActionBuffer buffer;
    QStringList messages;
};

TEST_F(ActEditTest, ListsTheCatalogueWithTranslatedTextsBeforeTheSuffix)
{
    EnglishTable english({QStringLiteral("{Ejecutar macro}{Run macro}")});
    const auto dialog = open();
    ASSERT_EQ(dialog->RefList->count(), 74);
    const std::pair<int, const char *> rows[] = {
        {0, "1 - Run macro 0"},
        {38, "39 - Run macro 38"},
        {41, "48 - Enviar SMS tipo Kairn"},
        {73, "109 - Registrar entrada digital 7"},
    };
    for (const auto &[row, text] : rows)
        EXPECT_EQ(dialog->RefList->item(row)->text(), QString::fromUtf8(text)) << row;
    EXPECT_EQ(dialog->DeviceList->count(), 0);
}

TEST_F(ActEditTest, OpensCompactedAndAcceptsFromTheRowsCodes)
{
    buffer.Codes = {0, 5, 0, 17, 44, 0, 0, 0, 33};
    EnglishTable english({QStringLiteral("{Ejecutar macro}{Run macro}")});
    const auto dialog = open();
    ASSERT_EQ(dialog->DeviceList->count(), 2);
    EXPECT_EQ(dialog->DeviceList->item(0)->text(), "5 - Run macro 4");
    dialog->OKButton->click();
    // 44 is no catalogue code: not shown, so dropped; slot 8 is not the list's.
    EXPECT_EQ(codes(buffer), (QList<qint16>{5, 17, 0, 0, 0, 0, 0, 0, 33}));
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

TEST_F(ActEditTest, AddsOnlyTheSelectedRowDuplicatesIncludedAndRefusesTheNinth)
{
    buffer.Codes = {1, 2, 3, 4, 5, 6, 7, 0, 0};
    const auto dialog = open();
    dialog->AddButton->click();
    EXPECT_EQ(dialog->DeviceList->count(), 7) << "nothing selected, nothing added";

    select(dialog->RefList, 1);
    dialog->AddButton->click();
    EXPECT_EQ(dialog->DeviceList->count(), 8) << "a code already listed is added again";
    EXPECT_TRUE(messages.isEmpty());

    select(dialog->RefList, 40);
    dialog->AddButton->click();
    EXPECT_EQ(dialog->DeviceList->count(), 8);
    EXPECT_EQ(messages, QStringList{"No se pueden añadir mas de 8 acciones"});

    dialog->OKButton->click();
    EXPECT_EQ(codes(buffer), (QList<qint16>{1, 2, 3, 4, 5, 6, 7, 2, 0}));
}

TEST_F(ActEditTest, DeletesTheSelectedRowAndAcceptZeroesTheSlotsPastTheRows)
{
    buffer.Codes = {42, 43, 48, 50, 0, 0, 0, 0, 0};
    const auto dialog = open();
    dialog->DelButton->click();
    EXPECT_EQ(dialog->DeviceList->count(), 4) << "nothing selected, nothing deleted";
    select(dialog->DeviceList, 1);
    dialog->DelButton->click();
    select(dialog->DeviceList, 2);
    dialog->DelButton->click();
    dialog->OKButton->click();
    EXPECT_EQ(codes(buffer), (QList<qint16>{42, 48, 0, 0, 0, 0, 0, 0, 0}));
}

// The program's editor, played through its modal window.
void answerActEdit(const std::function<void(ActEdit *)> &play)
{
    QTimer::singleShot(0, [play] {
        auto *dialog = qobject_cast<ActEdit *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        play(dialog);
    });
}

TEST_F(ActEditTest, TheHandOverCopiesBackOnAcceptAndKeepsTheListOnCancel)
{
    ActionList list{5, 0, 12, 0, 0, 0, 0, 0};
    buffer.Codes[8] = 7;

    answerActEdit([](ActEdit *dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Editar acciones");
        EXPECT_TRUE(dialog->isModal());
        EXPECT_FALSE(dialog->windowIcon().isNull());
        dialog->RefList->setCurrentRow(0);
        dialog->AddButton->click();
        dialog->CancelButton->click();
    });
    editActions(list, buffer, productActionEditor);
    EXPECT_EQ(list, (ActionList{5, 0, 12, 0, 0, 0, 0, 0}));

    answerActEdit([](ActEdit *dialog) {
        EXPECT_EQ(dialog->DeviceList->count(), 2) << "built afresh from the buffer";
        dialog->RefList->setCurrentRow(0);
        dialog->AddButton->click();
        dialog->OKButton->click();
    });
    editActions(list, buffer, productActionEditor);
    EXPECT_EQ(list, (ActionList{5, 12, 1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(buffer.Codes[8], 7);
}

// ---- FlagCombo ----

TEST(FlagComboTest, ShowsAndStoresTheFlagAndKeepsAValueNoItemShows)
{
    FlagCombo combo;
    ASSERT_EQ(combo.count(), 17);
    EXPECT_EQ(combo.itemText(0), "TRUE");
    EXPECT_EQ(combo.itemText(16), "F15");
    EXPECT_EQ(combo.itemData(16).toInt(), 16);

    combo.showFlag(16);
    EXPECT_EQ(combo.currentText(), "F15");
    qint16 field = 3;
    combo.setCurrentIndex(0);
    combo.storeTo(field);
    EXPECT_EQ(field, 0);

    for (const qint16 outside : {qint16(99), qint16(17), qint16(-1)}) {
        field = outside;
        combo.showFlag(field);
        EXPECT_EQ(combo.currentIndex(), -1) << outside;
        combo.storeTo(field);
        EXPECT_EQ(field, outside);
    }
}

// ---- ScheduleFrame ----

TEST(ScheduleFrameTest, ShowsAndStoresTheWindow)
{
    ScheduleFrame frame;
    frame.LoadText();
    EXPECT_EQ(frame.Days[6]->text(), "Dom");

    const ScheduleWindow shown{false, QTime(8, 5, 0), QTime(23, 59, 59), 0b1010101};
    frame.showWindow(shown);
    EXPECT_EQ(frame.HoraInicio->text(), "8:05:00");
    ScheduleWindow stored;
    frame.storeTo(stored);
    EXPECT_EQ(stored.Always, shown.Always);
    EXPECT_EQ(stored.Start, shown.Start);
    EXPECT_EQ(stored.Stop, shown.Stop);
    EXPECT_EQ(stored.Weekdays, shown.Weekdays);

    frame.Days[1]->click();
    frame.HorarioHabil->click();
    frame.storeTo(stored);
    EXPECT_TRUE(stored.Always);
    EXPECT_EQ(stored.Weekdays, 0b1010111);

    // A frame without "Siempre" and "Final:" leaves those fields alone.
    ScheduleFrame weekly({false, false}, nullptr);
    weekly.showWindow({false, QTime(6, 0), QTime(0, 0), 3});
    ScheduleWindow timer{true, QTime(1, 0), QTime(2, 0), 0};
    weekly.storeTo(timer);
    EXPECT_TRUE(timer.Always);
    EXPECT_EQ(timer.Stop, QTime(2, 0));
    EXPECT_EQ(timer.Start, QTime(6, 0));
    EXPECT_EQ(timer.Weekdays, 3);
}

TEST(ScheduleFrameTest, EnablingFollowsTheOwnerAndSiempreWhateverChangesThem)
{
    ScheduleFrame frame;
    const auto windowEnabled = [&] {
        return frame.HoraInicio->isEnabled() && frame.HoraFinal->isEnabled()
               && frame.Days[0]->isEnabled() && frame.Days[6]->isEnabled();
    };
    frame.showWindow({true, {}, {}, 127});
    EXPECT_FALSE(windowEnabled());
    EXPECT_TRUE(frame.HorarioHabil->isEnabled());

    frame.showWindow({false, {}, {}, 127}); // another record shown, no click
    EXPECT_TRUE(windowEnabled());

    frame.setActive(false);
    EXPECT_FALSE(windowEnabled());
    EXPECT_FALSE(frame.HorarioHabil->isEnabled());
    EXPECT_FALSE(frame.LabelInicio->isEnabled());
    frame.HorarioHabil->setChecked(true);
    frame.HorarioHabil->setChecked(false);
    EXPECT_FALSE(windowEnabled()) << "Siempre cleared while the owner is off";

    frame.setActive(true);
    EXPECT_TRUE(windowEnabled());
    frame.HorarioHabil->click();
    EXPECT_FALSE(windowEnabled());
    EXPECT_TRUE(frame.LabelFinal->isEnabled());
}

TEST(ScheduleFrameTest, ATypedTimeIsTakenAndOneThatIsNoTimeIsRedStoredNowhereAndNamed)
{
    const struct {
        const char *typed;
        std::optional<QTime> time; // none: refused
    } cases[] = {
        {"18:30:00", QTime(18, 30)},
        {"18:30", QTime(18, 30)},
        {"7:05:09", QTime(7, 5, 9)},
        {"25:00", std::nullopt},
        {"18:60", std::nullopt},
        {"abc", std::nullopt},
        {"8:5", std::nullopt},
        {"", std::nullopt}, // the shown time wiped out
    };
    ScheduleFrame frame;
    frame.show();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        const ScheduleWindow before{false, QTime(8, 5), QTime(9, 0), 127};
        frame.showWindow(before);
        frame.HoraInicio->selectAll();
        QTest::keyClicks(frame.HoraInicio, QString::fromLatin1(c.typed));
        if (!*c.typed)
            QTest::keyClick(frame.HoraInicio, Qt::Key_Backspace);
        QTest::keyClick(frame.HoraInicio, Qt::Key_Return);
        EXPECT_EQ(frame.HoraInicio->time(), c.time);
        if (c.time)
            EXPECT_EQ(frame.HoraInicio->text(), TimeText(*c.time)) << "shown in full once typed";
        else
            EXPECT_EQ(frame.HoraInicio->text(), QString::fromLatin1(c.typed)) << "what was typed stays";

        ScheduleWindow stored = before;
        frame.storeTo(stored);
        EXPECT_EQ(stored.Start, c.time.value_or(before.Start)) << "a refused text stores nothing";

        auto *text = frame.HoraInicio->findChild<QLineEdit *>();
        const QList<BoxFault> faults = numberBoxFaults(&frame);
        EXPECT_EQ(text->palette().color(QPalette::Base) == QColor(255, 0, 0), !c.time);
        EXPECT_EQ(text->toolTip().isEmpty(), bool(c.time));
        ASSERT_EQ(faults.size(), c.time ? 0 : 1);
        if (!c.time)
            EXPECT_EQ(faults.first().field, "Inicio");
    }
    // Greyed by "Siempre", the box cannot be mended and holds nothing stored.
    frame.HorarioHabil->setChecked(true);
    EXPECT_TRUE(numberBoxFaults(&frame).isEmpty());
}

// A time typed anywhere in the box replaces the one shown; the seconds may be left out.
TEST(ScheduleFrameTest, ATimeTypedWhereverTheCursorStandsReplacesTheShownOne)
{
    TimeBox box(QStringLiteral("Inicio:"));
    box.show();
    auto *text = box.findChild<QLineEdit *>();
    const struct {
        int cursor; // -1: the whole text selected
        const char *typed;
        QTime after;
    } cases[] = {
        {0, "18:30", QTime(18, 30)},
        {7, "7:05:09", QTime(7, 5, 9)},
        {3, "23:59", QTime(23, 59)},
        {-1, "6:15", QTime(6, 15)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.typed) + " at " + std::to_string(c.cursor));
        box.setTime(QTime(0, 0));
        if (c.cursor < 0)
            text->selectAll();
        else
            text->setCursorPosition(c.cursor);
        QTest::keyClicks(&box, c.typed);
        emit box.editingFinished();
        EXPECT_EQ(box.time(), c.after);
        EXPECT_EQ(text->text(), TimeText(c.after));
    }
    // Once begun, typing mends the text as any box does.
    box.setTime(QTime(8, 5));
    text->setCursorPosition(0);
    QTest::keyClicks(&box, "9:4");
    QTest::keyClick(&box, Qt::Key_Backspace);
    QTest::keyClicks(&box, "50");
    EXPECT_EQ(box.time(), QTime(9, 50));

    // A Backspace that deletes nothing, or a pasted time, still starts a new time.
    box.setTime(QTime(0, 0));
    text->setCursorPosition(0);
    QTest::keyClick(&box, Qt::Key_Backspace);
    QTest::keyClicks(&box, "18:30");
    emit box.editingFinished();
    EXPECT_EQ(box.time(), QTime(18, 30));
    box.setTime(QTime(0, 0));
    text->setCursorPosition(3);
    QGuiApplication::clipboard()->setText(QStringLiteral("18:30:15"));
    QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box.time(), QTime(18, 30, 15));

    // Coming back to mend a time half typed goes on with it.
    box.setTime(QTime(0, 0));
    text->selectAll();
    QTest::keyClicks(&box, "18:3");
    QFocusEvent in(QEvent::FocusIn, Qt::MouseFocusReason);
    QCoreApplication::sendEvent(&box, &in);
    text->setCursorPosition(4);
    QTest::keyClicks(&box, "0");
    EXPECT_EQ(box.time(), QTime(18, 30));
}

TEST(ScheduleFrameTest, TheArrowsStepThePartUnderTheCursorWithinTheDay)
{
    TimeBox box(QStringLiteral("Inicio:"));
    box.show();
    auto *text = box.findChild<QLineEdit *>();
    const struct {
        QTime shown;
        int cursor; // in "H:MM:SS" or "HH:MM:SS"
        Qt::Key key;
        QTime after;
    } cases[] = {
        {QTime(8, 5), 0, Qt::Key_Up, QTime(9, 5)},
        {QTime(8, 5), 3, Qt::Key_Up, QTime(8, 6)},
        {QTime(8, 5), 6, Qt::Key_Down, QTime(8, 4, 59)},
        {QTime(0, 0), 6, Qt::Key_Down, QTime(0, 0)},
        {QTime(23, 30), 0, Qt::Key_Up, QTime(23, 59, 59)},
        {QTime(23, 59, 58), 7, Qt::Key_PageUp, QTime(23, 59, 59)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.shown.toString().toStdString() + " at " + std::to_string(c.cursor));
        box.setTime(c.shown);
        text->setCursorPosition(c.cursor);
        QTest::keyClick(&box, c.key);
        EXPECT_EQ(box.time(), c.after);
    }
    box.setTime(QTime(8, 5));
    text->setCursorPosition(3);
    QTest::keyClick(&box, Qt::Key_Up);
    QTest::keyClick(&box, Qt::Key_Up);
    EXPECT_EQ(box.time(), QTime(8, 7)) << "the stepped part stays chosen";
}

} // namespace
