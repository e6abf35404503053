#pragma once

#include <memory>

#include "../sections/generalwindow_fixture.h"

// A unit connection over the fake port with a table unit behind it, for the
// tool windows. connectUnit() connects as the General window does.
class ToolUnitTest : public ::testing::Test {
protected:
    ToolUnitTest() : port(new FakeSerialPort), comms(std::unique_ptr<SerialPort>(port)), connection(comms), unit(*port)
    {
        setLang(&lang);
        comms.timings = LinkTimings::fast();
    }
    ~ToolUnitTest() override { setLang(nullptr); }

    void connectUnit()
    {
        unit.answers.insert(QStringLiteral("40"), {QStringLiteral("BF")});
        ASSERT_TRUE(connection.connectUnit({QStringLiteral("ttyFAKE0"), false, {}}));
        unit.received.clear();
    }

    // A unit that has stopped answering: waits end after a few milliseconds.
    void silence()
    {
        unit.answers.clear();
        comms.LinkTimeout = 5;
    }

    LangTable lang{QStringLiteral("no-such-folder/Lang.txt")};
    FakeSerialPort *port;
    Comms comms;
    UnitConnection connection;
    TableUnit unit;
};
