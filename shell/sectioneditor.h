#pragma once

#include "files/linetexts.h"

#include <QLineEdit>
#include <QString>
#include <QWidget>

#include "widgets/numberbox.h"

// The contract every configuration section window keeps with the shell, the
// configuration transfer and the file commands, and what all of them share.
// The data operations run the section's core functions; the window adds its
// controls around them. Edits stay in the controls until StoreControls, which
// runs when the shown channel changes, when the window stops being the active
// window and before the file is saved.
class SectionEditor : public QWidget {
    Q_OBJECT
public:
    // channelCount: how many channels the window shows one at a time; 0 for a
    // section with a single instance, whose ChangeIndex ignores the index.
    explicit SectionEditor(QWidget *parent = nullptr, int channelCount = 0);

    virtual void LoadText() = 0;     // captions through the language table
    virtual void Clear() = 0;        // section defaults, then shown
    virtual void LoadData() = 0;     // model -> controls
    virtual void StoreControls() = 0; // controls -> model

    // Stores the shown channel, makes newIndex the shown one and reloads the
    // window. An index outside the window's channels changes nothing.
    virtual void ChangeIndex(int newIndex);

    // What the unit cannot take beyond the number boxes (numberBoxFaults),
    // which stops an upload; none by default.
    virtual QList<BoxFault> uploadFaults() { return {}; }

    int ChannelIndex() const { return channelIndex_; }
    int channelCount() const { return channelCount_; }

    // The box refuses the separators of the upload line its text travels in
    // (see refuseCharacters); frames inside an editor use it too.
    static void refuseSeparators(QLineEdit *box, LineText kind = LineText::Field);

protected:
    // The window shown afresh: captions, then the shown channel's data. Windows
    // with more to set up when a channel is opened (lists, enabling, the first
    // alarm slot) extend it.
    virtual void reload();

    void changeEvent(QEvent *event) override;

    // A box the operator did not edit stores nothing back, so a text the box
    // could not have taken by typing survives a store-back. LoadData shows a
    // field with showText: the whole text, even beyond the box's length limit,
    // which restricts typing only. StoreControls asks edited(), or lets
    // storeIfEdited do it.
    static void showText(QLineEdit *box, const QString &text);
    // True when the box's text is not the one showText last put there (a box
    // never shown that way counts as edited).
    static bool edited(const QLineEdit *box);
    static void storeIfEdited(const QLineEdit *box, QString &field);
    // convert(text) gives something that tests false when the text is no valid
    // value for the field (std::optional, as ToInt32 and the like return);
    // then the field keeps what it held, as it does when a number box
    // refuses its text.
    template <typename T, typename Convert>
    static void storeIfEdited(const QLineEdit *box, T &field, Convert convert)
    {
        if (!edited(box) || !numberBoxFault(box).isEmpty())
            return;
        if (const auto value = convert(box->text()))
            field = *value;
    }

    // The box takes none of the characters, typed or pasted. A text that
    // showText put there keeps the ones it has; the operator cannot add more.
    static void refuseCharacters(QLineEdit *box, const QString &characters);

private:
    int channelCount_;
    int channelIndex_ = 0;
};
