#include "configstream.h"

#include <QFile>
#include <QSet>

#include "files/inidocument.h"
#include "link/devicevalues.h"
#include "files/sectionregistry.h"
#include "model/configstore.h"
#include "model/cp1252.h"
#include "sections/sectionlist.h"

namespace ConfigStream {

namespace {

constexpr int kFirstDigitalCode = 21; // DI0 in the channel codes

QString repeat(const QString &field, int count)
{
    return QStringList(count, field).join(QLatin1Char(','));
}

// A phone slot as the unit reports it: the extended mask (mode and 16 channel
// codes) or the older bit mask of digital and analog inputs.
QString phoneLine(int slot, const QString &number, int priority, int privilege,
                  const QList<int> &digitalInputs, quint32 features)
{
    const QString head = QStringLiteral("TLF,%1,%2,%3,%4,").arg(slot).arg(number).arg(priority).arg(privilege);
    if (features & Feature::ExtendedPhoneMask) {
        QStringList codes;
        for (int input : digitalInputs)
            codes << QString::number(kFirstDigitalCode + input);
        while (codes.size() < 16)
            codes << QStringLiteral("255");
        return head + QStringLiteral("-1,%1,").arg(digitalInputs.isEmpty() ? 0 : 1) + codes.join(QLatin1Char(','));
    }
    int bits = 0;
    for (int input : digitalInputs)
        bits |= 1 << input;
    const int noMask = (features & Feature::WideChannelMask) ? -1 : 65535;
    return head + QString::number(digitalInputs.isEmpty() ? noMask : bits);
}

} // namespace

QStringList defaults(quint32 features)
{
    const QString noActions = repeat(QStringLiteral("0"), 8);
    QStringList lines = {
        QStringLiteral("DNAME,Deposito Norte"),
        QStringLiteral("SMC,+34609090909"),
        QStringLiteral("PTLF,+34600111222"),
        QStringLiteral("RENVT,600"),
        QStringLiteral("RENVN,3"),
        QStringLiteral("SRATE,0"),
        QStringLiteral("REST,Restaurado"),
        phoneLine(0, QStringLiteral("+34600123456"), 1, 2, {}, features),
        phoneLine(1, QStringLiteral("+34600654321"), 0, 0, {0, 1}, features),
        QStringLiteral("CTIMER,0,127,0,86399,3600,0"),
        QStringLiteral("CTIMER.ACTION,0,5,0,0,0,0,0,0,0"),
        QStringLiteral("WTIMER,0,31,28800"),
        QStringLiteral("WTIMER.ACTION,0,12,3,0,0,0,0,0,0"),
        QStringLiteral("MTIMER,0,2,43200"),
        QStringLiteral("MTIMER.ACTION,0,") + noActions,
        QStringLiteral("LTIMER,0,604800"),
        QStringLiteral("LTIMER.ACTION,0,7,0,0,0,0,0,0,0"),
        QStringLiteral("DIGITAL,0,Puerta,0"),
        QStringLiteral("DIGITAL.ALM,0,0,Puerta abierta,1,0,0,86399,127,9,0"),
        QStringLiteral("DIGITAL.ACT,0,0,") + repeat(QStringLiteral("0"), 16),
        QStringLiteral("DIGITAL,1,Nivel alto,1"),
        QStringLiteral("DIGITAL.ALM,1,0,Nivel alto,5,60,28800,64800,31,3,0"),
    };
    for (int i = 2; i < 8; ++i)
        lines << QStringLiteral("DIGITAL,%1,Entrada %1,0").arg(i);
    lines << QStringLiteral("DIGITAL,8,Fallo red,1");
    lines << QStringLiteral("CAUDAL,0,Pozo 1,m3/h,60,0.01")
          << QStringLiteral("TOTALRATIO,0,0.01")
          << QStringLiteral("CAUDAL.ALM,0,0,Caudal alto,0,2000,50,0,86399,127,17,0,3")
          << QStringLiteral("CAUDAL.ACT,0,0,4,0,0,") + repeat(QStringLiteral("0"), 21)
          << QStringLiteral("CAUDAL,1,Pozo 2,m3/h,60,0.01")
          << QStringLiteral("TOTALRATIO,1,0.01");
    for (int i = 2; i < 8; ++i)
        lines << QStringLiteral("CAUDAL,%1,Contador %1,l/s,0,1").arg(i);
    lines << QStringLiteral("ONEWIRE,0,Temp. caseta,C,1,040,170,187,204,000,000,000,045")
          << QStringLiteral("ONEWIRE.ALM,0,0,Temperatura alta,-5,45,1,0,86399,127,1,0,2")
          << QStringLiteral("FLAG.ALM,0,0,Bomba en marcha,0,86399,127,1")
          << QStringLiteral("MATH,0,Volumen total,m3,FL0+FL1,1")
          << QStringLiteral("MATH,1,Temp. media,C,PB0,1")
          << QStringLiteral("MACROS,0,{OUT0=1,DELAY=10,OUT0=0}")
          << QStringLiteral("F,1,{FG0=DI1}")
          << QStringLiteral("GPRS,internet,,,10,60,120,0,10.20.30.40,5020,300,1,10.20.30.41,/datos,"
                            "velkan,clave,3,60");
    return lines;
}

bool fromLinesFile(const QString &path, QStringList &lines, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    lines.clear();
    for (const QByteArray &raw : file.readAll().split('\n')) {
        const QString line = Cp1252::decode(raw).trimmed();
        if (!line.isEmpty() && !line.startsWith(QLatin1Char(';')))
            lines << line;
    }
    return true;
}

bool fromConfigFile(const QString &path, quint32 features, QStringList &lines, QString *error)
{
    IniDocument doc;
    if (!QFile::exists(path)) {
        if (error)
            *error = QStringLiteral("no such file");
        return false;
    }
    FileFailure failure;
    if (!doc.load(path, &failure)) {
        if (error)
            *error = failure.detail.isEmpty() ? QStringLiteral("not a readable configuration file") : failure.detail;
        return false;
    }

    SectionRegistry registry;
    registerSections(registry);
    ConfigStore store;
    registry.clearAll(store);
    registry.restoreAll(store, doc);

    lines = fromStore(registry, store, features);
    return true;
}

ConfigStore readLines(const SectionRegistry &registry, const QStringList &lines, quint32 features)
{
    ConfigStore store;
    registry.clearAll(store);
    DownloadState state;
    for (const QString &line : lines)
        registry.readStreamLine(store, state, QStringLiteral("#BD000") + line, features);
    return store;
}

QStringList asHeld(const QStringList &lines, quint32 features)
{
    SectionRegistry registry;
    registerSections(registry);
    return fromStore(registry, readLines(registry, lines, features), features);
}

QStringList fromStore(const SectionRegistry &registry, const ConfigStore &store, quint32 features)
{
    QStringList lines;
    QSet<const SectionCore *> seen;
    for (const QString &name : SectionRegistry::fileOrder()) {
        const SectionCore *core = registry.find(name);
        if (core && !seen.contains(core)) {
            seen.insert(core);
            lines += core->downloadLines(store, features);
        }
    }
    return lines;
}

} // namespace ConfigStream
