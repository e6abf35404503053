#include "phonelisteditor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "files/langtable.h"
#include "model/channelcode.h"
#include "model/texthelpers.h"
#include "shell/sectioneditor.h"
#include "widgets/namedwidget.h"
#include "phoneentry.h"

namespace {

const char *const kPrivilegeTexts[] = {"Kairn", "Administrador", "U. Avanzado", "Usuario"};
constexpr int kPrivilegeData[] = {3, 2, 1, 0};

QString channelName(const QListWidgetItem *row)
{
    return CsvField(row->text(), 1);
}

} // namespace

PhoneListEditor::PhoneListEditor(UserMessage message, QWidget *parent)
    : QGroupBox(parent),
      NewTlf(named(new QLineEdit(this), "NewTlf")),
      PrioBox(named(new QComboBox(this), "PrioBox")),
      Privilegios(named(new QComboBox(this), "Privilegios")),
      CheckMask(named(new QCheckBox(this), "CheckMask")),
      MaskInclude(named(new QRadioButton(this), "MaskInclude")),
      MaskExclude(named(new QRadioButton(this), "MaskExclude")),
      MaskSelection(named(new QListWidget(this), "MaskSelection")),
      ListaTlf(named(new QListWidget(this), "ListaTlf")),
      Anadir(named(new QPushButton(this), "Anadir")),
      Borrar(named(new QPushButton(this), "Borrar")),
      message_(std::move(message)),
      tlfCaption_(new QLabel(this)),
      prioCaption_(new QLabel(this)),
      privCaption_(new QLabel(this)),
      listCaption_(new QLabel(this))
{
    setObjectName(QStringLiteral("FramePhones"));
    NewTlf->setMaxLength(16);
    // The number leads its "+TLF=" line, whose fields a comma separates.
    SectionEditor::refuseSeparators(NewTlf);
    for (int p = 0; p <= 8; ++p)
        PrioBox->addItem(QString(), p);
    for (int data : kPrivilegeData)
        Privilegios->addItem(QString(), data);
    MaskSelection->setSelectionMode(QAbstractItemView::MultiSelection);
    // The channel list scrolls beside the entry fields; the phone list gets the height.
    MaskSelection->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
    MaskInclude->setChecked(true);

    auto *entry = new QGridLayout;
    entry->setVerticalSpacing(2);
    entry->addWidget(tlfCaption_, 0, 0);
    entry->addWidget(NewTlf, 0, 1);
    entry->addWidget(prioCaption_, 1, 0);
    entry->addWidget(PrioBox, 1, 1);
    entry->addWidget(privCaption_, 2, 0);
    entry->addWidget(Privilegios, 2, 1);
    entry->addWidget(CheckMask, 3, 0, 1, 2);
    auto *modes = new QHBoxLayout;
    modes->addWidget(MaskInclude);
    modes->addWidget(MaskExclude);
    modes->addStretch();
    entry->addLayout(modes, 4, 0, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Anadir);
    buttons->addWidget(Borrar);
    entry->addLayout(buttons, 5, 0, 1, 2);
    entry->setRowStretch(6, 1);

    auto *top = new QHBoxLayout;
    top->addLayout(entry, 3);
    top->addWidget(MaskSelection, 2);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 6);
    layout->setSpacing(3);
    layout->addLayout(top);
    layout->addWidget(listCaption_);
    layout->addWidget(ListaTlf, 1);

    connect(Anadir, &QPushButton::clicked, this, &PhoneListEditor::Anadir_Click);
    connect(Borrar, &QPushButton::clicked, this, &PhoneListEditor::Borrar_Click);
    connect(ListaTlf, &QListWidget::itemDoubleClicked, this, &PhoneListEditor::ListaTlf_DblClick);
    // The highlighted row is always the one the entry fields show.
    connect(ListaTlf, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            loadEntry(ListaTlf->item(row)->text());
    });
    connect(CheckMask, &QCheckBox::clicked, this, &PhoneListEditor::CheckMask_Click);
}

void PhoneListEditor::LoadText()
{
    setTitle(Translate(QStringLiteral("Lista telefonos autorizados")));
    tlfCaption_->setText(Translate(QStringLiteral("Telefono:")));
    prioCaption_->setText(Translate(QStringLiteral("Prioridad:")));
    privCaption_->setText(Translate(QStringLiteral("Privilegios:")));
    listCaption_->setText(Translate(QStringLiteral("Lista de telefonos, doble click para editar:")));
    CheckMask->setText(Translate(QStringLiteral("Habilitar mascara")));
    MaskInclude->setText(Translate(QStringLiteral("Incluir")));
    MaskExclude->setText(Translate(QStringLiteral("Excluir")));
    Anadir->setText(Translate(QStringLiteral("Añadir")));
    Borrar->setText(Translate(QStringLiteral("Borrar")));
    PrioBox->setItemText(0, Translate(QStringLiteral("No Prio.")));
    for (int p = 1; p <= 8; ++p)
        PrioBox->setItemText(p, Translate(QStringLiteral("Prio. ")) + QString::number(p));
    for (int i = 0; i < Privilegios->count(); ++i)
        Privilegios->setItemText(i, Translate(QString::fromLatin1(kPrivilegeTexts[i])));

    NewTlf->setToolTip(Translate(QStringLiteral("Telefono en formato internacional")));
    PrioBox->setToolTip(Translate(QStringLiteral("Prioridad del numero")));
    Privilegios->setToolTip(Translate(QStringLiteral("Privilegios del numero")));
    ListaTlf->setToolTip(Translate(QStringLiteral("Lista de telefonos autorizados")));
}

void PhoneListEditor::LoadMaskSelection(const ProductLimits &limits)
{
    const struct {
        int count;
        const char *prefix;
        const char *kind;
    } families[] = {
        {limits.DigitalCount, "DI", ", Dig. In"}, {limits.AnalogCount, "AI", ", Analog. In"},
        {limits.FlowCount, "FL", ", QMeter"},     {limits.ModbusCount, "MB", ", MODBUS"},
        {limits.OneWireCount, "PB", ", Temp/Hum"}, {16, "FG", ", Flag"},
    };
    MaskSelection->clear();
    for (const auto &family : families) {
        for (int i = 0; i < family.count; ++i)
            MaskSelection->addItem(QString::fromLatin1(family.prefix) + QString::number(i)
                                   + QString::fromLatin1(family.kind));
    }
}

QStringList PhoneListEditor::rows() const
{
    QStringList texts;
    for (int i = 0; i < ListaTlf->count(); ++i)
        texts << ListaTlf->item(i)->text();
    return texts;
}

void PhoneListEditor::setRows(const QStringList &rows)
{
    ListaTlf->clear();
    ListaTlf->addItems(rows);
}

void PhoneListEditor::selectFirstRow()
{
    if (ListaTlf->count() > 0)
        ListaTlf->setCurrentRow(0);
}

void PhoneListEditor::resetEntry()
{
    ListaTlf->setCurrentRow(-1);
    NewTlf->clear();
    NewTlf->setFocus();
    PrioBox->setCurrentIndex(0);
    Privilegios->setCurrentIndex(1);
    CheckMask->setChecked(false);
    MaskSelection->clearSelection();
    CheckMask_Click();
}

void PhoneListEditor::CheckMask_Click()
{
    const bool on = CheckMask->isChecked();
    MaskSelection->setEnabled(on);
    if (!on)
        MaskInclude->setChecked(true);
    MaskInclude->setEnabled(on);
    MaskExclude->setEnabled(on);
}

int PhoneListEditor::maskModeOfFields() const
{
    if (!CheckMask->isChecked())
        return 0;
    return MaskExclude->isChecked() ? 2 : 1;
}

// The entry text of the fields, or an empty text when the mask holds more
// channels than a phone slot can.
QString PhoneListEditor::entryFromFields(bool *tooManyChannels) const
{
    AuthorisedPhone phone;
    phone.Number = NewTlf->text();
    phone.Priority = qint16(PrioBox->currentData().toInt());
    phone.Privilege = qint16(Privilegios->currentData().toInt());
    phone.MaskMode = qint16(maskModeOfFields());
    int used = 0;
    for (int i = 0; phone.MaskMode != 0 && i < MaskSelection->count(); ++i) {
        if (!MaskSelection->item(i)->isSelected())
            continue;
        if (used == AuthorisedPhone::kMaskSlots) {
            *tooManyChannels = true;
            return {};
        }
        phone.Mask[used++] = maskChannelCode(channelName(MaskSelection->item(i)))
                                 .value_or(AuthorisedPhone::kEmptySlot);
    }
    *tooManyChannels = false;
    return phoneEntryText(phone);
}

void PhoneListEditor::Anadir_Click()
{
    const QString number = NewTlf->text();
    if (!number.isEmpty() && !IsIntegerText(number)) {
        message_(QMessageBox::Warning, Translate(QStringLiteral("Error, no es un numero de telefono correcto")),
                 QMessageBox::Ok);
        NewTlf->setFocus();
        return;
    }
    if (!number.isEmpty()) {
        if (ListaTlf->count() >= kMaxRows) {
            message_(QMessageBox::Information, Translate(QStringLiteral("Lista llena")), QMessageBox::Ok);
        } else {
            bool tooMany = false;
            const QString entry = entryFromFields(&tooMany);
            if (tooMany) {
                message_(QMessageBox::Warning,
                         Translate(QStringLiteral("No puede añadir mas de 16 canales a la mascara")),
                         QMessageBox::Ok);
                return;
            }
            ListaTlf->addItem(entry);
        }
    }
    resetEntry();
}

void PhoneListEditor::Borrar_Click()
{
    if (QListWidgetItem *row = ListaTlf->currentItem(); row && row->isSelected())
        delete ListaTlf->takeItem(ListaTlf->row(row));
}

void PhoneListEditor::ListaTlf_DblClick()
{
    if (const QListWidgetItem *row = ListaTlf->currentItem())
        loadEntry(row->text());
}

void PhoneListEditor::selectByData(QComboBox *box, int value)
{
    const int index = box->findData(value);
    if (index >= 0)
        box->setCurrentIndex(index);
}

// Takes a row back into the entry fields; items that match nothing leave
// their field as it was.
void PhoneListEditor::loadEntry(const QString &entry)
{
    AuthorisedPhone phone;
    phone.Priority = qint16(PrioBox->currentData().toInt());
    phone.Privilege = qint16(Privilegios->currentData().toInt());
    phone.MaskMode = qint16(maskModeOfFields());
    storePhoneEntry(entry, phone);
    QStringList channels;
    for (int slot = 0; slot < AuthorisedPhone::kMaskSlots; ++slot)
        channels << CodeToName(phone.Mask[slot]);

    NewTlf->setText(phone.Number);
    selectByData(PrioBox, phone.Priority);
    selectByData(Privilegios, phone.Privilege);
    CheckMask->setChecked(phone.MaskMode != 0);
    CheckMask_Click();
    if (phone.MaskMode == 2)
        MaskExclude->setChecked(true);
    else
        MaskInclude->setChecked(true);
    MaskSelection->clearSelection();
    for (int i = 0; i < MaskSelection->count(); ++i) {
        QListWidgetItem *row = MaskSelection->item(i);
        if (channels.contains(channelName(row)))
            row->setSelected(true);
    }
}
