#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QComboBox>
#include <QFontMetrics>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QApplication>

#include <QFile>
#include <QTemporaryDir>

#include "files/langtable.h"
#include "shell/accesskeyprompt.h"
#include "shell/langdialog.h"

namespace {

TEST(AccessKeyPrompt, AcceptsNumbersAndRefusesTheRest)
{
    const struct {
        const char *typed;
        bool accepted;
    } cases[] = {{"1234", true}, {" 12 ", true}, {"-1.5", true}, {"1e3", true},
                 {"12a4", false}, {"", false}, {"  ", false}, {"1,5", false}};
    for (const auto &c : cases) {
        AccessKeyPrompt prompt;
        QStringList warnings;
        prompt.warn = [&](const QString &text) { warnings.append(text); };
        prompt.PWText->setText(c.typed);
        prompt.Aceptar->click();
        EXPECT_EQ(prompt.result() == QDialog::Accepted, c.accepted) << c.typed;
        EXPECT_EQ(warnings.size(), c.accepted ? 0 : 1) << c.typed;
        EXPECT_EQ(prompt.key(), c.accepted ? QString(c.typed) : QString()) << c.typed;
        EXPECT_EQ(prompt.PWText->text(), QString(c.typed)) << "the text stays as typed";
    }
}

TEST(AccessKeyPrompt, MasksAtMostFourCharacters)
{
    AccessKeyPrompt prompt;
    EXPECT_EQ(prompt.PWText->echoMode(), QLineEdit::Password);
    EXPECT_EQ(prompt.PWText->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr,
                                                prompt.PWText),
              '*');
    QTest::keyClicks(prompt.PWText, "123456");
    EXPECT_EQ(prompt.PWText->text(), "1234");
    EXPECT_EQ(prompt.windowTitle(), "Clave de acceso");
    // The caption is not cut: the box is wider than it in a bold title font.
    prompt.show();
    QFont bold = prompt.font();
    bold.setBold(true);
    EXPECT_GT(prompt.width(), QFontMetrics(bold).horizontalAdvance(prompt.windowTitle()) + 100);
}

TEST(AccessKeyPrompt, CancelAndCloseGiveAnEmptyKey)
{
    QString key = "x";
    QTimer::singleShot(0, [&] {
        auto *prompt = qobject_cast<AccessKeyPrompt *>(QApplication::activeModalWidget());
        ASSERT_NE(prompt, nullptr);
        prompt->PWText->setText("1234");
        prompt->Cancelar->click();
    });
    key = AccessKeyPrompt::ask();
    EXPECT_EQ(key, "");

    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_EQ(AccessKeyPrompt::ask(), "");

    QTimer::singleShot(0, [] {
        auto *prompt = qobject_cast<AccessKeyPrompt *>(QApplication::activeModalWidget());
        prompt->PWText->setText("0042");
        prompt->Aceptar->click();
    });
    EXPECT_EQ(AccessKeyPrompt::ask(), "0042");
}

// After a refused key the prompt says so, with the tries left; the first
// prompt of a login says nothing of the kind.
TEST(AccessKeyPrompt, TellsARefusedKeyAndTheTriesLeft)
{
    const struct {
        int refusedTriesLeft;
        QString told;
    } cases[] = {{0, {}}, {2, "La unidad no acepto la clave de acceso.\nIntentos restantes: 2"}};
    for (const auto &c : cases) {
        QString told = "not shown";
        QTimer::singleShot(0, [&] {
            auto *prompt = qobject_cast<AccessKeyPrompt *>(QApplication::activeModalWidget());
            ASSERT_NE(prompt, nullptr);
            told = prompt->Refusal->isVisible() ? prompt->Refusal->text() : QString();
            prompt->Cancelar->click();
        });
        AccessKeyPrompt::ask(nullptr, c.refusedTriesLeft);
        EXPECT_EQ(told, c.told) << c.refusedTriesLeft;
    }
}

TEST(LangDialog, OkSelectsByPositionAndEmptyListOffersOnlyCancel)
{
    LangDialog dialog({"Espanol", "English", "Francais"});
    EXPECT_EQ(dialog.windowTitle(), "Select Language");
    EXPECT_EQ(dialog.ComboLang->currentIndex(), 0);
    dialog.ComboLang->setCurrentIndex(2);
    EXPECT_EQ(dialog.selectedLanguage(), 3);

    LangDialog empty({});
    EXPECT_FALSE(empty.CommandOk->isEnabled());
    EXPECT_TRUE(empty.CommandCancel->isEnabled());
}

TEST(LangDialog, AskUserSetsTheLanguageOnOkOnly)
{
    QTemporaryDir dir;
    QFile file(dir.filePath("Lang.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{Espanol}{English}{Francais}\r\n");
    file.close();
    LangTable lang(dir.filePath("Lang.txt"));
    ASSERT_TRUE(lang.Init());
    lang.LangSel = 1;

    QTimer::singleShot(0, [] {
        auto *dialog = qobject_cast<LangDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->ComboLang->setCurrentIndex(1);
        dialog->CommandCancel->click();
    });
    EXPECT_FALSE(LangDialog::askUser(lang));
    EXPECT_EQ(lang.LangSel, 1);

    QTimer::singleShot(0, [] {
        auto *dialog = qobject_cast<LangDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->ComboLang->count(), 3);
        dialog->ComboLang->setCurrentIndex(2);
        dialog->CommandOk->click();
    });
    EXPECT_TRUE(LangDialog::askUser(lang));
    EXPECT_EQ(lang.LangSel, 3);
}

} // namespace
