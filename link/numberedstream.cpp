#include "numberedstream.h"

#include "comms.h"

int StreamLineNumber(const QString &line)
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

bool ReadNumberedStream(Comms &comms, const QString &command, const QString &code,
                        const std::function<bool(const QString &line, int number)> &onLine)
{
    comms.TxSer(command, comms.LinkTimeout);
    int expected = 0;
    while (comms.RxBuf.startsWith(code)) {
        if (comms.RxBuf == code)
            return expected > 0;
        if (StreamLineNumber(comms.RxBuf) != expected || !onLine(comms.RxBuf, expected))
            return false;
        ++expected;
        if (!comms.RxSer(comms.LinkTimeout))
            return false;
    }
    return false;
}
