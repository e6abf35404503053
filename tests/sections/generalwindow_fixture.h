#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QHash>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "files/langtable.h"
#include "files/sectionregistry.h"
#include "link/comms.h"
#include "link/unitconnection.h"
#include "link/fakeserialport.h"
#include "link/framecodec.h"
#include "model/configstore.h"
#include "sections/general/generalwindow.h"
#include "sections/sectionlist.h"

// A unit on the fake port that answers each command code ("40", "44", ...)
// with the frames of its table; codes without an entry get no answer.
class TableUnit {
public:
    explicit TableUnit(FakeSerialPort &port) : port_(port)
    {
        QObject::connect(&port, &FakeSerialPort::written, &port, [this](const QByteArray &bytes) {
            pending_ += bytes;
            for (int end; (end = pending_.indexOf('\r')) >= 0; pending_.remove(0, end + 1))
                answer(pending_.left(end));
        });
    }

    QHash<QString, QStringList> answers;
    QStringList received; // command texts without the frame, in order

private:
    void answer(const QByteArray &frame)
    {
        const int semicolon = frame.indexOf(';');
        if (!frame.startsWith('#') || semicolon < 0)
            return;
        const QString command = QString::fromLatin1(frame.mid(semicolon + 1));
        received << command;
        for (const QString &reply : answers.value(command.left(2)))
            port_.feed(FrameCodec::encode(QLatin1Char('#') + reply));
    }

    FakeSerialPort &port_;
    QByteArray pending_;
};

struct ShownMessage {
    QMessageBox::Icon icon;
    QString text;
};

// The General window over a fake port, with messages recorded instead of shown.
class GeneralWindowTest : public ::testing::Test {
protected:
    GeneralWindowTest()
        : port(new FakeSerialPort), comms(std::unique_ptr<SerialPort>(port)), connection(comms), unit(*port)
    {
        setLang(&lang);
        comms.timings = LinkTimings::fast();
        registerSections(sections);
        GeneralCommands commands;
        commands.open = [this] {
            run << QStringLiteral("Abrir");
            if (onOpen)
                onOpen();
        };
        commands.save = [this] { run << QStringLiteral("Guardar"); };
        commands.language = [this] { run << QStringLiteral("Idioma"); };
        commands.configSource = [this] { return configSource; };
        window = std::make_unique<General>(
            connection, store, sections, commands,
            [this](QMessageBox::Icon icon, const QString &text, QMessageBox::StandardButtons) {
                shown.push_back({icon, text});
                return answer;
            });
    }
    ~GeneralWindowTest() override { setLang(nullptr); }

    QStringList messageTexts() const
    {
        QStringList texts;
        for (const ShownMessage &m : shown)
            texts << m.text;
        return texts;
    }

    LangTable lang{QStringLiteral("no-such-folder/Lang.txt")};
    FakeSerialPort *port;
    Comms comms;
    UnitConnection connection;
    TableUnit unit;
    ConfigStore store;
    SectionRegistry sections;
    std::vector<ShownMessage> shown;
    QMessageBox::StandardButton answer = QMessageBox::Ok;
    QStringList run;              // toolbar commands carried out, in order
    std::function<void()> onOpen; // what the shell's open command does
    QString configSource;         // the unit the editors' configuration came from
    std::unique_ptr<General> window;
};
