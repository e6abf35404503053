#include "transfer_unit.h"

#include "link/fakeserialport.h"

QList<QByteArray> downloadStream(const QStringList &lines)
{
    QList<QByteArray> frames;
    for (int i = 0; i < lines.size(); ++i)
        frames << ScriptedUnit::frame(QStringLiteral("#BD%1").arg(i, 3, 10, QLatin1Char('0')) + lines[i]);
    frames << ScriptedUnit::frame(QStringLiteral("#BD"));
    return frames;
}

RecordingCore::RecordingCore(QStringList keywords, QStringList upload)
    : keywords_(std::move(keywords)),
      upload_(std::move(upload))
{
}

void RecordingCore::parseLine(ConfigStore &, DownloadState &, const QString &keyword, const QString &line,
                              quint32) const
{
    parsed << keyword + QLatin1Char('|') + line;
}

TransferLink::TransferLink(QStringList keywords, QStringList upload)
{
    auto core = std::make_unique<RecordingCore>(std::move(keywords), std::move(upload));
    recorder = core.get();
    sections.add(std::move(core));
    unit.onCommand = [this](const QString &command) { onCommand(command); };
    QObject::connect(&connection, &UnitConnection::configDownloaded, [this] { ++downloadedSignals; });
}

bool TransferLink::download()
{
    return connection.download(store, sections, [this](int value, int maximum) { progress.append({value, maximum}); });
}

bool TransferLink::upload()
{
    return connection.upload(store, sections, [this](int value, int maximum) { progress.append({value, maximum}); });
}

void TransferLink::onCommand(const QString &command)
{
    if (command.startsWith(QLatin1String("#45"))) {
        const int line = command.mid(3, 3).toInt();
        if (line == 0)
            uploads.append(QStringList());
        uploads.last() << command;
        const QString reply = lineReply ? lineReply(int(uploads.size()) - 1, line) : QString();
        if (!reply.isEmpty())
            port.feed(ScriptedUnit::frame(reply));
    } else if (command.startsWith(QLatin1String("#46"))) {
        closings << command;
        if (confirm(int(closings.size()) - 1))
            port.feed(ScriptedUnit::frame(QStringLiteral("#B91")));
    }
}
