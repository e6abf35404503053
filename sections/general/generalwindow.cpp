#include "generalwindow.h"

#include <QAction>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "connectionpanel.h"
#include "files/langtable.h"
#include "files/sectionregistry.h"
#include "infoframe.h"
#include "link/unitconnection.h"
#include "model/configstore.h"
#include "model/product.h"
#include "model/texthelpers.h"
#include "widgets/namedwidget.h"
#include "phoneentry.h"
#include "phonelisteditor.h"
#include "widgets/firmwarewarning.h"
#include "widgets/numberbox.h"

namespace {

const QString kOrange = QStringLiteral("+34656000311");
const QString kVodafone = QStringLiteral("+34607003110");
const QString kMovistar = QStringLiteral("+34609090909");

} // namespace

General::General(UnitConnection &unit, ConfigStore &store, const SectionRegistry &sections,
                 GeneralCommands commands, UserMessage message, QWidget *parent)
    : SectionEditor(parent),
      NameBox(textBox("NameBox", 50, this)),
      SMSCBox(textBox("SMSCBox", 16, this)),
      CSMAmen(named(new QRadioButton(this), "CSMAmen")),
      CSMVoda(named(new QRadioButton(this), "CSMVoda")),
      CSMMovi(named(new QRadioButton(this), "CSMMovi")),
      CSMOtro(named(new QRadioButton(this), "CSMOtro")),
      PTLF(textBox("PTLF", 16, this)),
      RENVT(textBox("RENVT", 3, this)),
      RENVN(textBox("RENVN", 3, this)),
      RestoreText(textBox("RestoreText", 19, this)),
      Warning(named(new QLabel(this), "Warning")),
      WarningText(named(new QLabel(this), "WarningText")),
      Toolbar(named(new QToolBar(this), "Toolbar")),
      Timer1(named(new QTimer(this), "Timer1")),
      unit_(unit),
      store_(store),
      sections_(sections),
      commands_(std::move(commands)),
      message_(std::move(message)),
      phones_(new PhoneListEditor(message_, this)),
      info_(new InfoFrame(this)),
      connection_(new ConnectionPanel(
          {unit, store, sections, message_, this, [this] { return isVisible() && isActiveWindow(); },
           commands_.showDifferences, commands_.readyToSend, commands_.readyToReplace, commands_.configSource},
          this)),
      titulo_(named(new QLabel(this), "Titulo")),
      minutes_(new QLabel(this))
{
    setObjectName(QStringLiteral("General"));
    for (QLineEdit *box : {NameBox, SMSCBox, PTLF, RestoreText})
        refuseSeparators(box);
    buildToolbar();
    makeNumberBox(RENVT, QStringLiteral("General"), QStringLiteral("RENVT"), "Tiempo reenvios");
    makeNumberBox(RENVN, QStringLiteral("General"), QStringLiteral("RENVN"), "Numero reenvios");

    makeHeading(titulo_);

    auto *top = new QHBoxLayout;
    top->addWidget(buildSettings(), 5);
    top->addWidget(phones_, 6);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(connection_, 5);
    bottom->addWidget(info_, 6);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 0, 6, 6);
    layout->setSpacing(4);
    layout->addWidget(Toolbar);
    layout->addWidget(titulo_);
    layout->addLayout(top, 1);
    layout->addLayout(bottom);
    layout->addWidget(firmwareWarningRow(Warning, WarningText, this));

    connect(&unit_, &UnitConnection::infoChanged, this, &General::showDevice);
    connect(&unit_, &UnitConnection::disconnected, this, &General::showDevice);
    connect(Timer1, &QTimer::timeout, this, &General::Timer1_Timer);

    LoadText();
    phones_->LoadMaskSelection(kProductLimits);
    LoadData();
    connection_->SearchBut_Click();
    connection_->ModemCheck_Click();
    phones_->resetEntry();
    showDevice();
    updateWarning();
    Timer1->start(500);
}

QWidget *General::buildSettings()
{
    auto *settings = new QWidget(this);
    auto *column = new QVBoxLayout(settings);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);

    frameName_ = frame("FrameNombre", {NameBox}, settings);
    frameOwn_ = frame("FramePropio", {PTLF}, settings);
    frameRestore_ = frame("FrameRestore", {RestoreText}, settings);
    frameResendTime_ = frame("FrameReenvT", {RENVT, minutes_}, settings);
    frameResendCount_ = frame("FrameReenvN", {RENVN}, settings);

    frameSms_ = named(new QGroupBox(settings), "FrameSMSC");
    auto *sms = new QGridLayout(frameSms_);
    sms->setContentsMargins(6, 2, 6, 4);
    sms->setVerticalSpacing(0);
    sms->addWidget(SMSCBox, 0, 0, 1, 2);
    sms->addWidget(CSMAmen, 1, 0);
    sms->addWidget(CSMVoda, 1, 1);
    sms->addWidget(CSMMovi, 2, 0);
    sms->addWidget(CSMOtro, 2, 1);
    for (QRadioButton *preset : {CSMAmen, CSMVoda, CSMMovi, CSMOtro})
        connect(preset, &QRadioButton::clicked, this, [this, preset] { choosePreset(preset); });

    auto *resend = new QHBoxLayout;
    resend->addWidget(frameResendTime_);
    resend->addWidget(frameResendCount_);

    column->addWidget(frameName_);
    column->addWidget(frameSms_);
    column->addWidget(frameOwn_);
    column->addLayout(resend);
    column->addWidget(frameRestore_);
    column->addStretch();
    return settings;
}

void General::buildToolbar()
{
    Toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    Toolbar->setIconSize(QSize(16, 16));
    abrir_ = Toolbar->addAction(style()->standardIcon(QStyle::SP_DialogOpenButton), QString(),
                                this, &General::Abrir_Click);
    abrir_->setObjectName(QStringLiteral("Abrir"));
    guardar_ = Toolbar->addAction(style()->standardIcon(QStyle::SP_DialogSaveButton), QString(), this,
                                  [this] {
                                      if (commands_.save)
                                          commands_.save();
                                  });
    guardar_->setObjectName(QStringLiteral("Guardar"));
    guardarComo_ = Toolbar->addAction(style()->standardIcon(QStyle::SP_DialogSaveButton), QString(),
                                      this, [this] {
                                          if (commands_.saveAs)
                                              commands_.saveAs();
                                      });
    guardarComo_->setObjectName(QStringLiteral("GuardarComo"));
    idioma_ = Toolbar->addAction(style()->standardIcon(QStyle::SP_FileDialogDetailedView), QString(),
                                 this, [this] {
                                     if (commands_.language)
                                         commands_.language();
                                 });
    idioma_->setObjectName(QStringLiteral("Idioma"));
}

void General::LoadText()
{
    setWindowTitle(Translate(QStringLiteral("Configuracion general")));
    titulo_->setText(Translate(QStringLiteral("Configuracion de parametros generales")));
    frameName_->setTitle(Translate(QStringLiteral("Nombre del equipo")));
    frameSms_->setTitle(Translate(QStringLiteral("Centro servicio SMS")));
    frameOwn_->setTitle(Translate(QStringLiteral("Numero propio")));
    frameResendTime_->setTitle(Translate(QStringLiteral("Tiempo reenvios")));
    frameResendCount_->setTitle(Translate(QStringLiteral("Numero reenvios")));
    frameRestore_->setTitle(Translate(QStringLiteral("Texto restauracion")));
    minutes_->setText(Translate(QStringLiteral("Min.")));
    CSMAmen->setText(Translate(QStringLiteral("Orange")));
    CSMVoda->setText(Translate(QStringLiteral("Vodafone")));
    CSMMovi->setText(Translate(QStringLiteral("Movistar")));
    CSMOtro->setText(Translate(QStringLiteral("Otro")));

    NameBox->setToolTip(Translate(QStringLiteral("Nombre del equipo")));
    PTLF->setToolTip(Translate(QStringLiteral("Numero de telefono de la tarjeta insertada en el Velkan")));
    RENVT->setToolTip(Translate(QStringLiteral("Tiempo entre reenvios de alarma")));
    RENVN->setToolTip(Translate(QStringLiteral("Numero maximo de reenvios de alarma")));
    RestoreText->setToolTip(Translate(QStringLiteral("Texto a pegar cuando desaparece una alarma")));

    abrir_->setText(Translate(QStringLiteral("Abrir")));
    guardar_->setText(Translate(QStringLiteral("Guardar")));
    guardarComo_->setText(Translate(QStringLiteral("Guardar como")));
    idioma_->setText(Translate(QStringLiteral("Idioma")));

    WarningText->setText(Translate(QStringLiteral("La version de firmware del")) + QLatin1Char(' ')
                         + Product::ProductTitle + QLatin1Char(' ')
                         + Translate(QStringLiteral("no soporta el modo extendido en las mascaras, solo "
                                                    "puede seleccionar DI0 a DI7 y A0 a A3.")));
    phones_->LoadText();
    info_->LoadText();
    connection_->LoadText();
}

void General::Clear()
{
    if (const SectionCore *core = sections_.find(QStringLiteral("General")))
        core->clear(store_);
    LoadData();
}

void General::LoadData()
{
    const GeneralSettings &general = store_.General;
    showText(NameBox, general.UnitName);
    showText(SMSCBox, general.SmsCentre);
    showText(RENVT, QString::number(general.ResendMinutes));
    showText(RENVN, QString::number(general.ResendCount));
    showText(PTLF, general.OwnNumber);
    showText(RestoreText, general.RestoreText);
    QStringList rows;
    for (int slot = 0; slot < GeneralSettings::kUsedPhoneSlots; ++slot) {
        if (!general.Phones[slot].Number.isEmpty())
            rows << phoneEntryText(general.Phones[slot]);
    }
    phones_->setRows(rows);
    shownPhones_ = phones_->rows();
    // The presets and the number box follow the shown number, whatever
    // brought it (a file, a download, Clear).
    QRadioButton *preset = presetFor(general.SmsCentre);
    preset->setChecked(true);
    SMSCBox->setEnabled(preset == CSMOtro);
}

void General::StoreControls()
{
    GeneralSettings &general = store_.General;
    storeIfEdited(NameBox, general.UnitName);
    storeIfEdited(SMSCBox, general.SmsCentre);
    storeIfEdited(PTLF, general.OwnNumber);
    storeIfEdited(RestoreText, general.RestoreText);
    storeIfEdited(RENVT, general.ResendMinutes, [](const QString &t) { return ToInt32(ParseNumber(t)); });
    storeIfEdited(RENVN, general.ResendCount, [](const QString &t) { return ToInt16(ParseNumber(t)); });

    // The list shows the phones without the empty slots between them: stored
    // back unedited, it would move them up and change the file and the slot
    // numbers sent. Only a list the operator changed is stored, in its order.
    const QStringList rows = phones_->rows();
    if (rows == shownPhones_)
        return;
    for (int slot = 0; slot < GeneralSettings::kUsedPhoneSlots; ++slot)
        storePhoneEntry(rows.value(slot), general.Phones[slot]);
    shownPhones_ = rows;
}

void General::choosePreset(QRadioButton *button)
{
    button->setChecked(true);
    const QString number = button == CSMAmen   ? kOrange
                            : button == CSMVoda ? kVodafone
                            : button == CSMMovi ? kMovistar
                                                : QString();
    if (number.isEmpty()) {
        SMSCBox->setEnabled(true);
        SMSCBox->setFocus();
        return;
    }
    SMSCBox->setText(number);
    SMSCBox->setEnabled(false);
}

void General::CSMCheck()
{
    choosePreset(presetFor(SMSCBox->text()));
}

QRadioButton *General::presetFor(const QString &number) const
{
    if (number == kMovistar)
        return CSMMovi;
    if (number == kVodafone)
        return CSMVoda;
    if (number == kOrange)
        return CSMAmen;
    return CSMOtro;
}

void General::Abrir_Click()
{
    if (commands_.open)
        commands_.open();
    CSMCheck();
    phones_->selectFirstRow();
    setFocus();
}

// Only a connected unit's values are shown, so that the next unit is never
// read with the previous one's.
void General::showDevice()
{
    if (unit_.isConnected())
        info_->showValues(unit_.Device);
    else
        info_->showNothing();
}

void General::updateWarning()
{
    const bool legacy = unit_.isConnected() && !unit_.Device.has(Feature::ExtendedPhoneMask);
    Warning->setVisible(legacy);
    WarningText->setVisible(legacy);
}

void General::Timer1_Timer()
{
    if (!unit_.downloading())
        StoreControls();
    updateWarning();
}
