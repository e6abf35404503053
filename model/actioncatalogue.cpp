#include "actioncatalogue.h"

#include <algorithm>
#include <array>

namespace {

constexpr int kEntries = 74;

// Codes that run a numbered item come in runs: first code, count, text; the
// suffix counts from 0 along the run.
struct Run {
    qint16 first;
    int count;
    const char *text;
};

constexpr Run kRuns[] = {
    {1, 39, "Ejecutar macro"},
    {42, 1, "Sincronizar reloj"},
    {43, 1, "Encender GSM durante 5m"},
    {48, 1, "Enviar SMS tipo Kairn"},
    {50, 1, "Encender GSM durante 10m"},
    {51, 1, "Encender GSM durante 20m"},
    {52, 1, "Encender GSM durante 30m"},
    {57, 4, "Registrar contador"},
    {65, 1, "Registrar caudal 0 y 1"},
    {66, 1, "Registrar caudal 2 y 3"},
    {79, 1, "Iniciar conexion GPRS"},
    {80, 1, "Registrar alarma"},
    {89, 1, "Iniciar conexion FTP"},
    {90, 4, "Leer canal matematico"},
    {94, 4, "Registrar canal matematico"},
    {98, 4, "Registrar sonda"},
    {102, 8, "Registrar entrada digital"},
};

std::array<ActionEntry, kEntries> buildCatalogue()
{
    std::array<ActionEntry, kEntries> entries{};
    auto next = entries.begin();
    for (const Run &run : kRuns) {
        for (int i = 0; i < run.count; ++i) {
            const int suffix = run.count > 1 ? i : ActionEntry::kNoSuffix;
            *next++ = ActionEntry{qint16(run.first + i), QLatin1String(run.text), suffix};
        }
    }
    Q_ASSERT(next == entries.end());
    return entries;
}

const std::array<ActionEntry, kEntries> &catalogue()
{
    static const std::array<ActionEntry, kEntries> entries = buildCatalogue();
    return entries;
}

} // namespace

std::span<const ActionEntry> ActionCatalogue()
{
    return catalogue();
}

const ActionEntry *FindAction(qint16 code)
{
    const auto &entries = catalogue();
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [code](const ActionEntry &entry) {
                                        return entry.code == code;
                                    });
    return found == entries.end() ? nullptr : &*found;
}

QString ActionRowText(const ActionEntry &entry, const TextTranslator &translate)
{
    QString row = QString::number(entry.code) + QStringLiteral(" - ") + translate(entry.text);
    if (entry.suffix != ActionEntry::kNoSuffix)
        row += QLatin1Char(' ') + QString::number(entry.suffix);
    return row;
}
