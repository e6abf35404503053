#include "addressbox.h"

#include <algorithm>

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include "files/langtable.h"
#include "numberbox.h"

#include "sections/gprs/iptext.h"

namespace {

constexpr int kByteDigits = 3;

// What the unit and the files hold for "no address": shown as empty values,
// with nothing beside them.
const QString kNoAddress = QStringLiteral("0");

QString byteText(int value, AddressBox::Digits digits)
{
    return digits == AddressBox::Digits::Three
               ? QStringLiteral("%1").arg(value, kByteDigits, 10, QLatin1Char('0'))
               : QString::number(value);
}

// A value 0-255 of up to three digits; an empty value counts as 0.
QString byteFault(const QString &text)
{
    const auto digit = [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); };
    if (text.size() <= kByteDigits && std::all_of(text.begin(), text.end(), digit) && text.toInt() <= 255)
        return {};
    return Translate(QStringLiteral("Cuatro valores de 0 a 255 separados por puntos"));
}

} // namespace

AddressBox::AddressBox(QWidget *parent, Digits digits, Other other)
    : QWidget(parent), stored_(new QLabel(this)), digits_(digits), other_(other)
{
    stored_->setObjectName(QStringLiteral("storedText"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    for (int i = 0; i < int(fields_.size()); ++i) {
        if (i > 0)
            layout->addWidget(new QLabel(QStringLiteral("."), this));
        auto *field = new QLineEdit(this);
        field->setObjectName(QStringLiteral("byte%1").arg(i));
        // No length limit and no validator: what does not fit shows red
        // instead of being cut off or dropped.
        field->setAlignment(Qt::AlignCenter);
        field->setFixedWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 8);
        field->installEventFilter(this);
        makeCheckedField(field, QString(), byteFault);
        connect(field, &QLineEdit::textEdited, this, [this, i](const QString &text) {
            edited_ = true;
            showStored(QString());
            if (text.size() == kByteDigits && byteFault(text).isEmpty() && fields_[i]->cursorPosition() == kByteDigits)
                focusNext(i);
            emit textEdited();
        });
        fields_[i] = field;
        layout->addWidget(field);
    }
    layout->addWidget(stored_);
    layout->addStretch();
    setFocusProxy(fields_[0]);
    showAddress(QString());
}

void AddressBox::showAddress(const QString &stored)
{
    const std::optional<Bytes> bytes = DottedBytes(stored);
    const bool asItStands = !bytes && other_ == Other::AsItStands;
    for (int i = 0; i < int(fields_.size()); ++i)
        fields_[i]->setText(asItStands ? QString() : byteText(bytes.value_or(Bytes{})[i], digits_));
    showStored(asItStands ? stored : QString());
    edited_ = false;
}

void AddressBox::setBytes(const Bytes &bytes)
{
    for (int i = 0; i < int(fields_.size()); ++i)
        fields_[i]->setText(byteText(bytes[i], digits_));
    showStored(QString());
    edited_ = true;
}

// The stored text beside the values, while the box shows one that is no address.
void AddressBox::showStored(const QString &stored)
{
    stored_->setText(stored);
    stored_->setVisible(!stored.isEmpty() && stored != kNoAddress);
}

AddressBox::Bytes AddressBox::bytes() const
{
    Bytes bytes{};
    // An emptied field counts as 0.
    for (int i = 0; i < int(fields_.size()); ++i)
        bytes[i] = quint8(qBound(0, fields_[i]->text().toInt(), 255));
    return bytes;
}

QString AddressBox::fault() const
{
    for (const QLineEdit *field : fields_) {
        if (const QString reason = byteFault(field->text()); !reason.isEmpty())
            return reason;
    }
    return {};
}

void AddressBox::setCaption(const QString &caption)
{
    for (QLineEdit *field : fields_)
        setFieldCaption(field, caption);
}

QString AddressBox::text() const
{
    if (other_ == Other::AsItStands) {
        if (!edited_ && !stored_->text().isEmpty())
            return stored_->text();
        const auto empty = [](const QLineEdit *field) { return field->text().isEmpty(); };
        if (std::all_of(fields_.begin(), fields_.end(), empty))
            return QString();
    }
    QStringList values;
    for (const quint8 value : bytes())
        values << byteText(value, digits_);
    return values.join(QLatin1Char('.'));
}

void AddressBox::storeIfEdited(QString &field) const
{
    if (edited_ && fault().isEmpty())
        field = text();
}

// A typed "." moves on to the next value, as in any address entry; in the
// last value it stays, red, as a fifth value would. Erasing in an empty value
// erases a stored text shown beside the values.
bool AddressBox::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *press = static_cast<QKeyEvent *>(event);
        const int key = press->key();
        const auto at = std::find(fields_.begin(), fields_.end(), watched);
        if (at != fields_.end() && key == Qt::Key_Period && at + 1 != fields_.end()) {
            focusNext(int(at - fields_.begin()));
            return true;
        }
        if (at != fields_.end() && (key == Qt::Key_Backspace || key == Qt::Key_Delete)
            && (*at)->text().isEmpty() && !stored_->isHidden()) {
            edited_ = true;
            showStored(QString());
            emit textEdited();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void AddressBox::focusNext(int from)
{
    if (from + 1 < int(fields_.size())) {
        fields_[from + 1]->setFocus();
        fields_[from + 1]->selectAll();
    }
}
