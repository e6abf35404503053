#pragma once

#include "app/programwindows.h"
#include "files/sectionregistry.h"
#include "link/comms.h"
#include "link/fakeserialport.h"
#include "link/unitconnection.h"
#include "model/configstore.h"
#include "sections/sectionlist.h"
#include "shell/editorregistry.h"
#include "shell/filecommands.h"
#include "shell/mainwindow.h"

// The program's windows wired as velkan-sarn wires them, over a unit that is
// never connected, in the language table installed now.
struct ProgramWindows {
    // guarded: saving and uploading first refuse what a number box cannot
    // keep, as the program wires them.
    explicit ProgramWindows(bool guarded = false)
    {
        registerSections(sections);
        ProgramContext context{unit, store, sections, files};
        if (guarded) {
            context.fieldsReady = [this] { return !main.refuseFaults(windows.numberFaults()); };
            context.uploadReady = [this] { return !main.refuseFaults(windows.uploadFaults()); };
        }
        createWindows(windows, context);
        main.adoptWindows();
        main.followFiles(files);
        windows.clearAll(store, sections);
    }

    Comms comms{std::make_unique<FakeSerialPort>()};
    UnitConnection unit{comms};
    ConfigStore store;
    SectionRegistry sections;
    EditorRegistry windows;
    MainWindow main{windows};
    FileCommands files{store, sections, windows, &main};
};
