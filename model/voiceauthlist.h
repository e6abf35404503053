#pragma once

#include <QString>
#include <QtGlobal>
#include <array>

// Telephone numbers allowed to command the unit by voice call, and the macro
// the unit runs on such a call. The list has its own exchanges with the unit;
// the configuration download and upload never carry it.
struct VoiceAuthList {
    static constexpr int kSlots = 251;
    static constexpr int kMaxNumbers = 250; // what the unit takes
    static constexpr qint16 kNoMacro = -1;
    static constexpr qint16 kLastMacro = 39;

    std::array<QString, kSlots> Numbers; // list order; an empty text is a free slot
    qint16 Count = 0;                    // numbers in use, from the front
    qint16 CallMacro = kNoMacro;
    bool SendAck = false;                // kept in the file only
    quint16 ListCrc = 0xFFFF;            // what the unit reports for this list
};

// CRC of Numbers 0 .. Count - 1 as the unit computes it: their Windows-1252
// bytes one after the other, with nothing between them.
quint16 VoiceListCrc(const VoiceAuthList &list);

// Moves the non-empty numbers to the front, in their order, and sets Count
// and ListCrc to match.
void PackVoiceList(VoiceAuthList &list);
