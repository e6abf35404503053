#include "gprswindow.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "files/langtable.h"
#include "files/sectionregistry.h"
#include "model/configstore.h"
#include "model/texthelpers.h"
#include "widgets/addressbox.h"
#include "widgets/namedwidget.h"
#include "widgets/numberbox.h"

namespace {

// What the file keeps of a text; the unit reports all settings on one
// comma-separated line, so a comma would shift every later value.
constexpr int kTextLength = 254;

QLineEdit *numberBox(const char *objectName, int maxLength, QWidget *parent)
{
    auto *box = named(new QLineEdit(parent), objectName);
    box->setMaxLength(maxLength);
    box->setMaximumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 12);
    return box;
}

// Addresses as typed ("192.168.1.10"); a host name or the default "0" from
// the unit or a file shows as it stands and stays unless the operator edits.
AddressBox *addressBox(const char *objectName, QWidget *parent)
{
    return named(new AddressBox(parent, AddressBox::Digits::Plain, AddressBox::Other::AsItStands),
                 objectName);
}

std::optional<qint16> int16Of(const QString &text)
{
    return ToInt16(ParseNumber(text));
}

std::optional<qint32> int32Of(const QString &text)
{
    return ToInt32(ParseNumber(text));
}

} // namespace

GPRS::GPRS(ConfigStore &store, const SectionRegistry &sections, QWidget *parent)
    : SectionEditor(parent),
      Titulo(named(new QLabel(this), "Titulo")),
      FrameAPN(named(new QGroupBox(this), "FrameAPN")),
      FrameGPRS(named(new QGroupBox(this), "FrameGPRS")),
      FrameFTP(named(new QGroupBox(this), "FrameFTP")),
      TextAPNServer(named(new QLineEdit(this), "TextAPNServer")),
      TextAPNUserName(named(new QLineEdit(this), "TextAPNUserName")),
      TextAPNPassword(named(new QLineEdit(this), "TextAPNPassword")),
      TextAPNRetry(numberBox("TextAPNRetry", 2, this)),
      TextAPNRetryTime(numberBox("TextAPNRetryTime", 3, this)),
      TextConTimeOut(numberBox("TextConTimeOut", 4, this)),
      CheckHabilGPRS(named(new QCheckBox(this), "CheckHabilGPRS")),
      CheckMantener(named(new QCheckBox(this), "CheckMantener")),
      IPInputBox(addressBox("IPInputBox", this)),
      TextPort(numberBox("TextPort", 5, this)),
      TextTimeout(numberBox("TextTimeout", 4, this)),
      IPInputBox1(addressBox("IPInputBox1", this)),
      TextRuta(named(new QLineEdit(this), "TextRuta")),
      TextFTPUser(named(new QLineEdit(this), "TextFTPUser")),
      TextFTPPass(named(new QLineEdit(this), "TextFTPPass")),
      TextFTPRetry(numberBox("TextFTPRetry", 2, this)),
      TextFTPRetryTime(numberBox("TextFTPRetryTime", 4, this)),
      store_(store),
      sections_(sections)
{
    setObjectName(QStringLiteral("GPRS"));
    makeHeading(Titulo);
    for (QLineEdit *box : {TextAPNServer, TextAPNUserName, TextAPNPassword, TextRuta, TextFTPUser,
                           TextFTPPass}) {
        box->setMaxLength(kTextLength);
        refuseSeparators(box);
    }
    const NumberRange count = NumberRanges::Count16;
    makeNumberBox(TextAPNRetry, count, "Reintentos de conexion:");
    makeNumberBox(TextAPNRetryTime, count, "Tiempo entre reintentos:");
    makeNumberBox(TextConTimeOut, count, "Timeout desconexion:");
    makeNumberBox(TextPort, NumberRanges::Port, "Puerto:");
    makeNumberBox(TextTimeout, count, "Timeout:");
    makeNumberBox(TextFTPRetry, count, "Reintentos de conexion:");
    makeNumberBox(TextFTPRetryTime, count, "Tiempo entre reintentos:");
    buildApnFrame();
    buildGprsFrame();
    buildFtpFrame();

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Titulo);
    layout->addWidget(CheckHabilGPRS);
    layout->addWidget(FrameAPN);
    layout->addWidget(FrameGPRS);
    layout->addWidget(FrameFTP);
    layout->addStretch();

    LoadText();
    LoadData();
}

QLabel *GPRS::caption(const char *text)
{
    auto *label = new QLabel(this);
    captions_.append({label, QString::fromUtf8(text)});
    return label;
}

// A time box followed by its unit.
QLayout *GPRS::inSeconds(QLineEdit *box)
{
    auto *row = new QHBoxLayout;
    row->addWidget(box);
    row->addWidget(caption("Segundos"));
    row->addStretch();
    return row;
}

// Rows of a caption and its box.
void GPRS::buildApnFrame()
{
    auto *grid = new QGridLayout(FrameAPN);
    grid->setVerticalSpacing(2);
    grid->addWidget(caption("APN Server:"), 0, 0);
    grid->addWidget(TextAPNServer, 0, 1, 1, 2);
    grid->addWidget(caption("APN User Name:"), 1, 0);
    grid->addWidget(TextAPNUserName, 1, 1, 1, 2);
    grid->addWidget(caption("APN Password:"), 2, 0);
    grid->addWidget(TextAPNPassword, 2, 1, 1, 2);
    grid->addWidget(caption("Reintentos de conexion:"), 3, 0);
    grid->addWidget(TextAPNRetry, 3, 1);
    grid->addWidget(caption("Tiempo entre reintentos:"), 4, 0);
    grid->addLayout(inSeconds(TextAPNRetryTime), 4, 1);
    grid->addWidget(caption("Timeout desconexion:"), 5, 0);
    grid->addLayout(inSeconds(TextConTimeOut), 5, 1);
    grid->setColumnStretch(2, 1);
}

void GPRS::buildGprsFrame()
{
    auto *grid = new QGridLayout(FrameGPRS);
    grid->setVerticalSpacing(2);
    grid->addWidget(caption("Direccion IP del servidor:"), 0, 0);
    grid->addWidget(IPInputBox, 0, 1);
    grid->addWidget(caption("Puerto:"), 1, 0);
    grid->addWidget(TextPort, 1, 1);
    grid->addWidget(caption("Timeout:"), 2, 0);
    grid->addLayout(inSeconds(TextTimeout), 2, 1);
    grid->addWidget(CheckMantener, 3, 0, 1, 3);
    grid->setColumnStretch(2, 1);
}

void GPRS::buildFtpFrame()
{
    auto *grid = new QGridLayout(FrameFTP);
    grid->setVerticalSpacing(2);
    grid->addWidget(caption("Direccion IP del servidor:"), 0, 0);
    grid->addWidget(IPInputBox1, 0, 1);
    grid->addWidget(caption("Ruta:"), 1, 0);
    grid->addWidget(TextRuta, 1, 1, 1, 2);
    grid->addWidget(caption("Usuario:"), 2, 0);
    grid->addWidget(TextFTPUser, 2, 1, 1, 2);
    grid->addWidget(caption("Contraseña:"), 3, 0);
    grid->addWidget(TextFTPPass, 3, 1, 1, 2);
    grid->addWidget(caption("Reintentos de conexion:"), 4, 0);
    grid->addWidget(TextFTPRetry, 4, 1);
    grid->addWidget(caption("Tiempo entre reintentos:"), 5, 0);
    grid->addLayout(inSeconds(TextFTPRetryTime), 5, 1);
    grid->setColumnStretch(2, 1);
}

void GPRS::LoadText()
{
    Titulo->setText(Translate(QStringLiteral("Configuracion parametros GPRS")));
    setWindowTitle(Titulo->text());
    CheckHabilGPRS->setText(Translate(QStringLiteral("Habilitar comunicacion GPRS")));
    CheckMantener->setText(Translate(QStringLiteral("Mantener la conexion permanentemente")));
    FrameAPN->setTitle(Translate(QStringLiteral("Parametros de la APN")));
    FrameGPRS->setTitle(Translate(QStringLiteral("Parametros GPRS")));
    FrameFTP->setTitle(Translate(QStringLiteral("Parametros FTP")));
    for (const auto &[label, text] : captions_)
        label->setText(Translate(text));
}

void GPRS::Clear()
{
    if (const SectionCore *core = sections_.find(QStringLiteral("GPRS")))
        core->clear(store_);
    LoadData();
}

void GPRS::LoadData()
{
    const GprsConfig &gprs = store_.Gprs;
    showText(TextAPNServer, gprs.ApnServer);
    showText(TextAPNUserName, gprs.ApnUser);
    showText(TextAPNPassword, gprs.ApnPassword);
    showText(TextAPNRetry, QString::number(gprs.ApnRetries));
    showText(TextAPNRetryTime, QString::number(gprs.ApnRetryTime));
    showText(TextConTimeOut, QString::number(gprs.ApnTimeout));
    CheckMantener->setChecked(gprs.KeepConnected);
    IPInputBox->showAddress(gprs.ServerIp);
    showText(TextPort, QString::number(gprs.ServerPort));
    showText(TextTimeout, QString::number(gprs.ServerTimeout));
    CheckHabilGPRS->setChecked(gprs.GprsEnabled);
    IPInputBox1->showAddress(gprs.FtpIp);
    showText(TextRuta, gprs.FtpPath);
    showText(TextFTPUser, gprs.FtpUser);
    showText(TextFTPPass, gprs.FtpPassword);
    showText(TextFTPRetry, QString::number(gprs.FtpRetries));
    showText(TextFTPRetryTime, QString::number(gprs.FtpRetryTime));
}

void GPRS::StoreControls()
{
    GprsConfig &gprs = store_.Gprs;
    storeIfEdited(TextAPNServer, gprs.ApnServer);
    storeIfEdited(TextAPNUserName, gprs.ApnUser);
    storeIfEdited(TextAPNPassword, gprs.ApnPassword);
    storeIfEdited(TextAPNRetry, gprs.ApnRetries, int16Of);
    storeIfEdited(TextAPNRetryTime, gprs.ApnRetryTime, int16Of);
    storeIfEdited(TextConTimeOut, gprs.ApnTimeout, int16Of);
    gprs.KeepConnected = CheckMantener->isChecked();
    IPInputBox->storeIfEdited(gprs.ServerIp);
    storeIfEdited(TextPort, gprs.ServerPort, int32Of);
    storeIfEdited(TextTimeout, gprs.ServerTimeout, int16Of);
    gprs.GprsEnabled = CheckHabilGPRS->isChecked();
    IPInputBox1->storeIfEdited(gprs.FtpIp);
    storeIfEdited(TextRuta, gprs.FtpPath);
    storeIfEdited(TextFTPUser, gprs.FtpUser);
    storeIfEdited(TextFTPPass, gprs.FtpPassword);
    storeIfEdited(TextFTPRetry, gprs.FtpRetries, int16Of);
    storeIfEdited(TextFTPRetryTime, gprs.FtpRetryTime, int16Of);
}
