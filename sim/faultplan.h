#pragma once

#include <QHash>
#include <QString>

// Faults the simulated unit injects on request. Answer faults are keyed by the
// command code ("40", "42") and count the frames sent in answer to it; a count
// of -1 means every one.
struct FaultPlan {
    QHash<QString, int> corrupt;  // answers whose checksum is wrong
    QHash<QString, int> drop;     // answers not sent at all
    int skipSequenceAttempts = 0; // "#42" streams that jump over a line number
    int refuseLine = -1;          // upload line answered "#BA0"...
    int refuseAttempts = 1;       // ...on this many upload attempts
    int withholdClosing = 0;      // "#46" closings left unanswered
    bool noise = false;           // stray bytes and line feeds before each answer
    int slowMs = 0;               // extra delay before each answer
    int silentAfter = -1;         // frames answered before the unit goes quiet
    bool badCrcOnce = false;      // the first "#4E" answer carries a wrong CRC
    bool stuckOutputs = false;    // outputs answer "#47"/"#48" but do not switch
    int dotsStopAfter = -1;       // image bytes after which the progress dots stop

    // "40,42:2" -> {"40": 1, "42": 2}; "40:all" -> {"40": -1}. False on a bad item.
    static bool parseAnswerList(const QString &text, QHash<QString, int> &into);
};
