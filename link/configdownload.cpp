// Reading the whole configuration from the unit: "#42" answered by a stream of
// numbered "#BD" lines, each dispatched on its keyword to its section's parser.
#include "comms.h"

#include "files/sectionregistry.h"
#include "model/texthelpers.h"
#include "serialport.h"

namespace {

constexpr int kDownloadProgressMaximum = 300;
constexpr int kDownloadAttempts = 3;
const QString kStreamCode = QStringLiteral("#BD");

// Characters 4 to 6 of a stream line: its sequence number, exactly three
// digits; -1 when they are not.
int sequenceNumber(const QString &line)
{
    if (line.size() < 6)
        return -1;
    int number = 0;
    for (int i = 3; i < 6; ++i) {
        const char16_t c = line.at(i).unicode();
        if (c < u'0' || c > u'9')
            return -1;
        number = number * 10 + (c - u'0');
    }
    return number;
}

} // namespace

bool Comms::ReadConf(ConfigStore &store, const SectionRegistry &sections)
{
    if (!port_->isOpen() || CommsBusy)
        return false;
    CommsBusy = true;
    ConfigDownloading = true;
    progressMaximum_ = kDownloadProgressMaximum;
    emit progressChanged(0, progressMaximum_);

    sections.clearAll(store);
    bool ok = false;
    for (int attempt = 0; attempt < kDownloadAttempts && !ok; ++attempt)
        ok = ReadConfAttempt(store, sections);

    if (ok) {
        emit progressChanged(progressMaximum_, progressMaximum_);
        emit configDownloaded();
    }
    CommsBusy = false;
    ConfigDownloading = false;
    return ok;
}

// One pass over the stream. It counts only when it reaches the end marker
// after at least one good line; a missing or corrupt frame part-way through
// ends the attempt like a line out of sequence, so the stream is asked again.
bool Comms::ReadConfAttempt(ConfigStore &store, const SectionRegistry &sections)
{
    expectedLine_ = 0;
    DownloadState state; // the macro pool fills again from its first row

    TxSer(QStringLiteral("#42"), LinkTimeout);
    if (!RxBuf.startsWith(kStreamCode))
        return false;

    bool parsed = false;
    while (RxBuf != kStreamCode) {
        parsed = ParseConfigLine(store, sections, state);
        if (!parsed || !RxSer(LinkTimeout))
            return false;
    }
    return parsed;
}

bool Comms::ParseConfigLine(ConfigStore &store, const SectionRegistry &sections, DownloadState &state)
{
    if (!RxBuf.startsWith(kStreamCode) || sequenceNumber(RxBuf) != expectedLine_)
        return false;
    const int line = expectedLine_++;
    if (progressMaximum_ > line)
        emit progressChanged(line, progressMaximum_);

    // Keywords no section of this product knows are accepted and skipped.
    const QString keyword = LineField(RxBuf, 1).mid(6);
    if (const SectionCore *core = sections.forKeyword(keyword))
        core->parseLine(store, state, keyword, RxBuf, Device.DeviceFeatures);
    return true;
}
