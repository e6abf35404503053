#pragma once

#include <QGroupBox>

class QLabel;
class QProgressBar;
struct DeviceValues;

// "Informacion del dispositivo": the unit's identity values as the last
// identity stream left them.
class InfoFrame : public QGroupBox {
    Q_OBJECT
public:
    explicit InfoFrame(QWidget *parent = nullptr);

    void LoadText();
    void showValues(const DeviceValues &values);
    // No unit: every value box empty.
    void showNothing();

    // Below this level (of 0 to 32) data calls may fail.
    static constexpr int kWeakSignal = 10;

    QLabel *FirmText;
    QLabel *SerialText;
    QLabel *VBatText;
    QProgressBar *RSSIBar;
    QLabel *Label9;
    QLabel *MaxHText;
    QLabel *UsedHText;

private:
    QLabel *caption(const char *objectName);
    void showSignalWarning(bool weak);

    QLabel *firmCaption_;
    QLabel *serialCaption_;
    QLabel *vbatCaption_;
    QLabel *gsmCaption_;
    QLabel *maxHCaption_;
    QLabel *usedHCaption_;
};
