#include "configtransfer.h"

#include "comms.h"
#include "files/sectionregistry.h"
#include "model/configstore.h"
#include "numberedstream.h"

namespace {

constexpr int kDownloadProgressMaximum = 300;
constexpr int kDownloadAttempts = 3;

// One pass over the stream into `scratch`. A missing or corrupt frame
// part-way through fails the pass like a line out of sequence, so the stream
// is asked again.
bool readConfAttempt(Comms &comms, ConfigStore &scratch, const SectionRegistry &sections, quint32 features,
                     const TransferProgress &progress)
{
    DownloadState state; // the macro pool fills again from its first row
    return ReadNumberedStream(comms, QStringLiteral("#42"), QStringLiteral("#BD"),
                              [&](const QString &line, int number) {
                                  if (progress && number < kDownloadProgressMaximum)
                                      progress(number, kDownloadProgressMaximum);
                                  sections.readStreamLine(scratch, state, line, features);
                                  return true;
                              });
}

} // namespace

bool ReadConf(Comms &comms, ConfigStore &store, const SectionRegistry &sections, quint32 features,
              const TransferProgress &progress)
{
    CommsBusyGuard busy(comms);
    if (!busy)
        return false;
    if (progress)
        progress(0, kDownloadProgressMaximum);

    bool ok = false;
    for (int attempt = 0; attempt < kDownloadAttempts && !ok; ++attempt) {
        // What a section's Clear keeps (action lists) carries over from the model.
        ConfigStore scratch = store;
        sections.clearAll(scratch);
        ok = readConfAttempt(comms, scratch, sections, features, progress);
        if (ok)
            store = std::move(scratch);
    }
    if (ok && progress)
        progress(kDownloadProgressMaximum, kDownloadProgressMaximum);
    return ok;
}
