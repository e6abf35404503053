#include "configtransfer.h"

#include <algorithm>

#include "comms.h"
#include "devicevalues.h"
#include "files/linetexts.h"
#include "files/sectionregistry.h"
#include "uploadlines.h"

namespace {

constexpr int kUploadProgressMaximum = 350;
constexpr int kUploadAttempts = 3;

} // namespace

bool WriteConf(Comms &comms, const ConfigStore &store, const SectionRegistry &sections, quint32 features,
               const TransferProgress &progress)
{
    // A text holding its line's separator would rewrite other settings on the
    // unit: the callers refuse it naming the field; nothing is sent here either.
    if (!lineTextFaults(store, sections, SectionRegistry::uploadOrder()).isEmpty())
        return false;
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
    const int replyWait = LineReplyWait(comms, features);

    const auto attempt = [&] {
        int counter = 0;
        for (const QString &line : lines) {
            comms.TxBuf = line;
            if (!SendConfigLine(comms, counter++, replyWait))
                return false;
            report(counter);
        }
        return CloseUpload(comms, counter);
    };
    bool ok = false;
    for (int i = 0; i < kUploadAttempts && !ok; ++i)
        ok = attempt();

    if (ok)
        report(maximum);
    return ok;
}
