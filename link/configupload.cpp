#include "configtransfer.h"

#include <algorithm>

#include "comms.h"
#include "devicevalues.h"
#include "files/sectionregistry.h"

namespace {

constexpr int kUploadProgressMaximum = 350;
constexpr int kUploadAttempts = 3;

// Line numbers have at least three digits: "000", "057", "281", "1000".
QString lineNumber(int number)
{
    return QStringLiteral("%1").arg(number, 3, 10, QLatin1Char('0'));
}

// Reads the answer to the closing command. Replies to the last lines that came
// after their short wait may still be queued ahead of it: acceptances are
// passed over (at most one per line sent), a refusal fails the attempt.
bool closingConfirmed(Comms &comms, int linesSent)
{
    for (int frames = 0; frames <= linesSent && comms.RxSer(comms.LinkTimeout); ++frames) {
        const bool lateLineReply = comms.RxBuf.startsWith(QLatin1String("#BA"));
        if (!lateLineReply || comms.RxBuf.contains(QLatin1String("#BA0")))
            return comms.RxBuf.startsWith(QLatin1String("#B91"));
    }
    return false;
}

// Sends one numbered line. Silence, or any reply but a refusal, counts as
// acceptance; a late reply is read as the next line's.
bool sendConfigLine(Comms &comms, int number, int replyWait)
{
    comms.TxSer(QStringLiteral("#45") + lineNumber(number) + comms.TxBuf, 0);
    return !(comms.RxSer(replyWait) && comms.RxBuf.contains(QLatin1String("#BA0")));
}

} // namespace

bool WriteConf(Comms &comms, const ConfigStore &store, const SectionRegistry &sections, quint32 features,
               const TransferProgress &progress)
{
    CommsBusyGuard busy(comms);
    if (!busy)
        return false;

    const QStringList lines = sections.uploadLines(store, {features, kProductLimits});
    // A configuration longer than the bar's usual maximum raises it instead
    // of running past it.
    const int maximum = std::max(kUploadProgressMaximum, int(lines.size()));
    const auto report = [&](int value) {
        if (progress)
            progress(value, maximum);
    };
    report(0);
    const int replyWait = (features & Feature::FastLineAck) ? comms.timings.fastLineReply : comms.timings.lineReply;

    const auto attempt = [&] {
        int counter = 0;
        for (const QString &line : lines) {
            comms.TxBuf = line;
            if (!sendConfigLine(comms, counter++, replyWait))
                return false;
            report(counter);
        }
        comms.TxSer(QStringLiteral("#46") + lineNumber(counter), 0);
        return closingConfirmed(comms, int(lines.size()));
    };
    bool ok = false;
    for (int i = 0; i < kUploadAttempts && !ok; ++i)
        ok = attempt();

    if (ok)
        report(maximum);
    return ok;
}
