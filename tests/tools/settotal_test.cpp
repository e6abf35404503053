#include "toolunit.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "tools/settotal.h"

namespace {

const QString kInvalid = QStringLiteral("Escriba un valor numerico valido");

class SetTotalTest : public ToolUnitTest {
protected:
    SetTotalTest() { unit.answers.insert(QStringLiteral("20"), {QStringLiteral("DF,10,11,12,13,14,15,16,17,18")}); }

    UserMessage recorder()
    {
        return [this](QMessageBox::Icon, const QString &text, QMessageBox::StandardButtons) {
            messages << text;
            return QMessageBox::Ok;
        };
    }

    // The dialog for a counter, on screen, once its opening read is over.
    std::unique_ptr<SetTotal> openDialog(int counter)
    {
        auto dialog = std::make_unique<SetTotal>(connection, recorder());
        EXPECT_TRUE(dialog->SetIndex(counter));
        dialog->show();
        QCoreApplication::processEvents();
        return dialog;
    }

    QStringList messages;
};

TEST_F(SetTotalTest, OpeningShowsTheDialogThenReadsTheCountsWithTheButtonsHeld)
{
    connectUnit();
    connection.Device.TotalCounts[3] = 77;
    SetTotal dialog(connection, recorder());
    ASSERT_TRUE(dialog.SetIndex(3));
    EXPECT_EQ(dialog.LabelPreValue->text(), " 77");

    // What the operator sees while the read waits; a close is refused then.
    QStringList duringRead;
    QObject::connect(port, &FakeSerialPort::written, &dialog, [&] {
        duringRead = {dialog.isVisible() ? "shown" : "hidden", dialog.LabelEstado->text(),
                      dialog.OKButton->isEnabled() ? "ok enabled" : "ok disabled",
                      dialog.CancelButton->isEnabled() ? "cancel enabled" : "cancel disabled"};
        dialog.close();
    });
    dialog.show();
    QCoreApplication::processEvents();

    EXPECT_EQ(duringRead, (QStringList{"shown", "Actualizando...", "ok disabled", "cancel disabled"}));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(unit.received, QStringList{"20"});
    EXPECT_EQ(dialog.LabelEstado->text(), "Preparado");
    EXPECT_EQ(dialog.LabelPreValue->text(), " 13");
    EXPECT_TRUE(dialog.OKButton->isEnabled());
    EXPECT_EQ(dialog.windowTitle(), "Introduzca el nuevo valor");
}

TEST_F(SetTotalTest, ASilentUnitOnOpeningGivesErrorAndTheLastCountKnown)
{
    connectUnit();
    connection.Device.TotalCounts[3] = 77;
    silence();
    const auto dialog = openDialog(3);
    EXPECT_EQ(dialog->LabelEstado->text(), "Error!");
    EXPECT_EQ(dialog->LabelPreValue->text(), " 77");
    EXPECT_TRUE(dialog->CancelButton->isEnabled());
}

TEST_F(SetTotalTest, ANewCountIsSentAndTheOutcomeAndTheCountReadBackShown)
{
    struct Case {
        QStringList answer; // to "#41"
        const char *status;
    };
    const Case cases[] = {{{"BE1"}, "Ok"}, {{"BE0"}, "Error!"}, {{}, "Error!"}};
    connectUnit();
    comms.LinkTimeout = 5; // the silent case
    for (const Case &c : cases) {
        SCOPED_TRACE(c.status);
        unit.answers[QStringLiteral("41")] = c.answer;
        const auto dialog = openDialog(3);
        unit.received.clear();
        dialog->TextNew->setText(QStringLiteral("-5"));
        dialog->OKButton->click();
        EXPECT_EQ(unit.received.first(), "41CNT3=-5");
        EXPECT_EQ(unit.received.last(), "20");
        EXPECT_EQ(dialog->LabelEstado->text(), c.status);
        EXPECT_EQ(dialog->LabelPreValue->text(), " 13");
        EXPECT_TRUE(messages.isEmpty());
    }
    // Integer text with an exponent is a whole number.
    const auto dialog = openDialog(2);
    unit.received.clear();
    dialog->TextNew->setText(QStringLiteral("1E3"));
    dialog->OKButton->click();
    EXPECT_EQ(unit.received.value(0), "41CNT2=1000");
}

TEST_F(SetTotalTest, ACountThatIsNoWholeNumberOf32BitsIsRefusedUnsent)
{
    connectUnit();
    const auto dialog = openDialog(3);
    for (const char *text : {"12a", "1E12", "99999999999", "2.5", ""}) {
        SCOPED_TRACE(text);
        messages.clear();
        unit.received.clear();
        dialog->TextNew->setText(QString::fromLatin1(text));
        dialog->OKButton->click();
        EXPECT_EQ(messages, QStringList{kInvalid});
        EXPECT_TRUE(unit.received.isEmpty());
    }
}

TEST_F(SetTotalTest, WithoutAConnectionTheLastCountsShowAndNothingIsWritten)
{
    connection.Device.TotalCounts[0] = 42;
    const auto dialog = openDialog(0);
    EXPECT_EQ(dialog->LabelEstado->text(), "Sin comunicacion");
    EXPECT_EQ(dialog->LabelPreValue->text(), " 42");
    dialog->TextNew->setText(QStringLiteral("5"));
    dialog->OKButton->click();
    EXPECT_EQ(messages, QStringList{"No hay comunicacion con el dispositivo"});
    EXPECT_TRUE(port->writtenBytes().isEmpty());
}

// The one entry point: a counter number in, back when the modal dialog has
// closed; a number outside the counters opens nothing.
TEST_F(SetTotalTest, RunSetTotalRunsTheDialogModallyForOneCounter)
{
    connectUnit();
    unit.answers[QStringLiteral("41")] = {QStringLiteral("BE1")};
    QStringList seen;
    QTimer operatorHand;
    QObject::connect(&operatorHand, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<SetTotal *>(QApplication::activeModalWidget());
        if (!dialog) {
            seen << "no dialog";
            return;
        }
        if (dialog->LabelEstado->text() == "Preparado") {
            seen << dialog->LabelPreValue->text();
            unit.answers[QStringLiteral("20")] = {QStringLiteral("DF,10,11,1500,13,14,15,16,17,18")};
            dialog->TextNew->setText(QStringLiteral("1500"));
            dialog->OKButton->click();
            seen << dialog->LabelEstado->text() << dialog->LabelPreValue->text();
            dialog->CancelButton->click();
        }
    });
    operatorHand.start(1);
    runSetTotal(connection, 2, recorder());
    EXPECT_EQ(seen.mid(seen.size() - 3), (QStringList{" 12", "Ok", " 1500"}));
    EXPECT_EQ(unit.received, (QStringList{"20", "41CNT2=1500", "20"}));
    EXPECT_EQ(connection.Device.TotalCounts[2], 1500);

    unit.received.clear();
    seen.clear();
    for (int counter : {-1, 9}) {
        runSetTotal(connection, counter, recorder());
        SetTotal dialog(connection, recorder());
        EXPECT_FALSE(dialog.SetIndex(counter));
    }
    EXPECT_TRUE(unit.received.isEmpty());
    operatorHand.stop();
}

} // namespace
