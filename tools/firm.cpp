#include "firm.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "files/langtable.h"
#include "link/comms.h"
#include "link/deviceinfotext.h"
#include "link/unitconnection.h"
#include "widgets/namedwidget.h"
#include "shell/filecommands.h"

namespace {

const QString kHexFilter = QStringLiteral("Archivo Intel HEX (*.hex)|*.hex|Todos los ficheros (*.*)|*.*");

QString hexReason(IntelHexCheck::Problem problem)
{
    switch (problem) {
    case IntelHexCheck::None:
        break;
    case IntelHexCheck::Empty:
        return Translate(QStringLiteral("El archivo esta vacio"));
    case IntelHexCheck::NotARecord:
        return Translate(QStringLiteral("no es un registro (no empieza por \":\")"));
    case IntelHexCheck::BadDigits:
        return Translate(QStringLiteral("hay caracteres que no son cifras hexadecimales"));
    case IntelHexCheck::BadLength:
        return Translate(QStringLiteral("la longitud del registro no coincide con su numero de bytes"));
    case IntelHexCheck::BadChecksum:
        return Translate(QStringLiteral("la suma de comprobacion no es correcta"));
    case IntelHexCheck::UnknownType:
        return Translate(QStringLiteral("tipo de registro desconocido"));
    case IntelHexCheck::BadTypeLength:
        return Translate(QStringLiteral("registro de fin o de direccion con longitud incorrecta"));
    case IntelHexCheck::NoEndRecord:
        return Translate(QStringLiteral("falta el registro de fin de archivo"));
    case IntelHexCheck::DataAfterEnd:
        return Translate(QStringLiteral("hay datos despues del registro de fin de archivo"));
    case IntelHexCheck::TooLarge:
        return Translate(QStringLiteral("la imagen no cabe en la flash de la unidad (%1 bytes)"))
            .arg(kFirmwareFlashBytes);
    }
    return {};
}

QString reasonText(const FirmwareFile &file)
{
    switch (file.problem) {
    case FirmwareFile::Empty:
        return Translate(QStringLiteral("El archivo esta vacio"));
    case FirmwareFile::TooLarge:
        return Translate(QStringLiteral("El archivo tiene mas de 16 MB"));
    case FirmwareFile::NotIntelHex:
        return Translate(QStringLiteral("Linea %1: %2")).arg(file.hex.line).arg(hexReason(file.hex.problem));
    default:
        return file.reason;
    }
}

// A duration as minutes and seconds.
QString durationText(qint64 seconds)
{
    return QStringLiteral("%1 min %2 s").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

Firm::Firm(UnitConnection &unit, const SectionRegistry &sections, std::function<void(bool)> lockNavigation,
           UserMessage message, QWidget *parent)
    : QWidget(parent),
      Titulo(named(new QLabel(this), "Titulo")),
      LabelFirm(named(new QLabel(this), "LabelFirm")),
      FirmPath(named(new QLineEdit(this), "FirmPath")),
      FirmBut(named(new QPushButton(this), "FirmBut")),
      LabelLoader(named(new QLabel(this), "LabelLoader")),
      LoaderPath(named(new QLineEdit(this), "LoaderPath")),
      LoaderBut(named(new QPushButton(this), "LoaderBut")),
      BackupCheck(named(new QCheckBox(this), "BackupCheck")),
      StarBut(named(new QPushButton(this), "StarBut")),
      LabelInfo(named(new QLabel(this), "LabelInfo")),
      PBar(named(new QProgressBar(this), "PBar")),
      unit_(unit),
      sections_(sections),
      lockNavigation_(std::move(lockNavigation)),
      message_(std::move(message))
{
    setObjectName(QStringLiteral("Firm"));
    askOpenPath = [this](const QString &filter) { return QFileDialog::getOpenFileName(this, {}, {}, filter); };

    makeHeading(Titulo);
    LabelInfo->setWordWrap(true);
    PBar->setRange(0, 1);
    PBar->setValue(0);
    BackupCheck->setChecked(true);

    auto *files = new QGridLayout;
    files->addWidget(LabelFirm, 0, 0, 1, 2);
    files->addWidget(FirmPath, 1, 0);
    files->addWidget(FirmBut, 1, 1);
    files->addWidget(LabelLoader, 2, 0, 1, 2);
    files->addWidget(LoaderPath, 3, 0);
    files->addWidget(LoaderBut, 3, 1);
    files->setColumnStretch(0, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(8);
    layout->addWidget(Titulo);
    layout->addSpacing(12);
    layout->addLayout(files);
    layout->addWidget(BackupCheck);
    layout->addSpacing(12);
    layout->addWidget(StarBut, 0, Qt::AlignLeft);
    layout->addWidget(LabelInfo);
    layout->addWidget(PBar);
    layout->addStretch(1);

    connect(FirmBut, &QPushButton::clicked, this, &Firm::FirmBut_Click);
    connect(LoaderBut, &QPushButton::clicked, this, &Firm::LoaderBut_Click);
    connect(StarBut, &QPushButton::clicked, this, &Firm::StarBut_Click);
    // The captions and the status follow a language change.
    onLanguageChange(this, &Firm::LoadText);

    LoadText();
    showInfo(QStringLiteral("Preparado"));
}

void Firm::LoadText()
{
    Titulo->setText(Translate(QStringLiteral("Actualizacion de firmware")));
    LabelFirm->setText(Translate(QStringLiteral("Ruta del archivo de firmware:")));
    FirmBut->setText(Translate(QStringLiteral("Buscar")));
    LabelLoader->setText(Translate(QStringLiteral("Ruta del archivo CopyFlash:")));
    LoaderBut->setText(Translate(QStringLiteral("Buscar")));
    BackupCheck->setText(Translate(QStringLiteral("Guardar antes la configuracion de la unidad en el historial")));
    StarBut->setText(Translate(QStringLiteral("Iniciar")));
    LabelInfo->setText(Translate(info_));
}

void Firm::showInfo(const QString &spanish)
{
    info_ = spanish;
    LabelInfo->setText(Translate(spanish));
}

RunLock Firm::runLock()
{
    return RunLock(lockNavigation_, {StarBut, FirmBut, LoaderBut, FirmPath, LoaderPath, BackupCheck}, true);
}

void Firm::choose(QLineEdit *path)
{
    const QString chosen = askOpenPath(FileCommands::translatedFilter(kHexFilter));
    if (!chosen.isEmpty())
        path->setText(chosen);
}

void Firm::FirmBut_Click()
{
    choose(FirmPath);
}

void Firm::LoaderBut_Click()
{
    choose(LoaderPath);
}

bool Firm::readFile(const QString &path, QByteArray &bytes)
{
    const FirmwareFile file = readFirmwareFile(path);
    if (!file.ok()) {
        const QString heading = file.problem == FirmwareFile::NotIntelHex
                                    ? Translate(QStringLiteral("El archivo no es un archivo Intel HEX valido"))
                                    : Translate(QStringLiteral("No se puede leer el archivo"));
        message_(QMessageBox::Warning,
                 heading + QStringLiteral("\n\n") + QDir::toNativeSeparators(path) + QStringLiteral("\n")
                     + reasonText(file),
                 QMessageBox::Ok);
        return false;
    }
    bytes = file.bytes;
    return true;
}

// Once, before anything is sent: the unit, the files and how long the line takes.
bool Firm::confirm(const QString &imagePath, qint64 imageSize, const QString &loaderPath, qint64 loaderSize)
{
    const int baud = unit_.comms().timings.firmwareBaud;
    const QString bytes = Translate(QStringLiteral("%1 bytes"));
    const QString text =
        Translate(QStringLiteral("Se va a borrar la flash de la unidad %1 (firmware %2) y cargar:"))
            .arg(unit_.Device.SerialNumber, FirmwareText(unit_.Device.FirmwareVersion))
        + QStringLiteral("\n\n") + QDir::toNativeSeparators(imagePath) + QStringLiteral(": ") + bytes.arg(imageSize)
        + QStringLiteral("\n") + QDir::toNativeSeparators(loaderPath) + QStringLiteral(": ") + bytes.arg(loaderSize)
        + QStringLiteral("\n\n")
        + Translate(QStringLiteral("La transferencia durara %1 a %2 baudios."))
              .arg(durationText(FirmwareTransfer::lineSeconds(imageSize + loaderSize, baud)))
              .arg(baud)
        + QStringLiteral("\n\n") + Translate(QStringLiteral("¿Desea continuar?"));
    return message_(QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

// The unit's configuration into the service history before its flash is
// erased; when that fails, the operator decides whether to go on without it.
bool Firm::keepConfiguration()
{
    ConfigBackup backup;
    if (ServiceHistory *history = unit_.history()) {
        const RunLock lock = runLock();
        showInfo(QStringLiteral("Guardando la configuracion en el historial..."));
        backup = unit_.backUpConfig(*history, sections_, [this](int value, int maximum) {
            PBar->setRange(0, qMax(maximum, 1));
            PBar->setValue(qBound(0, value, PBar->maximum()));
        });
    }
    if (backup.outcome == ConfigBackup::Kept)
        return true;
    QString text = Translate(QStringLiteral("No se pudo guardar la configuracion de la unidad en el historial."));
    if (backup.outcome == ConfigBackup::NotRecorded)
        text += QStringLiteral("\n\n") + fileFailureText(backup.failure);
    text += QStringLiteral("\n\n") + Translate(QStringLiteral("¿Actualizar el firmware sin esa copia?"));
    if (message_(QMessageBox::Warning, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes)
        return true;
    showInfo(QStringLiteral("Preparado"));
    return false;
}

void Firm::StarBut_Click()
{
    if (!unit_.isConnected()) {
        message_(QMessageBox::Information, Translate(QStringLiteral("Debe iniciar la comunicacion primero")),
                 QMessageBox::Ok);
        return;
    }
    const QString imagePath = FirmPath->text();
    const QString loaderPath = LoaderPath->text();
    if (imagePath.isEmpty() || loaderPath.isEmpty()) {
        message_(QMessageBox::Information, Translate(QStringLiteral("Debe seleccionar la ruta de los dos archivos")),
                 QMessageBox::Ok);
        return;
    }
    if (!isLoaderPath(loaderPath)) {
        message_(QMessageBox::Information,
                 Translate(QStringLiteral("El nombre del archivo del cargador debe contener \"CopyFlash\"")),
                 QMessageBox::Ok);
        return;
    }
    // Both files whole and checked before anything goes to the unit.
    QByteArray image, loader;
    if (!readFile(imagePath, image) || !readFile(loaderPath, loader))
        return;
    if (!confirm(imagePath, image.size(), loaderPath, loader.size()))
        return;
    if (BackupCheck->isChecked() && !keepConfiguration())
        return;

    FirmwareResult result;
    {
        const RunLock lock = runLock();
        result = SendFirmware(image, loader);
    }
    if (result.ok()) {
        showInfo(QStringLiteral("Escribiendo imagen en flash, espere a que el led parpadee de nuevo..."));
        // The loader takes over once the link is closed.
        if (unit_.isConnected())
            unit_.disconnectUnit();
        message_(QMessageBox::Warning, Translate(QStringLiteral("NO CORTE LA ALIMENTACION MIENTRAS DURE LA ACTUALIZACION")),
                 QMessageBox::Ok);
        return;
    }
    showInfo(QStringLiteral("¡Error!"));
    // A link closed by the program's own shut-down needs no box.
    if (result.failure != FirmwareFailure::Ended)
        message_(QMessageBox::Critical, Translate(QStringLiteral("¡Error!")), QMessageBox::Ok);
}

FirmwareResult Firm::SendFirmware(const QByteArray &image, const QByteArray &loader)
{
    FirmwareTransfer transfer(unit_.comms());
    connect(&transfer, &FirmwareTransfer::stepStarted, this, &Firm::showStep);
    connect(&transfer, &FirmwareTransfer::imageProgress, this, [this](qint64 goneOut, qint64 total) {
        PBar->setRange(0, int(total));
        PBar->setValue(int(goneOut));
    });
    PBar->setValue(0);
    return unit_.updateFirmware(transfer, image, loader);
}

void Firm::showStep(FirmwareStep step)
{
    switch (step) {
    case FirmwareStep::Erasing:
        showInfo(QStringLiteral("Borrando flash..."));
        break;
    case FirmwareStep::Image:
        showInfo(QStringLiteral("Cargando imagen..."));
        break;
    case FirmwareStep::Loader:
        showInfo(QStringLiteral("Cargando CopyFlash en RAM..."));
        break;
    }
}
