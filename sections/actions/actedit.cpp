#include "actedit.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "files/langtable.h"
#include "model/actioncatalogue.h"
#include "model/texthelpers.h"
#include "widgets/namedwidget.h"
#include "shell/programicon.h"

namespace {

// A row carries its code as data: the shown text may be translated.
constexpr int kCodeRole = Qt::UserRole;

QListWidgetItem *actionRow(const ActionEntry &entry)
{
    auto *item = new QListWidgetItem(
        ActionRowText(entry, [](const QString &text) { return Translate(text); }));
    item->setData(kCodeRole, entry.code);
    return item;
}

} // namespace

ActEdit::ActEdit(ActionBuffer &buffer, UserMessage message, QWidget *parent)
    : QDialog(parent),
      LabelRef(named(new QLabel(this), "LabelRef")),
      RefList(named(new QListWidget(this), "RefList")),
      LabelDevice(named(new QLabel(this), "LabelDevice")),
      DeviceList(named(new QListWidget(this), "DeviceList")),
      AddButton(named(new QPushButton(this), "AddButton")),
      DelButton(named(new QPushButton(this), "DelButton")),
      OKButton(named(new QPushButton(this), "OKButton")),
      CancelButton(named(new QPushButton(this), "CancelButton")),
      buffer_(buffer),
      message_(std::move(message))
{
    setObjectName(QStringLiteral("ActEdit"));
    setModal(true);
    setWindowIcon(programIcon());

    for (const ActionEntry &entry : ActionCatalogue())
        RefList->addItem(actionRow(entry));
    for (int slot = 0; slot < kMaxActions; ++slot) {
        if (const ActionEntry *entry = FindAction(buffer_.Codes[slot]))
            DeviceList->addItem(actionRow(*entry));
    }

    auto *middle = new QVBoxLayout;
    middle->addStretch();
    middle->addWidget(AddButton);
    middle->addWidget(DelButton);
    middle->addStretch();

    auto *lists = new QGridLayout;
    lists->addWidget(LabelRef, 0, 0);
    lists->addWidget(LabelDevice, 0, 2);
    lists->addWidget(RefList, 1, 0);
    lists->addLayout(middle, 1, 1);
    lists->addWidget(DeviceList, 1, 2);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addLayout(buttons);

    connect(AddButton, &QPushButton::clicked, this, &ActEdit::AddButton_Click);
    connect(DelButton, &QPushButton::clicked, this, &ActEdit::DelButton_Click);
    connect(OKButton, &QPushButton::clicked, this, &ActEdit::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &ActEdit::reject);
    OKButton->setDefault(true);

    LoadText();
    resize(620, 380);
}

void ActEdit::LoadText()
{
    setWindowTitle(Translate(QStringLiteral("Editar acciones")));
    LabelRef->setText(Translate(QStringLiteral("Acciones disponibles:")));
    LabelDevice->setText(Translate(QStringLiteral("Acciones configuradas:")));
    AddButton->setText(Translate(QStringLiteral("Añadir --->")));
    DelButton->setText(Translate(QStringLiteral("Eliminar")));
    OKButton->setText(Translate(QStringLiteral("Aceptar")));
    CancelButton->setText(Translate(QStringLiteral("Cancelar")));
}

void ActEdit::AddButton_Click()
{
    const QListWidgetItem *chosen = RefList->currentItem();
    if (!chosen || !chosen->isSelected())
        return;
    if (DeviceList->count() >= kMaxActions) {
        message_(QMessageBox::NoIcon,
                 Translate(QStringLiteral("No se pueden añadir mas de")) + NumStr(kMaxActions)
                     + Translate(QStringLiteral(" acciones")),
                 QMessageBox::Ok);
        return;
    }
    DeviceList->addItem(chosen->clone());
}

void ActEdit::DelButton_Click()
{
    QListWidgetItem *chosen = DeviceList->currentItem();
    if (chosen && chosen->isSelected())
        delete chosen;
}

void ActEdit::OKButton_Click()
{
    for (int slot = 0; slot < kMaxActions; ++slot) {
        const QListWidgetItem *row = DeviceList->item(slot);
        buffer_.Codes[slot] = row ? qint16(row->data(kCodeRole).toInt()) : qint16(0);
    }
    accept();
}
