#include <gtest/gtest.h>

#include "simroundtrip.h"

namespace {

// The key lines of one section of a saved file.
QStringList sectionLines(const QByteArray &file, const QString &section)
{
    const QStringList lines = QString::fromLatin1(file).split(QStringLiteral("\r\n"));
    const qsizetype start = lines.indexOf(u'[' + section + u']');
    if (start < 0)
        return {};
    QStringList keys;
    for (qsizetype i = start + 1; i < lines.size() && !lines[i].startsWith(u'[') && !lines[i].isEmpty(); ++i)
        keys << lines[i];
    return keys;
}

// One alarm slot's file keys: the switches, the text, the thresholds, the
// window and the three action lists of eight codes.
QStringList alarmSlot(int slot, const QStringList &values, const QList<int> &high = {},
                      const QList<int> &low = {}, const QList<int> &normal = {})
{
    static const char *const words[] = {"HABIL(", "REST(", "RENV(", "SMS(", "VOZ(", "GPRS(",
                                        "TEXTO(", "MINIMO(", "MAXIMO(", "HISTERESIS(",
                                        "PERSISTENCIA(", "SIEMPRE(", "INICIO(", "FINAL(",
                                        "SEMANA(", "FLAG("};
    QStringList lines;
    for (int i = 0; i < int(std::size(words)); ++i)
        lines << QStringLiteral("%1 %2)=%3").arg(QLatin1String(words[i])).arg(slot).arg(values.at(i));
    const auto list = [&](const char *word, const QList<int> &codes) {
        for (int s = 0; s < 8; ++s)
            lines << QStringLiteral("%1 %2 %3)= %4").arg(QLatin1String(word)).arg(slot).arg(s).arg(codes.value(s));
    };
    list("ACTHI(", high);
    list("ACTLO(", low);
    list("ACTNO(", normal);
    return lines;
}

QStringList clearedSlot(int slot)
{
    return alarmSlot(slot, {"False", "False", "False", "False", "False", "False", "", " 0", " 0", " 0",
                            " 0", "True", "0:00:00", "0:00:00", " 127", " 0"});
}

// Analog inputs, groups, the bus settings and the voice list pass from the
// unit into the file and back into the model, but never to the unit.
TEST(PassThroughRoundTrip, SectionsReachTheFileAndNoLineReachesTheUnit)
{
    SimRoundTrip trip;
    ASSERT_NO_FATAL_FAILURE(runSimRoundTrip(QStringLiteral(VELKAN_TEST_DATA "/analog_unit_lines.txt"), trip));
    if (IsSkipped())
        return;
    const QByteArray &file = trip.savedFile;

    // Interface code 4 is the pressure sensor, 7; the scaling is saved in the
    // record's order.
    QStringList analog = {"NOMBRE=Nivel deposito", "UNIDAD=m", "INTERFAZ= 7", "IE= 4", "FE= 20",
                          "EqIE= 0", "EqFE= 100", "GRUPO= 2"};
    analog << alarmSlot(0, {"True", "False", "False", "True", "False", "False", "Nivel alto", " 1.5",
                            " 18", " .5", " 30", "True", "0:00:00", "23:59:59", " 127", " 0"},
                        {5}, {7}, {9})
           << clearedSlot(1) << clearedSlot(2) << clearedSlot(3);
    EXPECT_EQ(sectionLines(file, QStringLiteral("ANALOG 1")), analog);
    EXPECT_EQ(sectionLines(file, QStringLiteral("GRUPO 2")),
              (QStringList{"SALIDA= 1", "VOLTAJE= 12", "PERIOD= 150"}));
    // The simulated unit can be a bus slave.
    EXPECT_EQ(sectionLines(file, QStringLiteral("MODBUS")),
              (QStringList{"BAUD= 9600", "MASTER=False", "SLAVE_ADDRESS= 5"}));
    // A configuration download empties the voice list.
    QStringList voice = {"MACRO=-1", "SEND_ACK=False"};
    for (int i = 0; i <= 250; ++i)
        voice << QStringLiteral("TEL %1=").arg(i);
    EXPECT_EQ(sectionLines(file, QStringLiteral("AUT_VOZ")), voice);

    // The unit gets what a cleared model sends.
    EXPECT_TRUE(trip.matched);
    SectionRegistry sections;
    registerSections(sections);
    ConfigStore cleared;
    sections.clearAll(cleared);
    EXPECT_EQ(trip.received, sections.uploadLines(cleared, {trip.features}));
}

} // namespace
