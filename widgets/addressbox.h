#pragma once

#include <QString>
#include <QWidget>
#include <QtGlobal>

#include <array>

class QLabel;
class QLineEdit;

// An entry of four byte values 0-255 separated by dots: an IP address, or
// one half of a 1-Wire probe's identification number.
//
// A stored text that is no such address shows as zeros, or, with
// Other::AsItStands, as it stands beside four empty values (the unit's "0"
// for no address as the empty values alone); there an emptied box gives the
// empty text.
//
// The box follows the editors' unedited-box rule on its own: showAddress puts
// a stored text there, and storeIfEdited writes the box's text back only when
// the operator typed in it or the program set its values since, so that a
// stored text the box cannot show as it is ("0", a text from a file) survives
// a store-back untouched.
//
// Every keystroke stays where it was typed: a value that is no byte ("300",
// a fourth digit, a fifth value typed after the fourth) turns its field red
// with the reason, as a number box does, and then nothing is stored and the
// save, the upload and leaving the window are refused (numberBoxFaults).
class AddressBox : public QWidget {
    Q_OBJECT
public:
    using Bytes = std::array<quint8, 4>;

    // How text() writes each value: three digits ("040.170.187.204") or
    // without leading zeros ("40.170.187.204").
    enum class Digits { Three, Plain };

    // What the box shows of a stored text that is no address.
    enum class Other { Zeros, AsItStands };

    explicit AddressBox(QWidget *parent = nullptr, Digits digits = Digits::Three,
                        Other other = Other::Zeros);

    // Shows a stored text: four whole numbers 0-255 joined by "." show as
    // those values; anything else as the box's Other says. The box counts as
    // unedited.
    void showAddress(const QString &stored);
    // Sets the four values, as the program's own edit: the box counts as edited.
    void setBytes(const Bytes &bytes);

    // The values; meaningful while no value is red.
    Bytes bytes() const;
    // The four values in the box's form, joined by "."; with Other::AsItStands,
    // the shown stored text until the operator edits, and the empty text
    // when every value is empty.
    QString text() const;
    // Why a value cannot be kept (translated); empty when every value is a byte.
    QString fault() const;

    // The field named in messages about a red value (a text of the language table).
    void setCaption(const QString &caption);

    // Typed in, or set with setBytes, since showAddress.
    bool edited() const { return edited_; }
    // Writes text() into field when edited and no value is red.
    void storeIfEdited(QString &field) const;

signals:
    // The operator changed a value.
    void textEdited();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void focusNext(int from);
    void showStored(const QString &stored);

    std::array<QLineEdit *, 4> fields_{};
    QLabel *stored_;
    Digits digits_;
    Other other_;
    bool edited_ = false;
};
