#include "voicelistcommand.h"

#include <QFileInfo>

#include "commandsupport.h"
#include "files/configfile.h"
#include "files/inidocument.h"
#include "link/voicelisttransfer.h"
#include "model/voiceauthlist.h"
#include "sections/voicelist/voicelistcore.h"

namespace {

const SectionCore &voiceListCore(const CliSession &s)
{
    return *s.sections().find(QStringLiteral("Aut_Voz"));
}

int voiceFileError(const QString &path, const QString &reason)
{
    printError("Cannot use " + path + ": " + reason);
    return ExitFileError;
}

} // namespace

// The file is checked before connecting: a read keeps an existing file's other
// sections and its acknowledgement switch, which the unit does not hold, and a
// write needs a list the unit can take.
int checkVoiceList(CliSession &s, const CommandArgs &a)
{
    const QString action = a.positional.at(0);
    const QString path = a.positional.at(1);
    if (action != "read" && action != "write") {
        printError("Usage: velkan-cli voice-list read|write FILE.qcf");
        return ExitUsage;
    }
    if (action == "read" && QFileInfo(path).size() == 0)
        return ExitOk; // a new file, or an empty one
    IniDocument doc;
    FileFailure failure;
    if (loadConfigDocument(path, doc, &failure) != RestoreResult::Restored) {
        printError(fileFailureMessage(failure));
        return ExitFileError;
    }
    voiceListCore(s).restore(s.store(), doc);
    const QStringList voiceSection{voiceListCore(s).name()};
    if (!acceptNotes(path, restoreNotes(doc, s.store(), s.sections(), voiceSection), a))
        return ExitFileError;
    if (action == "read")
        return ExitOk;
    if (!sendable(lineTextFaults(s.store(), s.sections(), voiceSection)))
        return ExitFileError;
    if (!doc.hasSection(VoiceListCore::fileSection()))
        return voiceFileError(path, QStringLiteral("it holds no voice-call list."));
    VoiceAuthList &list = s.store().VoiceList;
    PackVoiceList(list);
    if (list.Count > VoiceAuthList::kMaxNumbers)
        return voiceFileError(path, QStringLiteral("it holds more than %1 voice-call numbers.")
                                        .arg(VoiceAuthList::kMaxNumbers));
    return ExitOk;
}

int voiceList(CliSession &s, const CommandArgs &a)
{
    if (!identified(s))
        return ExitNoAnswer;
    const DeviceValues &device = s.unit().Device;
    // The window disables its buttons for such a unit; nothing is sent.
    if (!device.has(Feature::MissedCallMacro)) {
        printError("The unit's firmware does not support the voice-call list.");
        return ExitNoAnswer;
    }
    VoiceAuthList &list = s.store().VoiceList;
    const QString path = a.positional.at(1);
    if (a.positional.at(0) == "write") {
        if (s.unit().writeVoiceList(list, s.progress()))
            return ExitOk;
        printError("The unit did not take the voice-call list.");
        return ExitNoAnswer;
    }
    if (!s.unit().readVoiceList(list, s.progress())) {
        printError("The voice-call list read failed; nothing was written.");
        return ExitNoAnswer;
    }
    FileFailure failure;
    if (!saveConfigSection(path, s.store(), voiceListCore(s), &failure)) {
        printError(fileFailureMessage(failure));
        return ExitFileError;
    }
    return ExitOk;
}
