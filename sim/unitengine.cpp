#include "unitengine.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>

#include "link/devicevalues.h"
#include "link/framecodec.h"
#include "model/cp1252.h"
#include "model/crc16.h"
#include "unitlog.h"

namespace {

constexpr int kMaxFrame = 1024;     // a frame longer than this is line garbage
constexpr int kMaxModemLine = 256;
constexpr int kGuardMs = 800;       // silence before "+++" (the tool waits a second)
constexpr int kPlusGapMs = 1000;    // the three "+" come closer than this
constexpr int kMaxStreamLines = 1000; // three-digit line numbers
constexpr int kVoiceListMax = 250;
constexpr int kDotEvery = 512;      // image bytes per progress dot
constexpr int kHeldFrameMax = 64;
constexpr int kMacroMax = 39;
const QByteArray kNoise("\n~ \x15\n\n");

QString num(double value)
{
    return QString::number(value, 'g', 12);
}

QString joined(const QList<double> &values)
{
    QStringList texts;
    for (double v : values)
        texts << num(v);
    return texts.join(QLatin1Char(','));
}

QString seq(int n)
{
    return QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0'));
}

// Label answers: some leading fields the tool does not read, then a fixed
// number of fields per channel, of which the first two are name and unit.
QString labelBlock(int leading, const QStringList &names, const QStringList &units, int perChannel)
{
    QStringList fields(leading, QStringLiteral("0"));
    for (int i = 0; i < names.size(); ++i) {
        fields << names.at(i) << units.value(i);
        for (int k = 2; k < perChannel; ++k)
            fields << QStringLiteral("0");
    }
    return fields.join(QLatin1Char(','));
}

bool hits(const QHash<QString, int> &faults, const QString &code, int n)
{
    const auto it = faults.constFind(code);
    return it != faults.constEnd() && (*it < 0 || n <= *it);
}

QByteArray corrupted(QByteArray frame)
{
    char &digit = frame[2];
    digit = digit == 'F' ? '0' : digit == '9' ? 'A' : char(digit + 1);
    return frame;
}

} // namespace

UnitEngine::UnitEngine(UnitState state, QStringList configLines, EngineSetup setup, UnitLog *log)
    : state_(std::move(state)),
      config_(std::move(configLines)),
      setup_(std::move(setup)),
      log_(log),
      clock_([] { return QDateTime::currentDateTime(); })
{
}

QByteArray UnitEngine::frame(const QString &payload)
{
    return FrameCodec::encode(payload);
}

quint16 UnitEngine::listCrc(const QStringList &numbers)
{
    // The unit runs its CRC over the numbers' bytes back to back, with no separator.
    return Crc16(Cp1252::encode(numbers.join(QString())));
}

QDateTime UnitEngine::unitClock() const
{
    return clock_().addSecs(state_.clockOffsetSeconds);
}

QList<SimReply> UnitEngine::feed(const QByteArray &bytes, qint64 nowMs)
{
    if (replaying_)
        return replay_.feed(bytes);
    QList<SimReply> out;
    nowMs_ = nowMs;
    for (char c : bytes) {
        if (setup_.modem && !dataMode_)
            feedModemCommand(c, out);
        else if (setup_.modem && escapeSeen(c, nowMs))
            out << SimReply{0, "\r\nOK\r\n"};
        else if (raw_ != Raw::None)
            feedRawByte(c, out);
        else
            feedFrameByte(c, out);
        lastInputMs_ = nowMs;
    }
    return out;
}

void UnitEngine::lineQuiet()
{
    if (raw_ == Raw::Loader)
        endRaw();
    if (log_)
        log_->flush();
}

// --- The modem in front of the unit ---

void UnitEngine::feedModemCommand(char c, QList<SimReply> &out)
{
    if (c == '\n')
        return;
    if (c != '\r') {
        if (modemLine_.size() < kMaxModemLine)
            modemLine_ += c;
        return;
    }
    const QString line = QString::fromLatin1(modemLine_).trimmed().toUpper();
    QByteArray reply = echo_ ? modemLine_ + '\r' : QByteArray();
    modemLine_.clear();
    if (!line.startsWith(QLatin1String("AT")))
        return;

    int delay = 0;
    QString result = QStringLiteral("OK");
    if (line == QLatin1String("ATE0") || line == QLatin1String("ATE1")) {
        echo_ = line.endsWith(QLatin1Char('1'));
    } else if (line.startsWith(QLatin1String("ATD"))) {
        result = setup_.dialResult;
        delay = setup_.dialDelayMs;
        dataMode_ = result.startsWith(QLatin1String("CONNECT"));
        callUp_ = dataMode_;
        loggedIn_ = state_.accessKey.isEmpty();
        if (log_)
            log_->record(QStringLiteral("dials"), {{QStringLiteral("number"), line.mid(3)},
                                                    {QStringLiteral("result"), result}});
    } else if (line == QLatin1String("ATH") || line == QLatin1String("ATH0")) {
        if (callUp_ && log_)
            log_->record(QStringLiteral("hangups"), {{QStringLiteral("after"), framesReceived_}});
        callUp_ = false;
        loggedIn_ = false;
    } else if (line == QLatin1String("ATO")) {
        result = callUp_ ? setup_.dialResult : QStringLiteral("NO CARRIER");
        dataMode_ = callUp_;
    }
    out << SimReply{0, reply};
    out << SimReply{delay, "\r\n" + result.toLatin1() + "\r\n"};
}

bool UnitEngine::escapeSeen(char c, qint64 nowMs)
{
    if (c != '+') {
        plusCount_ = 0;
        return false;
    }
    if (plusCount_ == 0)
        plusCount_ = (lastInputMs_ < 0 || nowMs - lastInputMs_ >= kGuardMs) ? 1 : 0;
    else
        plusCount_ = nowMs - lastPlusMs_ < kPlusGapMs ? plusCount_ + 1 : 0;
    lastPlusMs_ = nowMs;
    if (plusCount_ < 3)
        return false;
    plusCount_ = 0;
    dataMode_ = false;
    inFrame_ = false;
    frame_.clear();
    return true;
}

// --- Frames ---

void UnitEngine::feedFrameByte(char c, QList<SimReply> &out)
{
    if (!inFrame_) {
        if (c == '#') {
            inFrame_ = true;
            frame_ = "#";
        }
        return;
    }
    if (c != '\r') {
        frame_ += c;
        if (frame_.size() > kMaxFrame) {
            inFrame_ = false;
            frame_.clear();
        }
        return;
    }
    inFrame_ = false;
    const QByteArray received = std::exchange(frame_, {});
    if (FrameCodec::verify(received))
        handleFrame(FrameCodec::answerText(received), out);
}

void UnitEngine::handleFrame(const QString &text, QList<SimReply> &out)
{
    ++framesReceived_;
    const QString code = text.mid(1, 2);
    const QString args = text.mid(3);
    if (log_)
        log_->countCommand(code);
    if (setup_.faults.silentAfter >= 0 && framesReceived_ > setup_.faults.silentAfter)
        return;
    // Behind a modem nothing but the login is served until the key is right;
    // the refusal is prompt, so the tool's liveness check fails without waiting.
    if (setup_.modem && !loggedIn_ && code != QLatin1String("11")) {
        answer(code, {QStringLiteral("PassWord=0")}, out);
        return;
    }
    if (trace_ && code != QLatin1String("04"))
        out << SimReply{0, "TRC " + Cp1252::encode(text.mid(1)).replace('#', ' ') + "\r\n"};

    if (code == QLatin1String("F0")) {
        raw_ = Raw::Image;
        rawBytes_.clear();
        answer(code, {QStringLiteral("DWLD_ERASING")}, out);
        answer(code, {QStringLiteral("DWLD_READY")}, out, setup_.eraseDelayMs);
        return;
    }
    answer(code, answerFor(code, args), out);
}

void UnitEngine::answer(const QString &code, const QStringList &payloads, QList<SimReply> &out,
                        int firstDelayMs)
{
    const FaultPlan &faults = setup_.faults;
    int delay = firstDelayMs + faults.slowMs;
    for (const QString &payload : payloads) {
        const int n = ++answered_[code];
        if (hits(faults.drop, code, n))
            continue;
        QByteArray bytes = frame(payload);
        if (hits(faults.corrupt, code, n))
            bytes = corrupted(bytes);
        if (faults.noise)
            bytes.prepend(kNoise);
        out << SimReply{std::exchange(delay, 0), bytes};
    }
}

QStringList UnitEngine::answerFor(const QString &code, const QString &args)
{
    const UnitState &s = state_;
    QString one;
    switch (code.toUInt(nullptr, 16)) {
    case 0x01: one = QStringLiteral("FE") + args; break;
    case 0x04:
        trace_ = args == QLatin1String("1");
        one = QStringLiteral("FB") + args;
        break;
    case 0x11: one = login(args); break;
    case 0x20: {
        QStringList counts;
        for (double v : s.counters)
            counts << QString::number(qint64(v));
        one = QStringLiteral("DF,") + counts.join(QLatin1Char(','));
        break;
    }
    case 0x22: one = QStringLiteral("DD,") + joined(s.flowRates); break;
    case 0x23: one = QStringLiteral("DC,") + liveStates(); break;
    case 0x25: one = QStringLiteral("DA,") + labelBlock(4, s.auxNames, s.auxUnits, 6); break;
    case 0x26: one = QStringLiteral("D9,") + s.counterNames.join(QLatin1Char(',')); break;
    case 0x27: one = QStringLiteral("D8,") + labelBlock(0, s.flowNames, s.flowUnits, 2); break;
    case 0x28: one = QStringLiteral("D7,") + joined(s.mathRegisters); break;
    case 0x29: one = QStringLiteral("D6,") + joined(s.mathValues); break;
    case 0x2A: one = QStringLiteral("D5,") + labelBlock(2, s.mathNames, s.mathUnits, 4); break;
    case 0x35: one = QStringLiteral("CA,") + labelBlock(2, s.analogNames, s.analogUnits, 4); break;
    case 0x36: one = QStringLiteral("C9,") + joined(s.analogValues); break;
    case 0x40: one = QStringLiteral("BF"); break;
    case 0x41: one = setting(args); break;
    case 0x42: return configStream();
    case 0x44: return infoStream();
    case 0x45: one = uploadLine(args); break;
    case 0x46: one = uploadClosing(args); break;
    case 0x47:
    case 0x48: one = switchOutput(code, args); break;
    case 0x4E: {
        quint16 crc = listCrc(s.voiceList);
        if (setup_.faults.badCrcOnce && !std::exchange(crcSpoiled_, true))
            crc ^= 0x0101;
        one = QStringLiteral("B1%1").arg(crc, 4, 16, QLatin1Char('0')).toUpper();
        break;
    }
    case 0x4F: return voiceListAnswer();
    case 0x5C: one = setClock(args); break;
    case 0x5D: one = QStringLiteral("A2") + unitClock().toString(QStringLiteral("yyMMddHHmmss")); break;
    case 0xF1:
        raw_ = Raw::Loader;
        rawBytes_.clear();
        one = QStringLiteral("DWLD_RAM_READY");
        break;
    case 0xFA: {
        QStringList bytes;
        for (int b : s.probeId)
            bytes << QStringLiteral("%1").arg(b, 3, 10, QLatin1Char('0'));
        one = QStringLiteral("05") + bytes.join(QLatin1Char(','));
        break;
    }
    default: break; // not a command of this unit: no answer
    }
    return one.isEmpty() ? QStringList() : QStringList{one};
}

QString UnitEngine::liveStates() const
{
    return QStringLiteral("%1,%2,%3,").arg(state_.digitalStates).arg(state_.outputStates).arg(state_.flagStates)
           + joined(state_.auxValues);
}

QStringList UnitEngine::infoStream() const
{
    const UnitState &s = state_;
    const QStringList items = {
        QStringLiteral("VERSION,%1").arg(s.firmwareVersion),
        QStringLiteral("FEATURES,%1").arg(s.features),
        QStringLiteral("SERIAL,") + s.serialNumber,
        QStringLiteral("VBAT,") + num(s.batteryVoltage),
        QStringLiteral("RSSI,%1").arg(s.signalLevel),
        QStringLiteral("LOG.SIZE,") + num(s.logSize),
        QStringLiteral("LOG.USE,") + num(s.logUsed),
    };
    QStringList payloads;
    for (int i = 0; i < items.size(); ++i)
        payloads << QStringLiteral("BB") + seq(i) + items.at(i);
    return payloads << QStringLiteral("BB");
}

QStringList UnitEngine::configStream()
{
    const bool skip = ++downloadAttempts_ <= setup_.faults.skipSequenceAttempts;
    const QStringList lines = config_.streamLines(state_.features);
    QStringList payloads;
    for (int i = 0; i < lines.size() && i < kMaxStreamLines; ++i) {
        const int number = skip && i >= 2 ? i + 1 : i;
        payloads << QStringLiteral("BD") + seq(number) + lines.at(i);
    }
    return payloads << QStringLiteral("BD");
}

QStringList UnitEngine::voiceListAnswer()
{
    QStringList payloads{QStringLiteral("B00")};
    for (const QString &number : std::as_const(state_.voiceList))
        payloads << QStringLiteral("B01") + number;
    payloads << QStringLiteral("B02");
    payloads << QStringLiteral("B03")
                    + (state_.voiceMacro < 0 ? QString() : QString::number(state_.voiceMacro));
    if (log_)
        log_->record(QStringLiteral("voiceReads"), {{QStringLiteral("count"), state_.voiceList.size()},
                                                    {QStringLiteral("macro"), state_.voiceMacro}});
    return payloads;
}

QString UnitEngine::login(const QString &key)
{
    const bool accepted = state_.accessKey.isEmpty() || key == state_.accessKey;
    loggedIn_ = accepted;
    if (log_)
        log_->record(QStringLiteral("logins"), {{QStringLiteral("key"), key},
                                                 {QStringLiteral("accepted"), accepted}});
    return accepted ? QStringLiteral("PassWord=1") : QStringLiteral("PassWord=0");
}

// "#41": direct settings. "BE1" accepts, "BE0" refuses.
QString UnitEngine::setting(const QString &args)
{
    static const QRegularExpression counter(QStringLiteral("^CNT(\\d+)=(-?\\d+)$"));
    static const QRegularExpression macro(QStringLiteral("^VCAUTMACRO=(\\d+)$"));
    const auto recordMacro = [this] {
        if (log_)
            log_->record(QStringLiteral("voiceMacros"), {{QStringLiteral("macro"), state_.voiceMacro}});
    };

    if (const auto m = counter.match(args); m.hasMatch()) {
        bool ok = false;
        const int index = m.captured(1).toInt();
        const qint32 value = m.captured(2).toInt(&ok);
        if (!ok || index >= state_.counters.size())
            return QStringLiteral("BE0");
        state_.counters[index] = value;
        if (log_)
            log_->record(QStringLiteral("counterPresets"), {{QStringLiteral("counter"), index},
                                                            {QStringLiteral("value"), value}});
        return QStringLiteral("BE1");
    }
    if (args == QLatin1String("CLRTEL")) {
        state_.voiceList.clear();
        voiceSession_ = true;
        uploading_ = false;
        uploadLines_.clear();
        return QStringLiteral("BE1");
    }
    if (args == QLatin1String("CLRVCAUTMACRO")) {
        state_.voiceMacro = -1;
        recordMacro();
        return QStringLiteral("BE1");
    }
    if (const auto m = macro.match(args); m.hasMatch() && m.captured(1).toInt() <= kMacroMax) {
        state_.voiceMacro = m.captured(1).toInt();
        recordMacro();
        return QStringLiteral("BE1");
    }
    return QStringLiteral("BE0");
}

// "#45" + number + line: one numbered line of an upload (configuration or voice list).
QString UnitEngine::uploadLine(const QString &args)
{
    int digits = 0;
    while (digits < args.size() && args.at(digits).isDigit())
        ++digits;
    const int number = args.left(digits).toInt();
    const QString line = args.mid(digits);
    if (digits < 3)
        return QStringLiteral("BA0");

    if (number == 0) {
        if (uploading_ && !uploadLines_.isEmpty() && log_)
            log_->record(voiceSession_ ? QStringLiteral("voiceWrites") : QStringLiteral("uploads"),
                         {{QStringLiteral("lines"), QJsonArray::fromStringList(uploadLines_)},
                          {QStringLiteral("closing"), QJsonValue()},
                          {QStringLiteral("matched"), false}});
        voiceSession_ = voiceSession_ && line.startsWith(QLatin1String("+TEL="));
        uploading_ = true;
        uploadLines_.clear();
        ++uploadAttempts_;
    }
    // Lines after a refusal belong to an abandoned attempt: not answered, so
    // that no late reply is taken for the answer to the next attempt's lines.
    if (!uploading_)
        return {};
    const FaultPlan &faults = setup_.faults;
    const bool refused = number != uploadLines_.size()
                         || (number == faults.refuseLine && uploadAttempts_ <= faults.refuseAttempts)
                         || (voiceSession_ && (!line.startsWith(QLatin1String("+TEL="))
                                               || uploadLines_.size() >= kVoiceListMax));
    if (refused) {
        if (log_)
            log_->record(voiceSession_ ? QStringLiteral("voiceWrites") : QStringLiteral("uploads"),
                         {{QStringLiteral("lines"), QJsonArray::fromStringList(uploadLines_)},
                          {QStringLiteral("refusedLine"), number},
                          {QStringLiteral("refusedText"), line},
                          {QStringLiteral("closing"), QJsonValue()},
                          {QStringLiteral("matched"), false}});
        uploading_ = false;
        uploadLines_.clear();
        return QStringLiteral("BA0");
    }
    uploadLines_ << line;
    // With the fast acknowledgement the tool waits only 10 ms, so on a real
    // line this reply often arrives late, ahead of the next line's or the closing's.
    return QStringLiteral("BA1");
}

// "#46" + count: the end of an upload. "B91" when the count matches the lines received.
QString UnitEngine::uploadClosing(const QString &args)
{
    static const QRegularExpression count(QStringLiteral("^\\d{3,}$"));
    const bool open = uploading_ || voiceSession_;
    const bool matched = open && count.match(args).hasMatch() && args.toInt() == uploadLines_.size();
    const bool withheld = ++closings_ <= setup_.faults.withholdClosing;

    QStringList notUnderstood;
    if (voiceSession_ && matched) {
        state_.voiceList.clear();
        for (const QString &line : std::as_const(uploadLines_))
            state_.voiceList << line.mid(5);
    } else if (matched) {
        notUnderstood = config_.apply(uploadLines_ + setup_.alterations, state_.features);
    }
    if (log_)
        log_->record(voiceSession_ ? QStringLiteral("voiceWrites") : QStringLiteral("uploads"),
                     {{QStringLiteral("lines"), QJsonArray::fromStringList(uploadLines_)},
                      {QStringLiteral("closing"), args},
                      {QStringLiteral("matched"), matched},
                      {QStringLiteral("answered"), !withheld},
                      {QStringLiteral("notUnderstood"), QJsonArray::fromStringList(notUnderstood)}});
    uploading_ = false;
    voiceSession_ = false;
    uploadLines_.clear();
    if (withheld)
        return {};
    return matched ? QStringLiteral("B91") : QStringLiteral("B90");
}

QString UnitEngine::switchOutput(const QString &code, const QString &args)
{
    bool ok = false;
    const int output = args.toInt(&ok);
    if (!ok || output < 0 || output > 15)
        return {};
    const bool on = code == QLatin1String("47");
    if (!setup_.faults.stuckOutputs)
        state_.outputStates = on ? state_.outputStates | (1u << output) : state_.outputStates & ~(1u << output);
    if (log_)
        log_->record(QStringLiteral("outputs"), {{QStringLiteral("output"), output},
                                                 {QStringLiteral("on"), on}});
    return on ? QStringLiteral("B8") : QStringLiteral("B7");
}

QString UnitEngine::setClock(const QString &digits)
{
    static const QRegularExpression twelve(QStringLiteral("^\\d{12}$"));
    if (!twelve.match(digits).hasMatch())
        return {};
    const auto pair = [&digits](int i) { return digits.mid(2 * i, 2).toInt(); };
    const QDateTime set(QDate(2000 + pair(0), pair(1), pair(2)), QTime(pair(3), pair(4), pair(5)));
    if (!set.isValid())
        return {};
    state_.clockOffsetSeconds = clock_().secsTo(set);
    if (log_)
        log_->record(QStringLiteral("clockSets"), {{QStringLiteral("digits"), digits},
                                                   {QStringLiteral("unitClock"), set.toString(Qt::ISODate)}});
    return QStringLiteral("A3");
}

// --- Firmware streams: raw bytes outside the frames ---

void UnitEngine::feedRawByte(char c, QList<SimReply> &out)
{
    if (raw_ == Raw::Loader) {
        rawArrived(c);
        return;
    }
    const int dotsStop = setup_.faults.dotsStopAfter;
    const auto imageByte = [this, &out, dotsStop](char b) {
        rawArrived(b);
        if (rawBytes_.size() % kDotEvery == 0 && (dotsStop < 0 || rawBytes_.size() <= dotsStop))
            out << SimReply{0, "."};
    };
    // The image is hex text without "#": a verified "#F1" frame ends it.
    if (heldFrame_.isEmpty() && c != '#') {
        imageByte(c);
        return;
    }
    heldFrame_ += c;
    if (c == '\r') {
        const QByteArray held = std::exchange(heldFrame_, {});
        const QByteArray body = held.left(held.size() - 1);
        if (FrameCodec::verify(body) && FrameCodec::answerText(body) == QLatin1String("#F1")) {
            endRaw();
            handleFrame(QStringLiteral("#F1"), out);
            return;
        }
        for (char b : held)
            imageByte(b);
    } else if (heldFrame_.size() > kHeldFrameMax) {
        for (char b : std::exchange(heldFrame_, {}))
            imageByte(b);
    }
}

void UnitEngine::rawArrived(char c)
{
    if (rawBytes_.isEmpty())
        rawFirstMs_ = nowMs_;
    rawLastMs_ = nowMs_;
    rawBytes_ += c;
}

void UnitEngine::endRaw()
{
    if (log_ && raw_ != Raw::None)
        log_->recordStream(raw_ == Raw::Image ? QStringLiteral("image") : QStringLiteral("loader"),
                           rawBytes_, rawFirstMs_, rawLastMs_);
    raw_ = Raw::None;
    rawBytes_.clear();
    heldFrame_.clear();
    rawFirstMs_ = rawLastMs_ = -1;
}
