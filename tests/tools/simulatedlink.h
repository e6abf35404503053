#pragma once

#include <QByteArray>
#include <memory>

#include "files/langtable.h"
#include "link/comms.h"
#include "link/fakeserialport.h"
#include "link/framecodec.h"
#include "link/unitconnection.h"
#include "sim/fakeportunit.h"
#include "sim/unitengine.h"
#include "sim/unitlog.h"

// The simulated unit's engine behind the in-memory port, with the link's
// short timings, for the tool windows' tests. Not connected until a test says so.
struct SimulatedLink {
    explicit SimulatedLink(EngineSetup setup = {}, QStringList configLines = {})
        : port(new FakeSerialPort),
          engine(UnitState::defaults(), std::move(configLines), std::move(setup), &log),
          host(*port, engine),
          comms(std::unique_ptr<SerialPort>(port)),
          unit(comms)
    {
        setLang(&lang);
        comms.timings = LinkTimings::fast();
        host.setQuietMs(20);
    }
    ~SimulatedLink() { setLang(nullptr); }

    bool connectUnit() { return unit.connectUnit({QStringLiteral("SIM")}); }

    // The frame the link writes for a command text ("#40").
    static QByteArray frame(const QString &command) { return FrameCodec::encode(command); }

    LangTable lang{QStringLiteral("no-such-folder/Lang.txt")};
    UnitLog log;
    FakeSerialPort *port;
    UnitEngine engine;
    FakePortUnit host;
    Comms comms;
    UnitConnection unit;
};
