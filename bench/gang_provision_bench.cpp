// Units per hour of provisioning on one port and on four ports at once:
// velkan-cli provision against velkan-sim units paced at 9600 baud, each port
// handed its next unit as soon as the last one is done (no operator time).
// Prints, for each run, the wall time, units per hour and the processor time
// of velkan-cli and its workers per port; then the ratio of the two rates.
//
//   gang_provision_bench [UNITS [PORTS]]     (default 12 units, 4 ports)
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>

#include <sys/resource.h>

#include "link/devicevalues.h"
#include "link/simulatedunit.h"

namespace {

constexpr quint32 kFeatures = Feature::RetrySettings | Feature::MathChannels | Feature::WideChannelMask
                              | Feature::FastLineAck | Feature::ExtendedPhoneMask | Feature::GprsSettings
                              | Feature::DigitalNormallyClosed;

double childrenCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Result {
    double seconds = 0;
    double cpuSeconds = 0;
    int applied = 0;
};

class Bench {
public:
    explicit Bench(const QString &folder) : dir_(folder)
    {
        environment_ = QProcessEnvironment::systemEnvironment();
        environment_.insert("XDG_DATA_HOME", dir_.filePath("data"));
    }

    bool makeTemplate()
    {
        SimulatedUnit unit;
        unit.setProgram(QStringLiteral(VELKAN_SIM));
        unit.setArguments({"--features", QString::number(kFeatures), "--serial", "T-0"});
        if (!unit.start())
            return false;
        QProcess cli;
        cli.setProcessEnvironment(environment_);
        cli.start(VELKAN_CLI, {"--port", unit.devicePath(), "--no-history", "read-config", dir_.filePath("template.qcf")});
        return cli.waitForFinished(120000) && cli.exitCode() == 0;
    }

    Result run(const QString &tag, int units, int ports)
    {
        // The table, and each port's queue of units.
        QByteArray table = "serial,name,retry_time\n";
        std::map<QString, QStringList> queues;
        QStringList portPaths;
        for (int p = 0; p < ports; ++p)
            portPaths << dir_.filePath(QStringLiteral("%1-port%2").arg(tag).arg(p + 1));
        for (int i = 0; i < units; ++i) {
            const QString serial = QStringLiteral("%1-%2").arg(tag).arg(i + 1, 2, 10, QChar('0'));
            table += QStringLiteral("%1,Unit %2,%3\n").arg(serial).arg(i + 1).arg(20 + i).toUtf8();
            queues[portPaths.at(i % ports)] << serial;
        }
        const QString tablePath = dir_.filePath(tag + "-units.csv");
        QFile file(tablePath);
        file.open(QIODevice::WriteOnly);
        file.write(table);
        file.close();

        const auto next = [&](const QString &port) {
            QStringList &queue = queues[port];
            if (queue.isEmpty())
                return;
            auto &unit = *sims_.emplace_back(std::make_unique<SimulatedUnit>());
            unit.setProgram(QStringLiteral(VELKAN_SIM));
            unit.setArguments({"--features", QString::number(kFeatures), "--baud", "9600", "--serial",
                               queue.takeFirst(), "--link", port});
            if (!unit.start())
                std::fprintf(stderr, "velkan-sim: %s\n", qPrintable(unit.errorString()));
        };
        for (const QString &port : portPaths)
            next(port);

        QStringList arguments;
        for (const QString &port : portPaths)
            arguments << "--port" << port;
        arguments << "provision" << dir_.filePath("template.qcf") << tablePath << "--progress" << "json";
        Result result;
        QProcess cli;
        cli.setProcessEnvironment(environment_);
        cli.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QEventLoop loop;
        QObject::connect(&cli, &QProcess::finished, &loop, &QEventLoop::quit);
        QObject::connect(&cli, &QProcess::readyReadStandardOutput, [&] {
            while (cli.canReadLine()) {
                const QJsonObject e = QJsonDocument::fromJson(cli.readLine()).object();
                const QString state = e.value("state").toString();
                if (state == "applied")
                    ++result.applied;
                if (state == "applied" || state == "failed")
                    next(e.value("port").toString());
            }
        });
        const double cpuBefore = childrenCpuSeconds();
        QElapsedTimer clock;
        clock.start();
        cli.start(VELKAN_CLI, arguments);
        loop.exec();
        result.seconds = clock.elapsed() / 1000.0;
        // The simulators still run: only velkan-cli and its workers were reaped.
        result.cpuSeconds = childrenCpuSeconds() - cpuBefore;
        if (cli.exitCode() != 0)
            std::fprintf(stderr, "velkan-cli ended with status %d\n", cli.exitCode());
        sims_.clear();
        return result;
    }

private:
    QDir dir_;
    QProcessEnvironment environment_;
    std::vector<std::unique_ptr<SimulatedUnit>> sims_;
};

void print(const char *what, int units, int ports, const Result &r)
{
    std::printf("%-9s %2d units, %d port(s): %6.1f s, %2d applied, %6.0f units/h, CPU %.2f s = %.2f %% of a core per port\n",
                what, units, ports, r.seconds, r.applied, r.applied * 3600.0 / r.seconds, r.cpuSeconds,
                100.0 * r.cpuSeconds / r.seconds / ports);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int units = argc > 1 ? std::atoi(argv[1]) : 12;
    const int ports = argc > 2 ? std::atoi(argv[2]) : 4;
    QTemporaryDir dir;
    Bench bench(dir.path());
    if (units < 1 || ports < 2 || !bench.makeTemplate()) {
        std::fprintf(stderr, "usage: gang_provision_bench [UNITS [PORTS>1]]; velkan-sim and velkan-cli must run\n");
        return 1;
    }
    const Result gang = bench.run("G", units, ports);
    print("gang", units, ports, gang);
    const Result single = bench.run("S", units, 1);
    print("one port", units, 1, single);
    const double ratio = (gang.applied / gang.seconds) / (single.applied / single.seconds);
    std::printf("ratio: %.2f times the units per hour of one port\n", ratio);
    return 0;
}
