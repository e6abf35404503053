#include "settotal.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <optional>
#include <utility>

#include "files/langtable.h"
#include "link/devicecommands.h"
#include "link/unitconnection.h"
#include "model/texthelpers.h"
#include "widgets/namedwidget.h"
#include "shell/programicon.h"

namespace {

// The new count as the unit takes it: integer text that fits 32 bits.
std::optional<qint32> newCount(const QString &text)
{
    if (!IsIntegerText(text))
        return std::nullopt;
    return ToInt32(ParseNumber(text));
}

} // namespace

SetTotal::SetTotal(UnitConnection &unit, UserMessage message, QWidget *parent)
    : QDialog(parent),
      LabelActual(named(new QLabel(this), "LabelActual")),
      LabelPreValue(named(new QLabel(this), "LabelPreValue")),
      LabelNuevo(named(new QLabel(this), "LabelNuevo")),
      TextNew(named(new QLineEdit(this), "TextNew")),
      LabelEstado(named(new QLabel(this), "LabelEstado")),
      OKButton(named(new QPushButton(this), "OKButton")),
      CancelButton(named(new QPushButton(this), "CancelButton")),
      unit_(unit),
      message_(std::move(message))
{
    setObjectName(QStringLiteral("SetTotal"));
    setWindowIcon(programIcon());
    setModal(true);
    OKButton->setAutoDefault(false);
    CancelButton->setAutoDefault(false);
    LabelPreValue->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("-2147483648")) + 8);

    auto *grid = new QGridLayout;
    grid->addWidget(LabelActual, 0, 0);
    grid->addWidget(LabelPreValue, 0, 1);
    grid->addWidget(LabelNuevo, 1, 0);
    grid->addWidget(TextNew, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(LabelEstado);
    layout->addLayout(buttons);

    connect(OKButton, &QPushButton::clicked, this, &SetTotal::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &SetTotal::CancelButton_Click);
    LoadText();
    showCount();
}

void SetTotal::LoadText()
{
    setWindowTitle(Translate(QStringLiteral("Introduzca el nuevo valor")));
    // Room for the whole caption in the title bar, whatever the language.
    QFont caption = font();
    caption.setBold(true);
    setMinimumWidth(QFontMetrics(caption).horizontalAdvance(windowTitle()) + 120);
    LabelActual->setText(Translate(QStringLiteral("Valor actual:")));
    LabelNuevo->setText(Translate(QStringLiteral("Nuevo valor:")));
    OKButton->setText(Translate(QStringLiteral("Actualizar")));
    CancelButton->setText(Translate(QStringLiteral("Salir")));
}

bool SetTotal::SetIndex(int newIndex)
{
    if (newIndex < 0 || newIndex >= kCounterCount)
        return false;
    index_ = static_cast<qint16>(newIndex);
    showCount();
    return true;
}

// The opening read runs once the dialog is on screen, so the operator sees
// "Actualizando..." for as long as a silent unit keeps it waiting.
void SetTotal::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!std::exchange(loaded_, true))
        QTimer::singleShot(0, this, &SetTotal::Form_Load);
}

void SetTotal::Form_Load()
{
    if (!unit_.isConnected()) {
        LabelEstado->setText(Translate(QStringLiteral("Sin comunicacion")));
        return;
    }
    LabelEstado->setText(Translate(QStringLiteral("Actualizando...")));
    setWaiting(true);
    const bool read = readCount();
    setWaiting(false);
    // A failed read leaves the last count known on show, not the unit's.
    LabelEstado->setText(read ? Translate(QStringLiteral("Preparado")) : Translate(QStringLiteral("Error!")));
    showCount();
}

bool SetTotal::readCount()
{
    return unit_.exchange([&device = unit_.Device](Comms &comms) { return ReadTotalCount(comms, device); });
}

void SetTotal::OKButton_Click()
{
    const std::optional<qint32> value = newCount(TextNew->text());
    if (!value) {
        message_(QMessageBox::Warning, Translate(QStringLiteral("Escriba un valor numerico valido")), QMessageBox::Ok);
        return;
    }
    if (!unit_.isConnected()) {
        message_(QMessageBox::Warning, Translate(QStringLiteral("No hay comunicacion con el dispositivo")),
                 QMessageBox::Ok);
        return;
    }
    LabelEstado->setText(Translate(QStringLiteral("Escribiendo...")));
    setWaiting(true);
    const bool written = unit_.exchange([&](Comms &comms) { return SetTotalCNT(comms, index_, *value); });
    LabelEstado->setText(written ? Translate(QStringLiteral("Ok")) : Translate(QStringLiteral("Error!")));
    readCount();
    setWaiting(false);
    showCount();
}

void SetTotal::CancelButton_Click()
{
    close();
}

void SetTotal::reject()
{
    if (!waiting_)
        QDialog::reject();
}

void SetTotal::setWaiting(bool waiting)
{
    waiting_ = waiting;
    OKButton->setEnabled(!waiting);
    CancelButton->setEnabled(!waiting);
}

void SetTotal::showCount()
{
    LabelPreValue->setText(NumStr(unit_.Device.TotalCounts[index_]));
}

void runSetTotal(UnitConnection &unit, int counter, UserMessage message, QWidget *parent)
{
    SetTotal dialog(unit, std::move(message), parent ? parent : QApplication::activeWindow());
    if (!dialog.SetIndex(counter))
        return;
    dialog.exec();
}
