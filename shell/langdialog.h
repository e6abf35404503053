#pragma once

#include <QDialog>

class LangTable;
class QComboBox;
class QPushButton;

// "Select Language": the languages named in the table's first line. OK
// selects the language at the chosen position; Cancel changes nothing.
class LangDialog : public QDialog {
    Q_OBJECT
public:
    explicit LangDialog(const QStringList &choices, QWidget *parent = nullptr);

    // The language number of the selected entry (positions count from 1).
    qint16 selectedLanguage() const;

    // Shows the dialog modal with the language in use selected; on OK sets
    // lang.LangSel and Qt's own texts follow it. True when OK was chosen.
    // Without any language name there is nothing to choose: only Cancel works.
    static bool askUser(LangTable &lang, QWidget *parent = nullptr);

    QComboBox *ComboLang = nullptr;
    QPushButton *CommandOk = nullptr;
    QPushButton *CommandCancel = nullptr;
};
