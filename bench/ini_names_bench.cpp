// Time of reading and writing a configuration file whose key names were chosen
// to collide under a plain multiply-by-31 hash of the case-folded name (the
// hash the INI document once used), beside the same number of ordinary names.
// With a seeded hash both columns grow in step with the number of keys.
#include <QElapsedTimer>
#include <QSet>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <vector>

#include "files/inidocument.h"

namespace {

constexpr int kRuns = 7;
const QString kSection = QStringLiteral("NOMBRES");

// "az" and "b[" give the same multiply-by-31 sum ('a'*31 + 'z' == 'b'*31 + '['),
// and no letter in them changes when folded, so every choice of the two pairs
// in each position gives the same hash whatever the seed: 2^blocks names.
QStringList collidingNames(int blocks)
{
    QStringList names;
    for (int bits = 0; bits < (1 << blocks); ++bits) {
        QString name;
        for (int b = 0; b < blocks; ++b)
            name += (bits >> b) & 1 ? QStringLiteral("b[") : QStringLiteral("az");
        names << name;
    }
    return names;
}

QStringList ordinaryNames(int count)
{
    QStringList names;
    for (int i = 0; i < count; ++i)
        names << QStringLiteral("VALOR(%1)").arg(i);
    return names;
}

// The hash the names were built against, so the bench can show that they do collide.
size_t multiplyBy31(const QString &text)
{
    size_t hash = 0;
    for (const QChar c : text)
        hash = hash * 31 + c.toCaseFolded().unicode();
    return hash;
}

QByteArray fileOf(const QStringList &names)
{
    QByteArray bytes = "[" + kSection.toLatin1() + "]\r\n";
    for (const QString &name : names)
        bytes += name.toLatin1() + "=1\r\n";
    return bytes;
}

double medianMs(const std::function<void()> &work)
{
    std::vector<double> times;
    QElapsedTimer timer;
    for (int run = 0; run < kRuns; ++run) {
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

struct Timings {
    double read = 0;   // parse of the whole file
    double write = 0;  // a new value for every key of a parsed document
    double lookup = 0; // every key read back
};

Timings measure(const QStringList &names)
{
    const QByteArray bytes = fileOf(names);
    Timings t;
    t.read = medianMs([&] {
        IniDocument doc;
        doc.parse(bytes);
    });
    IniDocument doc;
    doc.parse(bytes);
    t.write = medianMs([&] {
        for (const QString &name : names)
            doc.writeValue(kSection, name, QStringLiteral("2"));
    });
    int found = 0;
    t.lookup = medianMs([&] {
        for (const QString &name : names)
            found += doc.readValue(kSection, name).size();
    });
    if (found != names.size() * kRuns)
        qFatal("a key was not read back");
    return t;
}

} // namespace

int main()
{
    QTextStream out(stdout);
    out << "medians of " << kRuns << " runs, ms (us per key)" << Qt::endl;
    out << "keys   | colliding: read  write  lookup | ordinary: read  write  lookup" << Qt::endl;
    for (int blocks = 12; blocks <= 15; ++blocks) {
        const QStringList colliding = collidingNames(blocks);
        QSet<size_t> oldHashes;
        for (const QString &name : colliding)
            oldHashes.insert(multiplyBy31(name));
        if (oldHashes.size() != 1)
            qFatal("the crafted names do not collide");

        const int count = int(colliding.size());
        const Timings bad = measure(colliding);
        const Timings good = measure(ordinaryNames(count));
        const auto cell = [&](double ms) {
            return QStringLiteral("%1 (%2)").arg(ms, 0, 'f', 1).arg(ms * 1000 / count, 0, 'f', 2);
        };
        out << QString::number(count).leftJustified(6) << " | " << cell(bad.read) << "  "
            << cell(bad.write) << "  " << cell(bad.lookup) << " | " << cell(good.read) << "  "
            << cell(good.write) << "  " << cell(good.lookup) << Qt::endl;
    }
    return 0;
}
