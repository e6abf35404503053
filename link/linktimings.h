#pragma once

// Every time the link waits for, in milliseconds, with the unit's documented
// values as defaults. Tests shorten them; nothing else in the link hard-codes a wait.
struct LinkTimings {
    int cableAnswer = 5000;      // answer time-out on a cable
    int modemAnswer = 10000;     // answer time-out through a modem call
    int dialExtra = 30000;       // added to the answer time-out for the dial
    int modemSetup = 1000;       // each modem set-up command
    int hangUp = 5000;           // "ATH" after leaving data mode
    int cableDetectRead = 1000;  // each read of the drain before the first command on a cable
    int drainRead = 100;         // each read of the drain before a command
    int modemDrainRead = 100;    // each read of the drain before a modem line
    int drainLimit = 3000;       // a drain ends after this long, however much still arrives
    int lineReply = 200;         // an upload line's refusal
    int fastLineReply = 10;      // the same with the fast line acknowledgement
    int simulatedStart = 5000;   // the simulated unit tells its device path
    int voiceListClear = 10000;  // added to the answer time-out while the unit empties its voice list
    int voiceLinePause = 50;     // after each voice-list number the unit accepted
    int probeIdAnswer = 500;     // the unit reads the probe on its 1-Wire bus

    // Firmware update.
    int firmwareErase = 10000;    // "#F0" answered "#DWLD_ERASING"
    int firmwareReady = 50000;    // the erase over: "#DWLD_READY"
    int firmwareImageEnd = 10000; // what the unit says after the image (not examined)
    int firmwareRamReady = 20000; // "#F1" answered "#DWLD_RAM_READY"
    int firmwareDots = 5000;      // the image's progress dots, once they are due
    int firmwareBaud = 9600;      // the line speed the raw streams are paced to

    // Timings a few tens of times shorter, for tests over in-memory ports and
    // pseudo-terminals that answer at once.
    static LinkTimings fast()
    {
        LinkTimings t;
        t.cableAnswer = 300;
        t.modemAnswer = 300;
        t.dialExtra = 300;
        t.modemSetup = 100;
        t.hangUp = 200;
        t.cableDetectRead = 50;
        t.drainRead = 20;
        t.modemDrainRead = 20;
        t.drainLimit = 500;
        t.voiceListClear = 300;
        t.voiceLinePause = 1;
        t.probeIdAnswer = 50;
        t.firmwareErase = 300;
        t.firmwareReady = 300;
        t.firmwareImageEnd = 50;
        t.firmwareRamReady = 300;
        t.firmwareDots = 100;
        t.firmwareBaud = 1000000;
        return t;
    }
};
