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
    ProgramWindows()
    {
        registerSections(sections);
        createWindows(windows, {unit, store, sections, files});
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
