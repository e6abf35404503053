#include "sectioneditor.h"

#include <QApplication>
#include <QEvent>
#include <QValidator>
#include <algorithm>

#include "files/langtable.h"
#include "widgets/boxnotice.h"

namespace {

// Dynamic properties of a box shown with showText.
constexpr char kShownText[] = "velkanShownText";
constexpr char kTypingLimit[] = "velkanTypingLimit";

QString shownText(const QLineEdit *box)
{
    return box->property(kShownText).toString();
}

qsizetype countOf(const QString &text, const QString &characters)
{
    return std::count_if(text.begin(), text.end(), [&](QChar c) { return characters.contains(c); });
}

// Refuses any change that adds one of the characters. Counting instead of
// refusing every text that holds one keeps a stored text editable. The
// operator typing or pasting is told why at the box, so that nothing
// typed goes missing without a word.
class CharacterRefuser : public QValidator {
public:
    CharacterRefuser(QString characters, QLineEdit *box)
        : QValidator(box), box_(box), characters_(std::move(characters))
    {
    }

    State validate(QString &input, int &) const override
    {
        if (countOf(input, characters_) <= countOf(shownText(box_), characters_))
            return Acceptable;
        if (box_->hasFocus())
            tell(input);
        return Invalid;
    }

private:
    void tell(const QString &input) const
    {
        QString refused;
        for (const QChar c : characters_) {
            if (input.contains(c))
                refused += c;
        }
        const QString reason =
            Translate(QStringLiteral("Este texto no puede llevar \"%1\": la unidad lo leeria como separador"))
                .arg(refused);
        QApplication::beep();
        showBoxNotice(box_, reason);
    }

private:
    QLineEdit *box_;
    QString characters_;
};

// The typing limit holds again once the operator has brought a longer shown
// text within it (lowering the limit earlier would cut the text).
void restoreTypingLimit(QLineEdit *box)
{
    const int limit = box->property(kTypingLimit).toInt();
    if (box->text().size() <= limit)
        box->setMaxLength(limit);
}

} // namespace

SectionEditor::SectionEditor(QWidget *parent, int channelCount)
    : QWidget(parent), channelCount_(std::max(0, channelCount))
{
    onLanguageChange(this, [this] { LoadText(); });
}

void SectionEditor::ChangeIndex(int newIndex)
{
    if (channelCount_ > 0 && (newIndex < 0 || newIndex >= channelCount_))
        return;
    StoreControls();
    if (channelCount_ > 0)
        channelIndex_ = newIndex;
    reload();
}

void SectionEditor::reload()
{
    LoadText();
    LoadData();
}

void SectionEditor::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        StoreControls();
    QWidget::changeEvent(event);
}

void SectionEditor::showText(QLineEdit *box, const QString &text)
{
    QVariant limit = box->property(kTypingLimit);
    if (!limit.isValid()) {
        limit = box->maxLength();
        box->setProperty(kTypingLimit, limit);
        connect(box, &QLineEdit::textEdited, box, [box] { restoreTypingLimit(box); });
    }
    // Set before the text, so that a validator judges the text against it.
    box->setProperty(kShownText, text);
    box->setMaxLength(std::max(limit.toInt(), int(text.size())));
    box->setText(text);
}

bool SectionEditor::edited(const QLineEdit *box)
{
    const QVariant shown = box->property(kShownText);
    return !shown.isValid() || box->text() != shown.toString();
}

void SectionEditor::storeIfEdited(const QLineEdit *box, QString &field)
{
    if (edited(box))
        field = box->text();
}

void SectionEditor::refuseCharacters(QLineEdit *box, const QString &characters)
{
    box->setValidator(new CharacterRefuser(characters, box));
}

void SectionEditor::refuseSeparators(QLineEdit *box, LineText kind)
{
    refuseCharacters(box, lineSeparators(kind));
}
