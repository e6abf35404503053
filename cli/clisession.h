#pragma once

#include <QString>
#include <memory>

#include "files/sectionregistry.h"
#include "link/comms.h"
#include "model/configstore.h"

// Exit statuses of velkan-cli.
enum ExitStatus { ExitOk = 0, ExitNoAnswer = 1, ExitUsage = 2, ExitFileError = 3 };

// How to reach the unit, as given on the command line.
struct LinkOptions {
    QString port;
    QString modemNumber; // empty for a cable
    QString key;         // access key for a modem call
};

// One connection to the unit with the model and sections the commands work on.
class CliSession {
public:
    CliSession();
    ~CliSession();

    // Opens the link and reads the unit's identity; reports failure on stderr.
    bool connect(const LinkOptions &options);

    Comms &comms() { return *comms_; }
    ConfigStore &store() { return store_; }
    const SectionRegistry &sections() const { return sections_; }

private:
    void showProgress(int value, int maximum);

    std::unique_ptr<Comms> comms_;
    ConfigStore store_;
    SectionRegistry sections_;
    bool modem_ = false;
    bool progressShown_ = false;
};

// One line on standard error.
void printError(const QString &message);
