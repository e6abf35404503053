#pragma once

#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <QTimer>

#include "app/programwindows.h"
#include "files/langtable.h"
#include "files/sectionregistry.h"
#include "link/comms.h"
#include "link/fakeserialport.h"
#include "link/unitconnection.h"
#include "model/configstore.h"
#include "sections/general/connectionpanel.h"
#include "sections/general/generalwindow.h"
#include "sections/sectionlist.h"
#include "shell/editorregistry.h"
#include "shell/filecommands.h"
#include "shell/mainwindow.h"
#include "sim/configstream.h"
#include "sim/fakeportunit.h"
#include "sim/unitengine.h"
#include "sim/unitlog.h"

// The program's windows wired as velkan-sarn wires them (the tree locked by
// tools and transfers, refused uploads opening their editor), on the
// simulated unit's engine behind the in-memory port "SIM". The General
// window's timers are stopped: tests run its ticks themselves.
class SimulatedProgramTest : public ::testing::Test {
public:
    SimulatedProgramTest()
        : engine(UnitState::defaults(), ConfigStream::defaults(UnitState::defaults().features), {}, &log),
          port(new FakeSerialPort), host(*port, engine), comms(std::unique_ptr<SerialPort>(port)), unit(comms)
    {
        setLang(&lang);
        comms.timings = LinkTimings::fast();
        registerSections(sections);
        createWindows(windows, {unit, store, sections, files, [this](bool locked) { main.lockTree(locked); }, {},
                                [this](const QString &section, int slot) { main.openEditor(section, slot); }});
        main.adoptWindows();
        main.followTransfers(unit);
        windows.clearAll(store, sections);
        general()->Timer1->stop();
        panel().TimerComms->stop();
        panel().Puerto->setCurrentText(QStringLiteral("SIM"));
    }
    ~SimulatedProgramTest() override { setLang(nullptr); }

    General *general() { return qobject_cast<General *>(windows.editor(QStringLiteral("General"))); }
    ConnectionPanel &panel() { return *general()->connection(); }

    // "Iniciar comunicacion", then the connection tick that carries it out.
    void connectUnit()
    {
        panel().IniCom->click();
        panel().TimerComms_Timer();
        ASSERT_TRUE(unit.isConnected());
    }

#ifdef VELKAN_SHIPPED_FOLDER
    // Untranslated until a test reads it (Init) and picks a language.
    LangTable lang{QStringLiteral("no-such-folder/Lang.txt"), {QStringLiteral(VELKAN_SHIPPED_FOLDER)}};
#else
    LangTable lang{QStringLiteral("no-such-folder/Lang.txt")};
#endif
    // In use before the windows below are made: they follow its language changes.
    bool langInUse = (setLang(&lang), true);
    UnitLog log;
    UnitEngine engine;
    FakeSerialPort *port;
    FakePortUnit host;
    Comms comms;
    UnitConnection unit;
    ConfigStore store;
    SectionRegistry sections;
    EditorRegistry windows;
    MainWindow main{windows};
    FileCommands files{store, sections, windows, &main};
};
