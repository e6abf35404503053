#include "uploadlines.h"

#include "comms.h"
#include "devicevalues.h"

QString UploadLineNumber(int number)
{
    return QStringLiteral("%1").arg(number, 3, 10, QLatin1Char('0'));
}

int LineReplyWait(const Comms &comms, quint32 features)
{
    return (features & Feature::FastLineAck) ? comms.timings.fastLineReply : comms.timings.lineReply;
}

bool SendConfigLine(Comms &comms, int number, int replyWait)
{
    comms.TxSer(QStringLiteral("#45") + UploadLineNumber(number) + comms.TxBuf, 0);
    return !(comms.RxSer(replyWait) && comms.RxBuf.contains(QLatin1String("#BA0")));
}

bool CloseUpload(Comms &comms, int linesSent)
{
    comms.TxSer(QStringLiteral("#46") + UploadLineNumber(linesSent), 0);
    for (int frames = 0; frames <= linesSent && comms.RxSer(comms.LinkTimeout); ++frames) {
        const bool lateLineReply = comms.RxBuf.startsWith(QLatin1String("#BA"));
        if (!lateLineReply || comms.RxBuf.contains(QLatin1String("#BA0")))
            return comms.RxBuf.startsWith(QLatin1String("#B91"));
    }
    return false;
}
