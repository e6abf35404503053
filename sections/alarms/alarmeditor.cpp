#include "alarmeditor.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

#include "alarmcore.h"
#include "files/langtable.h"
#include "files/sectionregistry.h"
#include "model/configstore.h"
#include "model/texthelpers.h"
#include "widgets/flagcombo.h"
#include "widgets/namedwidget.h"
#include "widgets/numberbox.h"
#include "widgets/scheduleframe.h"
#include "shell/mainwindow.h"

namespace {

constexpr int kCheckInterval = 1000; // ms

QVBoxLayout *column(QWidget *frame)
{
    auto *layout = new QVBoxLayout(frame);
    layout->setContentsMargins(6, 2, 6, 4);
    layout->setSpacing(2);
    return layout;
}

} // namespace

AlarmEditor::AlarmEditor(const AlarmMemberRow &member, ConfigStore &store,
                         const SectionRegistry &sections, ActionEditor actions, QWidget *parent)
    : SectionEditor(parent, member.channels),
      Titulo(named(new QLabel(this), "Titulo")),
      AlarmaHabil(named(new QCheckBox(this), "AlarmaHabil")),
      RestHabil(named(new QCheckBox(this), "RestHabil")),
      ReenvHabil(named(new QCheckBox(this), "ReenvHabil")),
      NotNone(named(new QRadioButton(this), "NotNone")),
      NotSMS(named(new QRadioButton(this), "NotSMS")),
      NotVoz(named(new QRadioButton(this), "NotVoz")),
      NotGPRS(named(new QRadioButton(this), "NotGPRS")),
      TextoAlarma(named(new QLineEdit(this), "TextoAlarma")),
      Horario(new ScheduleFrame(this)),
      BotonAlto(named(new QPushButton(this), "BotonAlto")),
      BotonBajo(named(new QPushButton(this), "BotonBajo")),
      Timer1(named(new QTimer(this), "Timer1")),
      member_(member),
      store_(store),
      sections_(sections),
      actions_(std::move(actions)),
      kindArea_(new QVBoxLayout)
{
    setObjectName(QString(member_.editor.name));
    makeHeading(Titulo);

    TextoAlarma->setMaxLength(AlarmConfig::kTextLength);
    // The unit's answer splits the text at a comma.
    refuseSeparators(TextoAlarma);

    kindArea_->setSpacing(2);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->setSpacing(4);
    layout->addWidget(Titulo);
    layout->addLayout(kindArea_);
    layout->addWidget(buildAlarmBlock());
    layout->addStretch();

    connect(AlarmaHabil, &QCheckBox::toggled, this, &AlarmEditor::AlarmaHabil_Click);
    connect(BotonAlto, &QPushButton::clicked, this, &AlarmEditor::BotonAlto_Click);
    connect(BotonBajo, &QPushButton::clicked, this, &AlarmEditor::BotonBajo_Click);
    if (BotonNormal)
        connect(BotonNormal, &QPushButton::clicked, this, &AlarmEditor::BotonNormal_Click);

    resize(MainWindow::kClientSize.expandedTo(sizeHint()));
    reload();
    Timer1->start(kCheckInterval);
}

QWidget *AlarmEditor::buildAlarmBlock()
{
    frameAlarma_ = named(new QGroupBox(this), "FrameAlarma");
    frameTexto_ = named(new QGroupBox(frameAlarma_), "FrameTexto");
    column(frameTexto_)->addWidget(TextoAlarma);
    frameNotificacion_ = buildNotification();
    frameAcciones_ = buildActions();

    // Two columns whose frames pair up row by row.
    QList<QWidget *> left, right;
    if (QGroupBox *numbers = buildNumbers())
        left << numbers;
    left << frameTexto_ << Horario;
    right << frameNotificacion_;
    if (member_.editor.flagCombo) {
        frameFlag_ = named(new QGroupBox(frameAlarma_), "FrameFlag");
        Flag = new FlagChoice(frameFlag_);
        column(frameFlag_)->addWidget(Flag);
        right << frameFlag_;
    }
    right << frameAcciones_;
    auto *body = new QGridLayout;
    body->setColumnStretch(0, 1);
    for (int i = 0; i < left.size(); ++i)
        body->addWidget(left[i], i, 0);
    for (int i = 0; i < right.size(); ++i)
        body->addWidget(right[i], i, 1);

    auto *layout = column(frameAlarma_);
    layout->addWidget(buildSlotRow());
    layout->addLayout(body);
    return frameAlarma_;
}

QWidget *AlarmEditor::buildSlotRow()
{
    auto *row = new QWidget(frameAlarma_);
    auto *rows = new QVBoxLayout(row);
    rows->setContentsMargins(0, 0, 0, 0);
    auto *layout = new QHBoxLayout;
    auto *checks = new QHBoxLayout;
    rows->addLayout(layout);
    rows->addLayout(checks);
    auto *group = new QButtonGroup(row);
    for (int slot = 0; slot < kMaxSlots; ++slot) {
        Config[slot] = new QRadioButton(row);
        Config[slot]->setObjectName(QStringLiteral("Config") + QString::number(slot));
        Config[slot]->setVisible(slot < member_.slotCount);
        group->addButton(Config[slot], slot);
        layout->addWidget(Config[slot]);
        connect(Config[slot], &QRadioButton::toggled, this, [this, slot](bool on) {
            if (on)
                showSlot(slot);
        });
    }
    layout->addStretch();
    checks->addWidget(AlarmaHabil);
    checks->addWidget(RestHabil);
    checks->addWidget(ReenvHabil);
    checks->addStretch();
    return row;
}

QLineEdit *AlarmEditor::numberBox(const char *objectName, float AlarmConfig::*field,
                                  const char *caption)
{
    auto *box = named(new QLineEdit(this), objectName);
    // The file key word of the field, for its range.
    const std::pair<float AlarmConfig::*, const char *> words[] = {
        {&AlarmConfig::Low, "MINIMO("},         {&AlarmConfig::High, "MAXIMO("},
        {&AlarmConfig::Hysteresis, "HISTERESIS("}, {&AlarmConfig::Persistence, "PERSISTENCIA("},
        {&AlarmConfig::Rearm, "REARM("},
    };
    QString key;
    for (const auto &[member, word] : words) {
        if (member == field)
            key = QString::fromLatin1(word);
    }
    makeNumberBox(box, QString(member_.editor.name), key, QString::fromLatin1(caption));
    numbers_.push_back({box, new QLabel(this), field, caption});
    return box;
}

QGroupBox *AlarmEditor::buildNumbers()
{
    const AlarmEditorShape &shape = member_.editor;
    if (shape.thresholdBoxes) {
        Minimo = numberBox("Minimo", &AlarmConfig::Low, "Minimo:");
        Maximo = numberBox("Maximo", &AlarmConfig::High, "Maximo:");
        Histeresis = numberBox("Histeresis", &AlarmConfig::Hysteresis, "Histeresis:");
    }
    if (shape.persistBox)
        Persist = numberBox("Persist", &AlarmConfig::Persistence, shape.persistCaption.data());
    if (shape.rearmBox)
        Rearm = numberBox("Rearm", &AlarmConfig::Rearm, shape.rearmCaption.data());
    if (numbers_.empty())
        return nullptr;

    frameConsigna_ = named(new QGroupBox(frameAlarma_), "FrameConsigna");
    auto *grid = new QGridLayout(frameConsigna_);
    grid->setContentsMargins(6, 2, 6, 4);
    grid->setVerticalSpacing(2);
    for (int i = 0; i < int(numbers_.size()); ++i) {
        const NumberControl &number = numbers_[i];
        number.box->setParent(frameConsigna_);
        number.label->setParent(frameConsigna_);
        grid->addWidget(number.label, i / 2, (i % 2) * 2);
        grid->addWidget(number.box, i / 2, (i % 2) * 2 + 1);
    }
    return frameConsigna_;
}

QGroupBox *AlarmEditor::buildNotification()
{
    auto *frame = named(new QGroupBox(frameAlarma_), "FrameNotificacion");
    auto *grid = new QGridLayout(frame);
    grid->setContentsMargins(6, 2, 6, 4);
    grid->setVerticalSpacing(2);
    const std::array<QRadioButton *, 4> choices{NotNone, NotSMS, NotVoz, NotGPRS};
    for (int i = 0; i < int(choices.size()); ++i) {
        choices[i]->setParent(frame);
        grid->addWidget(choices[i], i, 0);
    }
    return frame;
}

QGroupBox *AlarmEditor::buildActions()
{
    auto *frame = named(new QGroupBox(frameAlarma_), "FrameAcciones");
    auto *row = column(frame);
    row->addWidget(BotonAlto);
    row->addWidget(BotonBajo);
    if (member_.editor.normalButton) {
        BotonNormal = named(new QPushButton(frame), "BotonNormal");
        row->addWidget(BotonNormal);
    }
    return frame;
}

void AlarmEditor::LoadText()
{
    const AlarmEditorShape &shape = member_.editor;
    Titulo->setText(Translate(QString(shape.heading)) + NumStr(ChannelIndex()));
    setWindowTitle(shape.windowTitle.isEmpty() ? Titulo->text()
                                               : Translate(QString(shape.windowTitle)));
    for (int slot = 0; slot < kMaxSlots; ++slot)
        Config[slot]->setText(alarmSlotCaption(slot));

    frameAlarma_->setTitle(Translate(QStringLiteral("Alarmas")));
    frameNotificacion_->setTitle(Translate(QStringLiteral("Notificacion por")));
    frameTexto_->setTitle(Translate(QStringLiteral("Texto de alarma")));
    frameAcciones_->setTitle(Translate(QStringLiteral("Acciones a ejecutar por alarma")));
    AlarmaHabil->setText(Translate(QStringLiteral("Habilitar alarma")));
    RestHabil->setText(Translate(QStringLiteral("Mensaje restauracion")));
    ReenvHabil->setText(Translate(QStringLiteral("Reenviar")));
    NotNone->setText(Translate(QStringLiteral("No enviar aviso")));
    NotSMS->setText(Translate(QStringLiteral("SMS")));
    NotVoz->setText(Translate(QStringLiteral("SMS y voz")));
    NotGPRS->setText(Translate(QStringLiteral("GPRS")));
    BotonAlto->setText(Translate(QStringLiteral("Valor alto")));
    BotonBajo->setText(Translate(QStringLiteral("Valor bajo")));
    if (BotonNormal)
        BotonNormal->setText(Translate(QStringLiteral("Valor nominal")));
    Horario->LoadText();
    if (frameFlag_) {
        frameFlag_->setTitle(Translate(QStringLiteral("Flag")));
        Flag->LoadText();
    }
    if (frameConsigna_)
        frameConsigna_->setTitle(Translate(QStringLiteral("Parametros de consigna")));
    for (const NumberControl &number : numbers_)
        number.label->setText(Translate(QString::fromLatin1(number.caption)));
}

void AlarmEditor::Clear()
{
    if (const SectionCore *core = sections_.find(QString(member_.editor.name)))
        core->clear(store_);
    else
        clearAlarms(member_, store_);
    LoadData();
}

AlarmConfig *AlarmEditor::shownSlot() const
{
    const std::span<AlarmConfig> channelSlots = alarmSlots(member_, store_, ChannelIndex());
    return configIndex_ < int(channelSlots.size()) ? &channelSlots[configIndex_] : nullptr;
}

void AlarmEditor::LoadData()
{
    if (const std::optional<int> value = recordInterface())
        InterfaceValue = *value;
    loadKindFields();
    const AlarmConfig *slot = shownSlot();
    if (!slot)
        return;
    if (Flag)
        Flag->Combo->showFlag(slot->EnableFlag);
    AlarmaHabil->setChecked(slot->Enabled);
    RestHabil->setChecked(slot->RestoreMessage);
    ReenvHabil->setChecked(slot->Resend);
    // The last of the three that is set ends up chosen.
    const std::array<QRadioButton *, 4> choices{NotNone, NotSMS, NotVoz, NotGPRS};
    shownNotification_ = int(notificationOf(*slot));
    choices[shownNotification_]->setChecked(true);
    showText(TextoAlarma, slot->Text);
    for (const NumberControl &number : numbers_)
        showText(number.box, NumberText(shownNumber(number.field, *slot)));
    Horario->showWindow(slot->Window);
}

void AlarmEditor::StoreControls()
{
    storeKindFields();
    if (recordInterface())
        storeInterface(InterfaceValue);
    AlarmConfig *slot = shownSlot();
    if (!slot)
        return;
    if (Flag)
        Flag->Combo->storeTo(slot->EnableFlag);
    slot->Enabled = AlarmaHabil->checkState() != Qt::Unchecked;
    slot->RestoreMessage = RestHabil->checkState() != Qt::Unchecked;
    slot->Resend = ReenvHabil->checkState() != Qt::Unchecked;
    // Untouched, the switches stay as they came (a file or a unit may hold
    // another form of the same choice); a new choice is written as a unit
    // reports it.
    if (const int chosen = notificationChosen(); chosen != shownNotification_) {
        setNotification(*slot, AlarmNotification(chosen));
        shownNotification_ = chosen;
    }
    storeIfEdited(TextoAlarma, slot->Text);
    std::vector<AlarmNumberBox> boxes;
    for (const NumberControl &number : numbers_)
        boxes.push_back({number.box, number.field,
                         edited(number.box) && numberBoxFault(number.box).isEmpty()});
    storeNumbers(*slot, boxes);
    Horario->storeTo(slot->Window);
}

int AlarmEditor::notificationChosen() const
{
    const std::array<QRadioButton *, 4> choices{NotNone, NotSMS, NotVoz, NotGPRS};
    for (int i = 0; i < int(choices.size()); ++i) {
        if (choices[i]->isChecked())
            return i;
    }
    return shownNotification_;
}

float AlarmEditor::shownNumber(float AlarmConfig::*field, const AlarmConfig &slot) const
{
    return slot.*field;
}

void AlarmEditor::storeNumbers(AlarmConfig &slot, std::span<const AlarmNumberBox> boxes)
{
    for (const AlarmNumberBox &number : boxes) {
        if (!number.edited)
            continue;
        if (const std::optional<float> value = ToFloat32(ParseNumber(number.box->text())))
            slot.*number.field = *value;
    }
}

void AlarmEditor::reload()
{
    LoadText();
    configIndex_ = 0;
    Config[0]->setChecked(true);
    LoadData();
    AlarmaHabil_Click();
}

void AlarmEditor::showSlot(int slot)
{
    if (slot == configIndex_)
        return;
    // A refused number keeps its slot shown, with the cursor in the box and
    // the reason beside it, rather than being lost under the next slot.
    if (const QList<BoxFault> faults = numberBoxFaults(this); !faults.isEmpty()) {
        Config[configIndex_]->setChecked(true);
        QWidget *box = faults.first().box;
        box->setFocus();
        QToolTip::showText(box->mapToGlobal(QPoint(0, box->height())), faults.first().reason, box);
        return;
    }
    StoreControls();
    configIndex_ = slot;
    LoadData();
}

void AlarmEditor::AlarmaHabil_Click()
{
    const bool on = AlarmaHabil->checkState() == Qt::Checked;
    for (QWidget *control : std::initializer_list<QWidget *>{
             RestHabil, ReenvHabil, NotNone, NotSMS, NotVoz, NotGPRS, TextoAlarma, BotonAlto,
             BotonBajo, BotonNormal, Flag})
        if (control)
            control->setEnabled(on);
    for (const NumberControl &number : numbers_)
        number.box->setEnabled(on);
    Horario->setActive(on);
}

void AlarmEditor::editList(ActionList AlarmConfig::*list)
{
    if (AlarmConfig *slot = shownSlot())
        editActions(slot->*list, store_.ActionBuffer, actions_);
}

void AlarmEditor::BotonAlto_Click()
{
    editList(&AlarmConfig::ActionsHigh);
}

void AlarmEditor::BotonBajo_Click()
{
    editList(&AlarmConfig::ActionsLow);
}

void AlarmEditor::BotonNormal_Click()
{
    editList(&AlarmConfig::ActionsNormal);
}

void AlarmEditor::addKindFrame(QWidget *frame)
{
    frame->setParent(this);
    kindArea_->addWidget(frame);
    resize(size().expandedTo(sizeHint()));
}

