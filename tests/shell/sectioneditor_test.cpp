#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <QLabel>
#include <functional>
#include <memory>
#include <vector>

#include "model/texthelpers.h"
#include "shell/sectioneditor.h"
#include "widgets/boxnotice.h"

namespace {

struct Record {
    QString text;
    qint16 number = 0;
};

// An editor of one record per channel, with a text box that takes no comma
// and a number box, written as a section editor would be.
class RecordEditor : public SectionEditor {
public:
    explicit RecordEditor(std::vector<Record> &records, int channelCount)
        : SectionEditor(nullptr, channelCount),
          text(new QLineEdit(this)),
          number(new QLineEdit(this)),
          records_(records)
    {
        text->setMaxLength(49);
        number->setMaxLength(3);
        refuseCharacters(text, QStringLiteral(","));
        number->move(0, 30);
        LoadData();
    }

    void LoadText() override { log << "LoadText"; }
    void Clear() override {}
    void LoadData() override
    {
        log << "LoadData";
        showText(text, record().text);
        showText(number, QString::number(record().number));
    }
    void StoreControls() override
    {
        log << "StoreControls";
        storeIfEdited(text, record().text);
        storeIfEdited(number, record().number, [](const QString &t) { return ToInt16(ParseNumber(t)); });
    }

    Record &record() { return records_[ChannelIndex()]; }

    QLineEdit *text;
    QLineEdit *number;
    QStringList log;

private:
    std::vector<Record> &records_;
};

class EditorBase : public ::testing::Test {
protected:
    std::vector<Record> records{{QString(60, u'x'), 7}, {QStringLiteral("one"), 1}, {}};
    std::unique_ptr<RecordEditor> editor = std::make_unique<RecordEditor>(records, 3);
};

TEST_F(EditorBase, AnUneditedBoxStoresNothingAndALongTextIsShownWhole)
{
    EXPECT_EQ(editor->text->text(), records[0].text);
    records[0].number = 9; // changed in the model since the window showed it
    editor->StoreControls();
    EXPECT_EQ(records[0].text, QString(60, u'x'));
    EXPECT_EQ(records[0].number, 9);

    // Typing on a long text may shorten it; the limit holds again once it fits.
    editor->text->setFocus();
    editor->text->end(false);
    for (int i = 0; i < 11; ++i)
        QTest::keyClick(editor->text, Qt::Key_Backspace);
    QTest::keyClicks(editor->text, QStringLiteral("yz"));
    editor->StoreControls();
    EXPECT_EQ(records[0].text, QString(49, u'x'));
}

TEST_F(EditorBase, AnEditedNumberBoxStoresOnlyAValueThatFits)
{
    struct Case {
        const char *typed;
        qint16 stored;
    };
    for (const Case c : {Case{"12", 12}, Case{"1e9", 7}, Case{"-5", -5}}) {
        records[0].number = 7;
        editor->LoadData();
        editor->number->clear(); // an edit of its own: the box no longer shows what was loaded
        QTest::keyClicks(editor->number, QString::fromLatin1(c.typed));
        editor->StoreControls();
        EXPECT_EQ(records[0].number, c.stored) << c.typed;
    }
}

TEST_F(EditorBase, ACommaIsRefusedTypedAndPastedButAStoredOneStays)
{
    editor->ChangeIndex(1);
    QTest::keyClicks(editor->text, QStringLiteral(",a,"));
    EXPECT_EQ(editor->text->text(), QStringLiteral("onea"));
    QApplication::clipboard()->setText(QStringLiteral("b,c"));
    editor->text->paste();
    EXPECT_EQ(editor->text->text(), QStringLiteral("onea"));
    QApplication::clipboard()->setText(QStringLiteral("bc"));
    editor->text->paste();
    EXPECT_EQ(editor->text->text(), QStringLiteral("oneabc"));

    records[2].text = QStringLiteral("a,b");
    editor->ChangeIndex(2);
    EXPECT_EQ(editor->text->text(), QStringLiteral("a,b"));
    QTest::keyClicks(editor->text, QStringLiteral(",c"));
    EXPECT_EQ(editor->text->text(), QStringLiteral("a,bc"));
    editor->ChangeIndex(0);
    EXPECT_EQ(records[1].text, QStringLiteral("oneabc"));
    EXPECT_EQ(records[2].text, QStringLiteral("a,bc"));
}

// What is refused is never swallowed without a word: the operator typing or
// pasting a separator gets the reason at the box, each time.
TEST_F(EditorBase, ARefusedSeparatorTellsWhyAtTheBox)
{
    editor->show();
    editor->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
    editor->ChangeIndex(1);
    editor->text->setFocus();
    const std::function<void()> typeComma = [this] { QTest::keyClicks(editor->text, QStringLiteral("Pozo 1, norte")); };
    const std::function<void()> pasteComma = [this] {
        QApplication::clipboard()->setText(QStringLiteral("internet,movil"));
        editor->text->paste();
    };
    const QString quotedComma = QStringLiteral("\"") + QChar(u',') + QStringLiteral("\"");
    for (const auto &refuse : {typeComma, pasteComma}) {
        if (QLabel *notice = boxNotice(editor->text))
            notice->hide();
        refuse();
        const bool comma = editor->text->text().contains(QChar(u','));
        EXPECT_FALSE(comma);
        const QLabel *notice = boxNotice(editor->text);
        ASSERT_NE(notice, nullptr);
        EXPECT_TRUE(notice->isVisible()) << "still shown after the keys that followed";
        EXPECT_TRUE(notice->text().contains(quotedComma)) << notice->text().toStdString();
    }
}

TEST_F(EditorBase, ChangeIndexStoresTheShownChannelAndIgnoresOneOutsideTheWindow)
{
    editor->text->setText(QStringLiteral("typed"));
    editor->log.clear();
    editor->ChangeIndex(1);
    EXPECT_EQ(editor->log, QStringList({"StoreControls", "LoadText", "LoadData"}));
    EXPECT_EQ(records[0].text, QStringLiteral("typed"));
    EXPECT_EQ(editor->text->text(), QStringLiteral("one"));

    for (int index : {-1, 3, 1000}) {
        editor->log.clear();
        editor->ChangeIndex(index);
        EXPECT_TRUE(editor->log.isEmpty()) << index;
        EXPECT_EQ(editor->ChannelIndex(), 1) << index;
    }

    // A section with a single instance ignores the index and reloads.
    std::vector<Record> single{{QStringLiteral("only"), 1}};
    RecordEditor general(single, 0);
    general.text->setText(QStringLiteral("typed"));
    general.ChangeIndex(5);
    EXPECT_EQ(general.ChannelIndex(), 0);
    EXPECT_EQ(single[0].text, QStringLiteral("typed"));
}

TEST_F(EditorBase, LosingActivationStoresTheControls)
{
    editor->show();
    editor->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
    editor->text->setText(QStringLiteral("typed"));
    EXPECT_NE(records[0].text, QStringLiteral("typed"));

    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_EQ(records[0].text, QStringLiteral("typed"));
}

} // namespace
