#pragma once

#include <QString>

// Why an operation of the link failed. Windows turn it into translated text,
// velkan-cli into its English message; the link itself never words it.
enum class LinkError {
    None,
    PortMissing,     // no such port
    PortInUse,       // another program holds it
    PortPermission,  // the user may not open it
    PortOther,       // the port would not open for another reason (detail says why)
    PortLost,        // the port went away while open
    NoAnswer,        // the unit (or the modem) said nothing usable in time
    Refused,         // the unit refused the access key, or no key was given
    BadAnswer,       // the unit answered something else than the command calls for
    ModemBusy,       // the modem's own answers to the call
    ModemNoCarrier,
    ModemNoDialtone,
    ModemNoAnswer,
    ModemError,
    SimulatorFailed, // the simulated unit could not start (detail says why)
    Busy,            // another exchange holds the link; nothing was sent
    BadNumber,       // the number to dial holds what is not a dial digit; nothing was sent
};

struct LinkFailure {
    LinkError error = LinkError::None;
    QString port;   // the port the operation used
    QString detail; // the system's or the modem's own words, when there are any

    explicit operator bool() const { return error != LinkError::None; }
};

// The failure a modem's answer to a dial names; NoAnswer for anything else.
LinkError ModemCallError(const QString &answer);
