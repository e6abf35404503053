// Arbitrary bytes from the port: frames and modem lines read from them, and
// every field of each answer taken apart as the device commands do.
#include <QCoreApplication>
#include <memory>

#include "link/comms.h"
#include "link/fakeserialport.h"

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    new QCoreApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    auto owned = std::make_unique<FakeSerialPort>();
    FakeSerialPort &port = *owned;
    port.open(QStringLiteral("fuzz"));
    Comms comms(std::move(owned));
    CommsBusyGuard held(comms);
    port.feed(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    // The first byte picks the reader, as a connection switches between the modem and the unit.
    const bool modem = size > 0 && (data[0] & 1);
    while (port.bytesAvailable() > 0) {
        if (!(modem ? comms.RxGsm(0) : comms.RxSer(0)))
            continue;
        for (int field = 0; field <= 40; ++field) {
            comms.GetField(field);
            comms.GetField1(field);
        }
    }
    return 0;
}
