#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <initializer_list>

#include "shell/sectioneditor.h"

class AddressBox;
class QCheckBox;
class QGroupBox;
class QLabel;
class QGridLayout;
class QLineEdit;
class SectionRegistry;
struct ConfigStore;

// "Configuracion parametros GPRS": the access point, the GPRS server and the
// FTP server the unit sends files to.
class GPRS : public SectionEditor {
    Q_OBJECT
public:
    GPRS(ConfigStore &store, const SectionRegistry &sections, QWidget *parent = nullptr);

    void LoadText() override;
    void Clear() override;
    void LoadData() override;
    void StoreControls() override;

    QLabel *Titulo;
    QGroupBox *FrameAPN;
    QGroupBox *FrameGPRS;
    QGroupBox *FrameFTP;
    QLineEdit *TextAPNServer;
    QLineEdit *TextAPNUserName;
    QLineEdit *TextAPNPassword;
    QLineEdit *TextAPNRetry;
    QLineEdit *TextAPNRetryTime;
    QLineEdit *TextConTimeOut;
    QCheckBox *CheckHabilGPRS;
    QCheckBox *CheckMantener;
    AddressBox *IPInputBox;
    QLineEdit *TextPort;
    QLineEdit *TextTimeout;
    AddressBox *IPInputBox1;
    QLineEdit *TextRuta;
    QLineEdit *TextFTPUser;
    QLineEdit *TextFTPPass;
    QLineEdit *TextFTPRetry;
    QLineEdit *TextFTPRetryTime;

private:
    struct FrameRow {
        enum Shape { Number, Wide, Seconds };
        const char *caption; // null: the control alone across the row
        QWidget *control;
        Shape shape;
    };

    void buildFrames();
    void fillFrame(QGroupBox *frame, std::initializer_list<FrameRow> rows);
    void alignCaptions();
    // A caption label, remembered so that LoadText can set it.
    QLabel *caption(const char *text);

    ConfigStore &store_;
    const SectionRegistry &sections_;
    // Every caption label with its base text, in building order.
    QList<QPair<QLabel *, QString>> captions_;
    QList<QGridLayout *> grids_;
};
