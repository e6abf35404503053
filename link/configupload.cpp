// Writing the whole configuration to the unit: numbered "#45" lines closed by
// "#46" and the line count, which the unit confirms with "#B91". A refused
// line or a missing confirmation starts the whole upload again.
#include "comms.h"

#include <algorithm>

#include "files/sectionregistry.h"
#include "serialport.h"

namespace {

constexpr int kUploadProgressMaximum = 350;
constexpr int kUploadAttempts = 3;
constexpr int kLineReplyWait = 200;
constexpr int kFastLineReplyWait = 10;

// Line numbers have at least three digits: "000", "057", "281", "1000".
QString lineNumber(int number)
{
    return QStringLiteral("%1").arg(number, 3, 10, QLatin1Char('0'));
}

} // namespace

bool Comms::WriteConf(const ConfigStore &store, const SectionRegistry &sections)
{
    if (CommsBusy || !port_->isOpen())
        return false;
    CommsBusy = true;

    const QStringList lines = sections.uploadLines(store, {Device.DeviceFeatures, kProductLimits});
    // A configuration longer than the bar's usual maximum raises it instead
    // of running past it.
    progressMaximum_ = std::max(kUploadProgressMaximum, int(lines.size()));
    emit progressChanged(0, progressMaximum_);

    const auto attempt = [&] {
        lineCounter_ = 0;
        for (const QString &line : lines) {
            TxBuf = line;
            if (!SendConfigLine())
                return false;
        }
        TxSer(QStringLiteral("#46") + lineNumber(lineCounter_), 0);
        return closingConfirmed(int(lines.size()));
    };
    bool ok = false;
    for (int i = 0; i < kUploadAttempts && !ok; ++i)
        ok = attempt();

    if (ok)
        emit progressChanged(progressMaximum_, progressMaximum_);
    CommsBusy = false;
    return ok;
}

// Reads the answer to the closing command. Replies to the last lines that came
// after their short wait may still be queued ahead of it: acceptances are
// passed over (at most one per line sent), a refusal fails the attempt.
bool Comms::closingConfirmed(int linesSent)
{
    for (int frames = 0; frames <= linesSent && RxSer(LinkTimeout); ++frames) {
        const bool lateLineReply = RxBuf.startsWith(QLatin1String("#BA"));
        if (!lateLineReply || RxBuf.contains(QLatin1String("#BA0")))
            return RxBuf.startsWith(QLatin1String("#B91"));
    }
    return false;
}

// Sends TxBuf as the next numbered line. Silence, or any reply but a refusal,
// counts as acceptance; a late reply is read as the next line's.
bool Comms::SendConfigLine()
{
    TxSer(QStringLiteral("#45") + lineNumber(lineCounter_) + TxBuf, 0);
    ++lineCounter_;
    emit progressChanged(lineCounter_, progressMaximum_);
    const int wait = Device.has(Feature::FastLineAck) ? kFastLineReplyWait : kLineReplyWait;
    return !(RxSer(wait) && RxBuf.contains(QLatin1String("#BA0")));
}
