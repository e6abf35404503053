#pragma once

#include "widgets/usermessage.h"
#include "shell/sectioneditor.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class SectionRegistry;
struct ConfigStore;

// "Configuracion Macros / Ecuaciones": the pool of command macros and
// equations, one row each, in the order they were added.
class Macros : public SectionEditor {
    Q_OBJECT
public:
    Macros(ConfigStore &store, const SectionRegistry &sections,
           UserMessage message = productMessage, QWidget *parent = nullptr);

    void LoadText() override;
    void Clear() override;
    void LoadData() override;
    void StoreControls() override;
    // Rows sharing a macro number: kept as read and shown, but not sent.
    QList<BoxFault> uploadFaults() override;

    void AddBut_Click();
    void AddEqBut_Click();
    void DelBut_Click();
    void MacroPool_DblClick();

    QLabel *Titulo;
    QComboBox *MacroNum;
    QLineEdit *MacroCommand;
    QLineEdit *MacroName;
    QListWidget *MacroPool;
    QLabel *FreeMem;
    QLabel *UploadNotice;
    QLabel *RepeatedNotice;
    QPushButton *AddBut;
    QPushButton *AddEqBut;
    QPushButton *DelBut;

private:
    QStringList shownRows_; // the pool as LoadData showed it
    // A row built from the boxes joins the pool; false when it was refused.
    bool addRow(const QString &row);
    void tell(const QString &text);
    void showBudget();

    ConfigStore &store_;
    const SectionRegistry &sections_;
    UserMessage message_;
    QLabel *labelNum_;
    QLabel *labelCommand_;
    QLabel *labelName_;
    QLabel *labelPool_;
};
