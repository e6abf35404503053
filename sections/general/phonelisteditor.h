#pragma once

#include <QGroupBox>
#include <QStringList>

#include "model/product.h"
#include "widgets/usermessage.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;

// "Lista telefonos autorizados": the list of authorised numbers and the entry
// fields that add a row or take one back for editing. Rows are phone entry
// texts; the window stores them into the model.
class PhoneListEditor : public QGroupBox {
    Q_OBJECT
public:
    static constexpr int kMaxRows = 20;
    static constexpr int kMaxMaskChannels = 16;

    PhoneListEditor(UserMessage message, QWidget *parent = nullptr);

    void LoadText();
    void LoadMaskSelection(const ProductLimits &limits);

    QStringList rows() const;
    void setRows(const QStringList &rows);
    void selectFirstRow();
    // The entry fields as a new form shows them.
    void resetEntry();

    void Anadir_Click();
    void Borrar_Click();
    void ListaTlf_DblClick();
    void CheckMask_Click();

    QLineEdit *NewTlf;
    QComboBox *PrioBox;
    QComboBox *Privilegios;
    QCheckBox *CheckMask;
    QRadioButton *MaskInclude;
    QRadioButton *MaskExclude;
    QListWidget *MaskSelection;
    QListWidget *ListaTlf;
    QPushButton *Anadir;
    QPushButton *Borrar;

private:
    int maskModeOfFields() const;
    QString entryFromFields(bool *tooManyChannels) const;
    void loadEntry(const QString &entry);
    static void selectByData(QComboBox *box, int value);

    UserMessage message_;
    QLabel *tlfCaption_;
    QLabel *prioCaption_;
    QLabel *privCaption_;
    QLabel *listCaption_;
};
