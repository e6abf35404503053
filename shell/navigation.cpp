#include "navigation.h"

#include <QHash>
#include <algorithm>

#include "files/sectionnames.h"

namespace {

const QString kRoot = QStringLiteral("Zelmor");

void addNumbered(QList<NavNode> &nodes, const QString &parent, const QString &keyPrefix,
                 const QString &window, int count)
{
    for (int n = 0; n < count; ++n)
        nodes.append({keyPrefix + QString::number(n), QString::number(n), false, parent, window, n});
}

// A timer family: its branch under "Temporizadores" and four groups of four timers.
void addTimerFamily(QList<NavNode> &nodes, const QString &family, const QString &caption)
{
    const bool first = std::none_of(nodes.cbegin(), nodes.cend(), [](const NavNode &n) { return n.key == "Timer"; });
    if (first)
        nodes.append({"Timer", "Temporizadores", true, kRoot, {}, -1});
    nodes.append({family, caption, true, "Timer", {}, -1});
    for (int from = 0; from < 16; from += 4) {
        const QString range = QString::number(from) + "-" + QString::number(from + 3);
        const QString key = family + QString::number(from) + "_" + QString::number(from + 3);
        nodes.append({key, range, false, family, family, from});
    }
}

// A window of one channel per node: the branch (when the window has its own)
// and a numbered node per channel.
struct ChannelNodes {
    QString branch;
    QString caption; // empty: the branch is another window's node
    QString keyPrefix;
    int count;
};

void addWindow(QList<NavNode> &nodes, const QString &window, const ProductLimits &limits)
{
    static const QHash<QString, NavNode> single = {
        {"General", {"General", "General", true, kRoot, "General", 0}},
        // The flow-meter branch itself opens the sample-rate and totaliser settings.
        {"SampleRate", {"Caudal", "Caudalimetros", true, kRoot, "SampleRate", -1}},
        {"Aut_Voz", {"Aut_Voz", "Autorizados Voz", true, kRoot, "Aut_Voz", 0}},
        {"GPRS", {"GPRS", "GPRS", false, kRoot, "GPRS", 0}},
        {"Macros", {"Macros", "Macros", true, kRoot, "Macros", -1}},
        {"T_Real_Zelmor", {"T_Real", "T.Real", true, kRoot, "T_Real_Zelmor", -1}},
        {"Firm", {"Firmware", "Firmware", false, kRoot, "Firm", -1}},
        {"Terminal", {"Terminal", "Terminal", false, kRoot, "Terminal", -1}},
        {"Historial", {"Historial", "Historial", true, kRoot, "Historial", -1}},
        {"Provisionar", {"Provisionar", "Provisionar", true, kRoot, "Provisionar", -1}},
    };
    static const QHash<QString, QString> timers = {
        {"CTimer", "Ciclicos"}, {"WTimer", "Semanales"}, {"MTimer", "Mensuales"}, {"LTimer", "Largos"}};
    // Math channels and flags are always four and sixteen in the tree.
    const QHash<QString, ChannelNodes> channels = {
        {"E_OneWire", {"E_OneWire", "Sondas", "E_OneWire_", limits.OneWireCount}},
        {"E_Digital", {"E_Digital", "E.Digitales", "E_Digital_", limits.DigitalCount}},
        {"Caudal", {"Caudal", {}, "Caudal_", limits.FlowCount}},
        {"E_Math", {"E_Math", "C.Matematicos", "E_Math_", 4}},
        {"Flags", {"Flags", "Flags", "Flag_", 16}},
    };
    if (single.contains(window)) {
        nodes.append(single.value(window));
    } else if (timers.contains(window)) {
        addTimerFamily(nodes, window, timers.value(window));
    } else if (const auto c = channels.constFind(window); c != channels.cend()) {
        // Only the 1-Wire branch goes when the product has none of its channels.
        if (window == QLatin1String("E_OneWire") && c->count == 0)
            return;
        if (!c->caption.isEmpty())
            nodes.append({c->branch, c->caption, true, kRoot, {}, -1});
        addNumbered(nodes, c->branch, c->keyPrefix, window, c->count);
    }
}

} // namespace

QList<NavNode> navigationNodes(const ProductLimits &limits)
{
    QList<NavNode> nodes;
    nodes.append({kRoot, Product::ProductTitle, false, {}, {}, -1});
    for (const QString &window : SectionNames::treeOrder())
        addWindow(nodes, window, limits);
    return nodes;
}
