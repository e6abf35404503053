#pragma once

#include <QComboBox>
#include <QWidget>
#include <QtGlobal>

#include <optional>

class QLabel;

// The condition an alarm or a timer runs under: "TRUE" (item data 0) or one
// of the flags "F0" to "F15" (item data 1 to 16). The items are fixed when the
// box is built and never translated.
class FlagCombo : public QComboBox {
    Q_OBJECT
public:
    static constexpr int kChoices = 17;

    explicit FlagCombo(QWidget *parent = nullptr);

    // Selects the item of the value; a value outside 0-16 selects nothing.
    void showFlag(qint16 value);
    // The selected item's data; none when nothing is selected.
    std::optional<qint16> flag() const;
    // Stores the selected item's data; with nothing selected the field keeps
    // what it holds (a value from a file that no item shows survives).
    void storeTo(qint16 &field) const;
};

// The box between its labels, "Habilitar sí" `FlagCombo` "= TRUE", enabled
// and disabled as one.
class FlagChoice : public QWidget {
    Q_OBJECT
public:
    explicit FlagChoice(QWidget *parent = nullptr);

    void LoadText();

    QLabel *LabelHabil;
    FlagCombo *Combo;
    QLabel *LabelTrue;
};
