#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <memory>

#include "files/filefailure.h"
#include "files/sectionregistry.h"
#include "files/servicehistory.h"
#include "link/comms.h"
#include "link/unitconnection.h"
#include "model/configstore.h"

// Exit statuses of velkan-cli.
enum ExitStatus { ExitOk = 0, ExitNoAnswer = 1, ExitUsage = 2, ExitFileError = 3 };
// diff: the two configurations differ.
constexpr int ExitDiffer = 1;

// How to reach the unit, as given on the command line.
struct LinkOptions {
    QString port;
    QString modemNumber; // empty for a cable
    QString key;         // access key for a modem call
    int answerTimeoutMs = 0; // 0: the unit's documented time-outs
    bool fastLink = false;   // LinkTimings::fast(), for a unit that answers at once
};

// One connection to the unit with the model and sections the commands work on.
class CliSession {
public:
    CliSession();
    ~CliSession();

    // Opens the link and reads the unit's identity; reports failure on stderr.
    bool connect(const LinkOptions &options);
    // The link's timings and access key from the options, for commands that
    // connect by themselves.
    void useLink(const LinkOptions &options);
    // Whether the unit told its identity and capabilities when connected.
    bool identityRead() const { return identityRead_; }

    Comms &comms() { return *comms_; }
    UnitConnection &unit() { return *unit_; }
    ConfigStore &store() { return store_; }
    const SectionRegistry &sections() const { return sections_; }
    const ServiceHistory &history() const { return history_; }
    // The author of the history's commits.
    void setTechnician(const Technician &technician) { history_.technician = technician; }
    // Downloads and uploads from now on leave a copy in the service history;
    // a copy that cannot be kept is one warning, the command's status stays.
    void keepHistory();
    // The trace of the whole run goes to this file when the session ends.
    void traceTo(const QString &path) { traceFile_ = path; }
    // The progress line on a terminal; nothing otherwise.
    TransferProgress progress();

private:
    void showProgress(int value, int maximum);

    std::unique_ptr<Comms> comms_;
    std::unique_ptr<UnitConnection> unit_;
    ConfigStore store_;
    SectionRegistry sections_;
    ServiceHistory history_;
    QString traceFile_;
    QStringList keptTraces_;
    bool progressShown_ = false;
    bool identityRead_ = false;
};

// One line on standard error.
void printError(const QString &message);

// Whether standard error is a terminal (progress is shown only there).
bool errorIsTerminal();

// One line of progress on standard error, rewritten in place a few times a
// second at most.
class ProgressLine {
public:
    // `now`: show it even if the last update was a moment ago.
    void show(const QString &text, bool now = false);
    // Blanks the line, for the messages that follow.
    void clear();

private:
    QElapsedTimer shown_;
    int width_ = 0;
};

// The English sentence for a failure of the link.
QString linkFailureMessage(const LinkFailure &failure);

// The English sentence for a file that could not be read or written; it names
// the file once.
QString fileFailureMessage(const FileFailure &failure);
