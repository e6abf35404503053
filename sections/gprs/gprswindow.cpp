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
    const QString gprs = QStringLiteral("GPRS");
    makeNumberBox(TextAPNRetry, gprs, QStringLiteral("APN_RETRIES"), "Reintentos de conexion:");
    makeNumberBox(TextAPNRetryTime, gprs, QStringLiteral("APN_RETIME"), "Tiempo entre reintentos:");
    makeNumberBox(TextConTimeOut, gprs, QStringLiteral("APN_TIMEOUT"), "Timeout desconexion:");
    makeNumberBox(TextPort, gprs, QStringLiteral("SERVER_PORT"), "Puerto:");
    makeNumberBox(TextTimeout, gprs, QStringLiteral("SERVER_TIMEOUT"), "Timeout:");
    makeNumberBox(TextFTPRetry, gprs, QStringLiteral("FTP_RETRIES"), "Reintentos de conexion:");
    makeNumberBox(TextFTPRetryTime, gprs, QStringLiteral("FTP_RETIME"), "Tiempo entre reintentos:");
    IPInputBox->setCaption(QStringLiteral("Direccion IP del servidor:"));
    IPInputBox1->setCaption(QStringLiteral("Direccion IP del servidor:"));
    buildFrames();

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

// Rows of a caption and its control in the frame's grid: a text box or an
// address takes the rest of the row, a time box has its unit after it; a
// row without a caption is one control across the row.
void GPRS::fillFrame(QGroupBox *frame, std::initializer_list<FrameRow> rows)
{
    auto *grid = new QGridLayout(frame);
    grid->setVerticalSpacing(2);
    grid->setColumnStretch(2, 1);
    grids_.append(grid);
    int at = 0;
    for (const FrameRow &row : rows) {
        if (!row.caption) {
            grid->addWidget(row.control, at++, 0, 1, 3);
            continue;
        }
        grid->addWidget(caption(row.caption), at, 0);
        if (row.shape == FrameRow::Seconds) {
            auto *box = new QHBoxLayout;
            box->addWidget(row.control);
            box->addWidget(caption("Segundos"));
            grid->addLayout(box, at, 1);
        } else {
            grid->addWidget(row.control, at, 1, 1, row.shape == FrameRow::Wide ? 2 : 1);
        }
        ++at;
    }
}

void GPRS::buildFrames()
{
    using R = FrameRow;
    fillFrame(FrameAPN, {{"APN Server:", TextAPNServer, R::Wide},
                         {"APN User Name:", TextAPNUserName, R::Wide},
                         {"APN Password:", TextAPNPassword, R::Wide},
                         {"Reintentos de conexion:", TextAPNRetry, R::Number},
                         {"Tiempo entre reintentos:", TextAPNRetryTime, R::Seconds},
                         {"Timeout desconexion:", TextConTimeOut, R::Seconds}});
    fillFrame(FrameGPRS, {{"Direccion IP del servidor:", IPInputBox, R::Wide},
                          {"Puerto:", TextPort, R::Number},
                          {"Timeout:", TextTimeout, R::Seconds},
                          {nullptr, CheckMantener, R::Wide}});
    fillFrame(FrameFTP, {{"Direccion IP del servidor:", IPInputBox1, R::Wide},
                         {"Ruta:", TextRuta, R::Wide},
                         {"Usuario:", TextFTPUser, R::Wide},
                         {"Contraseña:", TextFTPPass, R::Wide},
                         {"Reintentos de conexion:", TextFTPRetry, R::Number},
                         {"Tiempo entre reintentos:", TextFTPRetryTime, R::Seconds}});
}

// The boxes of the three frames stand in one column, whatever the language.
void GPRS::alignCaptions()
{
    int widest = 0;
    for (const QGridLayout *grid : grids_) {
        for (int row = 0; row < grid->rowCount(); ++row) {
            const QLayoutItem *item = grid->itemAtPosition(row, 0);
            if (const auto *label = item ? qobject_cast<const QLabel *>(item->widget()) : nullptr)
                widest = qMax(widest, label->sizeHint().width());
        }
    }
    for (QGridLayout *grid : grids_)
        grid->setColumnMinimumWidth(0, widest);
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
    alignCaptions();
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
