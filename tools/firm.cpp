#include "firm.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "files/langtable.h"
#include "link/unitconnection.h"
#include "widgets/namedwidget.h"
#include "shell/filecommands.h"

namespace {

constexpr QSize kFormSize(649, 566);
constexpr int kCaptionTickMs = 500;

const QString kHexFilter = QStringLiteral("Intel hex file (*.hex)|*.hex|Todos los ficheros (*.*)|*.*");

QString reasonText(const FirmwareFile &file)
{
    switch (file.problem) {
    case FirmwareFile::Empty:
        return Translate(QStringLiteral("El archivo esta vacio"));
    case FirmwareFile::TooLarge:
        return Translate(QStringLiteral("El archivo tiene mas de 16 MB"));
    default:
        return file.reason;
    }
}

} // namespace

// For the length of a run: the busy pointer, the navigation tree and the
// window's own controls locked, all of it given back however the run ends.
class Firm::RunLock {
public:
    explicit RunLock(Firm &firm) : firm_(firm) { set(true); }
    ~RunLock() { set(false); }
    RunLock(const RunLock &) = delete;
    RunLock &operator=(const RunLock &) = delete;

private:
    void set(bool on)
    {
        if (on)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
        if (firm_.lockNavigation_)
            firm_.lockNavigation_(on);
        for (QWidget *w : {static_cast<QWidget *>(firm_.StarBut), static_cast<QWidget *>(firm_.FirmBut),
                           static_cast<QWidget *>(firm_.LoaderBut), static_cast<QWidget *>(firm_.FirmPath),
                           static_cast<QWidget *>(firm_.LoaderPath)})
            w->setEnabled(!on);
    }

    Firm &firm_;
};

Firm::Firm(UnitConnection &unit, std::function<void(bool)> lockNavigation, UserMessage message,
           QWidget *parent)
    : QWidget(parent),
      Titulo(named(new QLabel(this), "Titulo")),
      LabelFirm(named(new QLabel(this), "LabelFirm")),
      FirmPath(named(new QLineEdit(this), "FirmPath")),
      FirmBut(named(new QPushButton(this), "FirmBut")),
      LabelLoader(named(new QLabel(this), "LabelLoader")),
      LoaderPath(named(new QLineEdit(this), "LoaderPath")),
      LoaderBut(named(new QPushButton(this), "LoaderBut")),
      StarBut(named(new QPushButton(this), "StarBut")),
      LabelInfo(named(new QLabel(this), "LabelInfo")),
      PBar(named(new QProgressBar(this), "PBar")),
      Timer1(named(new QTimer(this), "Timer1")),
      unit_(unit),
      lockNavigation_(std::move(lockNavigation)),
      message_(std::move(message))
{
    setObjectName(QStringLiteral("Firm"));
    setFixedSize(kFormSize);
    askOpenPath = [this](const QString &filter) { return QFileDialog::getOpenFileName(this, {}, {}, filter); };

    makeHeading(Titulo);
    LabelInfo->setWordWrap(true);
    PBar->setRange(0, 1);
    PBar->setValue(0);

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
    layout->addSpacing(12);
    layout->addWidget(StarBut, 0, Qt::AlignLeft);
    layout->addWidget(LabelInfo);
    layout->addWidget(PBar);
    layout->addStretch(1);

    connect(FirmBut, &QPushButton::clicked, this, &Firm::FirmBut_Click);
    connect(LoaderBut, &QPushButton::clicked, this, &Firm::LoaderBut_Click);
    connect(StarBut, &QPushButton::clicked, this, &Firm::StarBut_Click);
    // The captions follow a language change; the status keeps the outcome.
    connect(Timer1, &QTimer::timeout, this, &Firm::LoadText);

    LoadText();
    LabelInfo->setText(Translate(QStringLiteral("Preparado")));
    Timer1->start(kCaptionTickMs);
}

void Firm::LoadText()
{
    Titulo->setText(Translate(QStringLiteral("Actualizacion de firmware")));
    LabelFirm->setText(Translate(QStringLiteral("Ruta del archivo de firmware:")));
    FirmBut->setText(Translate(QStringLiteral("Buscar")));
    LabelLoader->setText(Translate(QStringLiteral("Ruta del archivo CopyFlash:")));
    LoaderBut->setText(Translate(QStringLiteral("Buscar")));
    StarBut->setText(Translate(QStringLiteral("Iniciar")));
}

void Firm::choose(QLineEdit *path)
{
    QString filter = FileCommands::dialogFilter(Translate(kHexFilter));
    if (filter.isEmpty())
        filter = FileCommands::dialogFilter(kHexFilter);
    const QString chosen = askOpenPath(filter);
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
        message_(QMessageBox::Warning,
                 Translate(QStringLiteral("No se puede leer el archivo")) + QStringLiteral("\n\n")
                     + QDir::toNativeSeparators(path) + QStringLiteral("\n") + reasonText(file),
                 QMessageBox::Ok);
        return false;
    }
    bytes = file.bytes;
    return true;
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
    if (imagePath.isEmpty() || loaderPath.isEmpty() || !isLoaderPath(loaderPath)) {
        message_(QMessageBox::Information, Translate(QStringLiteral("Debe seleccionar la ruta de los dos archivos")),
                 QMessageBox::Ok);
        return;
    }
    // Both files whole before anything goes to the unit.
    QByteArray image, loader;
    if (!readFile(imagePath, image) || !readFile(loaderPath, loader))
        return;

    FirmwareResult result;
    {
        RunLock lock(*this);
        result = SendFirmware(image, loader);
    }
    if (result.ok()) {
        LabelInfo->setText(
            Translate(QStringLiteral("Escribiendo imagen en flash, espere a que el led parpadee de nuevo...")));
        // The loader takes over once the link is closed.
        if (unit_.isConnected())
            unit_.disconnectUnit();
        message_(QMessageBox::Warning, Translate(QStringLiteral("NO CORTE LA ALIMENTACION MIENTRAS DURE LA ACTUALIZACION")),
                 QMessageBox::Ok);
        return;
    }
    LabelInfo->setText(Translate(QStringLiteral("¡Error!")));
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
        LabelInfo->setText(Translate(QStringLiteral("Borrando flash...")));
        break;
    case FirmwareStep::Image:
        LabelInfo->setText(Translate(QStringLiteral("Cargando imagen...")));
        break;
    case FirmwareStep::Loader:
        LabelInfo->setText(Translate(QStringLiteral("Cargando CopyFlash en RAM...")));
        break;
    }
}
