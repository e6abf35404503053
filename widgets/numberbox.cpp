#include "numberbox.h"

#include <QApplication>
#include <QLineEdit>
#include <QPalette>

#include <cmath>

#include "files/langtable.h"
#include "model/texthelpers.h"

namespace {

// Dynamic properties of a number box.
constexpr char kWhole[] = "velkanNumberWhole";
constexpr char kMin[] = "velkanNumberMin";
constexpr char kMax[] = "velkanNumberMax";
constexpr char kAboveMin[] = "velkanNumberAboveMin";
constexpr char kTime[] = "velkanTimeField";
constexpr char kCaption[] = "velkanNumberCaption";
constexpr char kPlainTip[] = "velkanPlainToolTip"; // the box's own tooltip while a reason shows
constexpr char kCheckName[] = "velkanFieldCheck";

// The check of a field of makeCheckedField, kept as a child of its box.
class FieldCheck : public QObject {
public:
    FieldCheck(std::function<QString(const QString &)> check, QObject *box) : QObject(box), check(std::move(check))
    {
        setObjectName(QString::fromLatin1(kCheckName));
    }
    const std::function<QString(const QString &)> check;
};

const FieldCheck *fieldCheck(const QLineEdit *box)
{
    return dynamic_cast<const FieldCheck *>(
        box->findChild<QObject *>(QString::fromLatin1(kCheckName), Qt::FindDirectChildrenOnly));
}

std::optional<NumberRange> rangeOf(const QLineEdit *box)
{
    if (!box->property(kCaption).isValid() || box->property(kTime).toBool())
        return std::nullopt;
    return NumberRange{box->property(kWhole).toBool(), box->property(kMin).toDouble(),
                       box->property(kMax).toDouble(), box->property(kAboveMin).toBool()};
}

// The reason shows as the tooltip while it holds; the box's own tooltip
// comes back after.
void checkBox(QLineEdit *box)
{
    const QString fault = numberBoxFault(box);
    const QVariant plain = box->property(kPlainTip);
    if (!ShowNumberValid(box, fault.isEmpty())) {
        if (!plain.isValid())
            box->setProperty(kPlainTip, box->toolTip());
        box->setToolTip(fault);
    } else if (plain.isValid()) {
        box->setToolTip(plain.toString());
        box->setProperty(kPlainTip, QVariant());
    }
}

QString captionText(const QLineEdit *box)
{
    QString caption = Translate(box->property(kCaption).toString()).trimmed();
    if (caption.endsWith(u':'))
        caption.chop(1);
    return caption;
}

// The caption names the field in messages; every change of the text is checked.
void checkEveryChange(QLineEdit *box, const QString &caption)
{
    box->setProperty(kCaption, caption);
    QObject::connect(box, &QLineEdit::textChanged, box, [box] { checkBox(box); });
    checkBox(box);
}

} // namespace

bool CheckNumberBox(QLineEdit *box, const QString &kind)
{
    return ShowNumberValid(box, CheckNumberText(box->text(), kind));
}

bool ShowNumberValid(QLineEdit *box, bool valid)
{
    QPalette palette = QApplication::palette(box);
    if (!valid)
        palette.setColor(QPalette::Base, QColor(255, 0, 0));
    if (box->palette().color(QPalette::Base) != palette.color(QPalette::Base))
        box->setPalette(palette);
    return valid;
}

QString numberTextFault(const QString &text, const NumberRange &range)
{
    if (text.contains(u','))
        return Translate(QStringLiteral("Use el punto como separador decimal, no la coma"));
    if (!IsDecimalText(text))
        return Translate(QStringLiteral("No es un numero"));
    // A whole number may come in E-form, as NumStr writes a large one.
    const double value = ParseNumber(text);
    if (range.whole && value != std::floor(value))
        return Translate(QStringLiteral("Escriba un numero entero"));
    if (!inRange(value, range))
        return Translate(QStringLiteral("Valor fuera de rango")) + QStringLiteral(": ") + rangeText(range);
    return {};
}

void makeNumberBox(QLineEdit *box, const NumberRange &range, const QString &caption)
{
    box->setProperty(kWhole, range.whole);
    box->setProperty(kMin, range.min);
    box->setProperty(kMax, range.max);
    box->setProperty(kAboveMin, range.aboveMin);
    checkEveryChange(box, caption);
}

void makeNumberBox(QLineEdit *box, const QString &section, const QString &key, const QString &caption)
{
    const std::optional<NumberRange> range = fieldRange(section, key);
    Q_ASSERT_X(range, "makeNumberBox", "a number key without a range");
    makeNumberBox(box, range.value_or(NumberRanges::Float), caption);
}

void makeTimeField(QLineEdit *box, const QString &caption)
{
    box->setProperty(kTime, true);
    checkEveryChange(box, caption);
}

void makeCheckedField(QLineEdit *box, const QString &caption, std::function<QString(const QString &)> check)
{
    new FieldCheck(std::move(check), box);
    checkEveryChange(box, caption);
}

void setFieldCaption(QLineEdit *box, const QString &caption)
{
    box->setProperty(kCaption, caption);
}

QString timeTextFault(const QString &text)
{
    if (TimeFromText(text))
        return {};
    return Translate(QStringLiteral("No es una hora valida (H:MM:SS o H:MM, de 0:00:00 a 23:59:59)"));
}

QString numberBoxFault(const QLineEdit *box)
{
    if (const FieldCheck *check = fieldCheck(box))
        return check->check(box->text());
    if (box->property(kTime).toBool())
        return timeTextFault(box->text());
    const std::optional<NumberRange> range = rangeOf(box);
    return range ? numberTextFault(box->text(), *range) : QString();
}

QList<BoxFault> numberBoxFaults(QWidget *window)
{
    QList<BoxFault> faults;
    for (QLineEdit *box : window->findChildren<QLineEdit *>()) {
        // A dialog of the window (a calculator) holds no field of it.
        if (!box->isEnabledTo(window) || box->window() != window->window())
            continue;
        if (const QString reason = numberBoxFault(box); !reason.isEmpty())
            faults.append({window, box, captionText(box), reason});
    }
    return faults;
}

QString faultLines(const QList<BoxFault> &faults)
{
    QStringList lines;
    for (const BoxFault &fault : faults)
        lines << fault.window->windowTitle() + QStringLiteral(" - ") + fault.field + QStringLiteral(": ")
                     + fault.reason;
    return lines.join(u'\n');
}
