#include "voicelisttransfer.h"

#include <QRegularExpression>
#include <algorithm>
#include <optional>

#include "comms.h"
#include "model/voiceauthlist.h"
#include "uploadlines.h"

namespace {

constexpr int kAttempts = 3;

bool answerIs(const Comms &comms, const char *prefix)
{
    return comms.RxBuf.startsWith(QLatin1String(prefix));
}

// The unit's CRC of its list: "#B1" and exactly four hexadecimal digits.
std::optional<quint16> reportedCrc(const QString &answer)
{
    static const QRegularExpression crc(QStringLiteral("^#B1([0-9A-Fa-f]{4})$"));
    const QRegularExpressionMatch m = crc.match(answer);
    if (!m.hasMatch())
        return std::nullopt;
    return quint16(m.captured(1).toUInt(nullptr, 16));
}

bool crcMatches(Comms &comms, quint16 expected)
{
    comms.TxSer(QStringLiteral("#4E"), comms.LinkTimeout);
    return reportedCrc(comms.RxBuf) == expected;
}

// "#B03" alone is no macro; otherwise a whole number naming one.
std::optional<qint16> reportedMacro(const QString &answer)
{
    static const QRegularExpression macro(QStringLiteral("^#B03(-?[0-9]{1,3})?$"));
    const QRegularExpressionMatch m = macro.match(answer);
    if (!m.hasMatch())
        return std::nullopt;
    if (!m.hasCaptured(1))
        return VoiceAuthList::kNoMacro;
    const int number = m.captured(1).toInt();
    if (number < VoiceAuthList::kNoMacro || number > VoiceAuthList::kLastMacro)
        return std::nullopt;
    return qint16(number);
}

QString macroCommand(qint16 macro)
{
    return macro == VoiceAuthList::kNoMacro ? QStringLiteral("#41CLRVCAUTMACRO")
                                            : QStringLiteral("#41VCAUTMACRO=") + QString::number(macro);
}

} // namespace

bool WriteAutVoz(Comms &comms, const VoiceAuthList &list, quint32 features, const TransferProgress &progress)
{
    CommsBusyGuard busy(comms);
    if (!busy)
        return false;

    const int count = std::clamp<int>(list.Count, 0, VoiceAuthList::kSlots);
    const auto report = [&](int value) {
        if (progress)
            progress(value, count);
    };
    report(0);
    const int replyWait = LineReplyWait(comms, features);
    // The unit's CRC runs over exactly the numbers sent, so it is worked out
    // here rather than trusted from the caller.
    const quint16 crc = VoiceListCrc(list);

    const auto attempt = [&] {
        comms.TxSer(QStringLiteral("#41CLRTEL"), comms.LinkTimeout + comms.timings.voiceListClear);
        if (!answerIs(comms, "#BE1"))
            return false;
        int counter = 0;
        for (int i = 0; i < count; ++i) {
            if (list.Numbers[i].isEmpty())
                continue;
            comms.TxBuf = QStringLiteral("+TEL=") + list.Numbers[i];
            if (!SendConfigLine(comms, counter++, replyWait))
                return false;
            report(counter);
            comms.Delay(comms.timings.voiceLinePause);
        }
        if (!CloseUpload(comms, counter) || !crcMatches(comms, crc))
            return false;
        comms.TxSer(macroCommand(list.CallMacro), comms.LinkTimeout);
        return answerIs(comms, "#BE1");
    };
    bool ok = false;
    for (int i = 0; i < kAttempts && !ok; ++i)
        ok = attempt();

    if (ok)
        report(count);
    return ok;
}

bool ReadAutVozList(Comms &comms, VoiceAuthList &list, const TransferProgress &progress)
{
    CommsBusyGuard busy(comms);
    if (!busy)
        return false;

    const auto report = [&](int value) {
        if (progress)
            progress(value, VoiceAuthList::kMaxNumbers);
    };
    report(0);

    // The numbers go into a copy, so that a failed read leaves the list as it was.
    VoiceAuthList read = list;
    const auto attempt = [&] {
        comms.TxSer(QStringLiteral("#4F"), comms.LinkTimeout);
        if (!answerIs(comms, "#B00"))
            return false;
        read.Numbers.fill(QString());
        int count = 0;
        for (;;) {
            if (!comms.RxSer(comms.LinkTimeout))
                return false;
            if (!answerIs(comms, "#B01"))
                break;
            if (count == VoiceAuthList::kMaxNumbers)
                return false;
            read.Numbers[count] = comms.RxBuf.mid(4);
            report(count);
            ++count;
        }
        if (!answerIs(comms, "#B02") || !comms.RxSer(comms.LinkTimeout))
            return false;
        const std::optional<qint16> macro = reportedMacro(comms.RxBuf);
        if (!macro)
            return false;
        read.Count = qint16(count);
        read.CallMacro = *macro;
        read.ListCrc = VoiceListCrc(read);
        return crcMatches(comms, read.ListCrc);
    };
    bool ok = false;
    for (int i = 0; i < kAttempts && !ok; ++i)
        ok = attempt();

    if (ok) {
        list = read;
        report(VoiceAuthList::kMaxNumbers);
    }
    return ok;
}
