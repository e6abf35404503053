#pragma once

#include <QString>
#include <QWidget>
#include <functional>

#include "link/firmwaretransfer.h"
#include "widgets/runlock.h"
#include "widgets/usermessage.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class SectionRegistry;
class UnitConnection;

// "Actualizacion de firmware": replaces the unit's firmware with an image and
// the flash-copy loader, then hands the unit over to the loader and closes
// the link. Both files must be Intel HEX, the operator confirms what is about
// to happen, and the unit's configuration goes to the service history first.
class Firm : public QWidget {
    Q_OBJECT
public:
    // lockNavigation(true) greys the navigation tree for the length of a run.
    Firm(UnitConnection &unit, const SectionRegistry &sections, std::function<void(bool)> lockNavigation,
         UserMessage message = productMessage, QWidget *parent = nullptr);

    void LoadText();

    void FirmBut_Click();
    void LoaderBut_Click();
    void StarBut_Click();

    // The open dialog, given the filter; empty when cancelled. Tests replace it.
    std::function<QString(const QString &filter)> askOpenPath;

    QLabel *Titulo;
    QLabel *LabelFirm;
    QLineEdit *FirmPath;
    QPushButton *FirmBut;
    QLabel *LabelLoader;
    QLineEdit *LoaderPath;
    QPushButton *LoaderBut;
    QCheckBox *BackupCheck;
    QPushButton *StarBut;
    QLabel *LabelInfo;
    QProgressBar *PBar;

private:
    // The busy pointer, the tree and the window's controls, for a run.
    RunLock runLock();
    void choose(QLineEdit *path);
    bool readFile(const QString &path, QByteArray &bytes);
    bool confirm(const QString &imagePath, qint64 imageSize, const QString &loaderPath, qint64 loaderSize);
    bool keepConfiguration();
    FirmwareResult SendFirmware(const QByteArray &image, const QByteArray &loader);
    void showStep(FirmwareStep step);
    // The status line, kept as written so that a language change shows it again.
    void showInfo(const QString &spanish);

    UnitConnection &unit_;
    const SectionRegistry &sections_;
    std::function<void(bool)> lockNavigation_;
    UserMessage message_;
    QString info_;
};
