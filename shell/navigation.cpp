#include "navigation.h"

namespace {

void addNumbered(QList<NavNode> &nodes, const QString &parent, const QString &keyPrefix,
                 const QString &window, int count)
{
    for (int n = 0; n < count; ++n)
        nodes.append({keyPrefix + QString::number(n), QString::number(n), false, parent, window, n});
}

// A timer family: its branch and four groups of four timers.
void addTimerFamily(QList<NavNode> &nodes, const QString &family, const QString &caption)
{
    nodes.append({family, caption, true, "Timer", {}, -1});
    for (int first = 0; first < 16; first += 4) {
        const QString range = QString::number(first) + "-" + QString::number(first + 3);
        const QString key = family + QString::number(first) + "_" + QString::number(first + 3);
        nodes.append({key, range, false, family, family, first});
    }
}

} // namespace

QList<NavNode> navigationNodes(const ProductLimits &limits)
{
    const QString root = QStringLiteral("Zelmor");
    QList<NavNode> nodes;
    nodes.append({root, Product::ProductTitle, false, {}, {}, -1});
    nodes.append({"General", "General", true, root, "General", 0});
    nodes.append({"Timer", "Temporizadores", true, root, {}, -1});
    addTimerFamily(nodes, "CTimer", "Ciclicos");
    addTimerFamily(nodes, "WTimer", "Semanales");
    addTimerFamily(nodes, "MTimer", "Mensuales");
    addTimerFamily(nodes, "LTimer", "Largos");
    if (limits.OneWireCount > 0) {
        nodes.append({"E_OneWire", "Sondas", true, root, {}, -1});
        addNumbered(nodes, "E_OneWire", "E_OneWire_", "E_OneWire", limits.OneWireCount);
    }
    nodes.append({"E_Digital", "E.Digitales", true, root, {}, -1});
    addNumbered(nodes, "E_Digital", "E_Digital_", "E_Digital", limits.DigitalCount);
    // The flow-meter branch itself opens the sample-rate and totaliser settings.
    nodes.append({"Caudal", "Caudalimetros", true, root, "SampleRate", -1});
    addNumbered(nodes, "Caudal", "Caudal_", "Caudal", limits.FlowCount);
    // Math channels and flags are always four and sixteen in the tree.
    nodes.append({"E_Math", "C.Matematicos", true, root, {}, -1});
    addNumbered(nodes, "E_Math", "E_Math_", "E_Math", 4);
    nodes.append({"Flags", "Flags", true, root, {}, -1});
    addNumbered(nodes, "Flags", "Flag_", "Flags", 16);
    nodes.append({"Aut_Voz", "Autorizados Voz", true, root, "Aut_Voz", 0});
    nodes.append({"GPRS", "GPRS", false, root, "GPRS", 0});
    nodes.append({"Macros", "Macros", true, root, "Macros", -1});
    nodes.append({"T_Real", "T.Real", true, root, "T_Real_Zelmor", -1});
    nodes.append({"Firmware", "Firmware", false, root, "Firm", -1});
    nodes.append({"Terminal", "Terminal", false, root, "Terminal", -1});
    nodes.append({"Historial", "Historial", true, root, "Historial", -1});
    return nodes;
}
